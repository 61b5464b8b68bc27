// A seam on the reading road for tests and benchmarks: failures of the file
// layer that real files cannot produce (a read error, a failing close), and a
// log of the files opened and the fields read. Nothing happens unless a probe
// is installed, and then only on the thread that installed it.
#ifndef ZEL_ACCESSOR_ROAD_PROBE_H
#define ZEL_ACCESSOR_ROAD_PROBE_H

#include <cstdint>
#include <string>
#include <vector>

#include "accessor/position.h"
#include "accessor/result_codes.h"

namespace zel::probe {

struct FieldRead {
    int file;  // index into Probe::openedFiles
    Pos pos;
    std::uint32_t width;
};

struct Probe {
    // The field read (counted from 1 within each open file) that fails with
    // readCause; 0 for none.
    int failingFieldRead = 0;
    Cause readCause = Cause::hardIO;
    // Whether closing the file fails, with closeCause.
    bool failClose = false;
    Cause closeCause = Cause::hardIO;
    // The opened file (index into openedFiles) whose read and close fail as
    // planned above; -1 for every file. Lets a test fail the second file of
    // a call that opens two.
    int failingFile = -1;
    // When set, every open and every field read is appended here.
    bool record = false;
    std::vector<std::string> openedFiles;
    std::vector<FieldRead> fieldReads;
};

// The probe installed on this thread, or nullptr.
Probe* current();

// Whether the planned failures apply to opened file `file`.
inline bool failsFile(const Probe& probe, int file) {
    return probe.failingFile < 0 || probe.failingFile == file;
}

// Installs a probe on this thread for the lifetime of the scope.
class Scope {
  public:
    explicit Scope(Probe& probe);
    ~Scope();
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;
};

}  // namespace zel::probe

#endif
