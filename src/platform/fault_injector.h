// The injector of the test build (platform/test_seam.h; not in the shipped
// library): failures of the file layer that real files cannot produce (a read
// error, a failing close, a short read before the end of the file), and a log
// of the files opened, the fields asked for and the reads of the file layer.
// Nothing happens unless an injector is installed, and then only on the
// thread that installed it.
#ifndef ZEL_PLATFORM_FAULT_INJECTOR_H
#define ZEL_PLATFORM_FAULT_INJECTOR_H

#include <cstdint>
#include <string>
#include <vector>

#include "format/position.h"
#include "platform/file_cause.h"

namespace zel::faults {

struct FieldRead {
    int file;  // index into Injector::openedFiles
    Pos pos;
    std::uint32_t width;
};

// One read of the file layer: `length` bytes asked for at `offset`.
struct FileRead {
    int file;  // index into Injector::openedFiles
    std::int64_t offset;
    std::uint32_t length;
};

struct Injector {
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
    // When set, every read of the file layer delivers at first only half of
    // the bytes the system gave it and the rest on its next request, as a
    // network file system or an interrupted read may.
    bool splitReads = false;
    // When set, the file layer's first read of each file is refused with
    // EAGAIN, as by a file system that honours O_NONBLOCK for regular files.
    bool refuseNonBlockingReads = false;
    // When set, every open, every field read and every read of the file
    // layer is appended here.
    bool record = false;
    std::vector<std::string> openedFiles;
    std::vector<FieldRead> fieldReads;
    std::vector<FileRead> fileReads;

    // The file opened last (index into openedFiles) and the fields asked
    // of it so far; kept by the hooks.
    int currentFile = -1;
    int fieldReadsInFile = 0;
};

// The injector installed on this thread, or nullptr.
Injector* current();

// Whether the planned failures apply to opened file `file`.
inline bool failsFile(const Injector& injector, int file) {
    return injector.failingFile < 0 || injector.failingFile == file;
}

// Installs an injector on this thread for the lifetime of the scope.
class Scope {
  public:
    explicit Scope(Injector& injector);
    ~Scope();
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;
};

}  // namespace zel::faults

#endif
