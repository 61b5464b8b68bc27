#include "accessor/road_probe.h"

#include "accessor/database_read.h"
#include "accessor/utf.h"

namespace zel::probe {
namespace {
thread_local Probe* t_probe = nullptr;
}

Probe* current() { return t_probe; }

Scope::Scope(Probe& probe) { t_probe = &probe; }

Scope::~Scope() { t_probe = nullptr; }

}  // namespace zel::probe

namespace zel {

int noteOpen(probe::Probe& probe, const NameBuffer& name) {
    char path[kPathBytes];
    probe.openedFiles.emplace_back(nameToPosixPath(name.units, path) ? path : "");
    return static_cast<int>(probe.openedFiles.size()) - 1;
}

}  // namespace zel
