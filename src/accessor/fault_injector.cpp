#include "accessor/fault_injector.h"

#include "accessor/reading_path.h"
#include "accessor/utf.h"

namespace zel::faults {
namespace {
thread_local Injector* t_injector = nullptr;
}

Injector* current() { return t_injector; }

Scope::Scope(Injector& injector) { t_injector = &injector; }

Scope::~Scope() { t_injector = nullptr; }

}  // namespace zel::faults

namespace zel {

int noteOpen(faults::Injector& injector, const NameBuffer& name) {
    char path[kPathBytes];
    injector.openedFiles.emplace_back(nameToPosixPath(name.units, path) ? path : "");
    return static_cast<int>(injector.openedFiles.size()) - 1;
}

}  // namespace zel
