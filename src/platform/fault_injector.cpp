// The injector behind the hooks of platform/test_seam.h: part of the test
// build only (zel_internal), never of the shipped library.
#if !defined(ZEL_TEST_SEAM)
#error "the fault injector belongs to the test build (ZEL_TEST_SEAM)"
#endif

#include "platform/fault_injector.h"

#include "platform/name_buffer.h"
#include "platform/test_seam.h"
#include "platform/utf.h"

namespace zel::faults {
namespace {
thread_local Injector* t_injector = nullptr;
}

Injector* current() { return t_injector; }

Scope::Scope(Injector& injector) { t_injector = &injector; }

Scope::~Scope() { t_injector = nullptr; }

}  // namespace zel::faults

namespace zel::seam {

using faults::t_injector;

void opening(const unsigned short* name) {
    if (!t_injector) return;
    char path[kPathBytes];
    t_injector->openedFiles.emplace_back(nameToPosixPath(name, path) ? path : "");
    t_injector->currentFile = static_cast<int>(t_injector->openedFiles.size()) - 1;
    t_injector->fieldReadsInFile = 0;
}

bool failsField(Pos pos, std::uint32_t width, Cause& cause) {
    faults::Injector* injector = t_injector;
    if (!injector) return false;
    if (injector->record) injector->fieldReads.push_back({injector->currentFile, pos, width});
    ++injector->fieldReadsInFile;
    cause = injector->readCause;
    return injector->failingFieldRead == injector->fieldReadsInFile &&
           faults::failsFile(*injector, injector->currentFile);
}

void fileRead(std::int64_t offset, std::uint32_t n) {
    if (t_injector && t_injector->record)
        t_injector->fileReads.push_back({t_injector->currentFile, offset, n});
}

bool splitsReads() { return t_injector && t_injector->splitReads; }

bool refusesNonBlockingReads() { return t_injector && t_injector->refuseNonBlockingReads; }

bool failsClose(Cause& cause) {
    faults::Injector* injector = t_injector;
    if (!injector || !injector->failClose) return false;
    cause = injector->closeCause;
    return faults::failsFile(*injector, injector->currentFile);
}

}  // namespace zel::seam
