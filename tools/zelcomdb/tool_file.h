// The tool's own file access. Reading opens without blocking, so that a FIFO
// or a device under a database file's name cannot stop the tool, refuses
// anything but a regular file and reads at positions, so that a file costs
// only the ranges asked for. Writing reports every failure, the last ones
// (flush to the disk, close) included.
#ifndef ZELCOMDB_TOOL_FILE_H
#define ZELCOMDB_TOOL_FILE_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zel::tool {

class RegularFile {
  public:
    // Throws ToolError "PATH: REASON" when the file cannot be opened or is
    // not a regular file.
    explicit RegularFile(const std::string& path);
    ~RegularFile();
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;

    std::uint64_t size() const { return m_size; }
    // The n bytes at offset; false when the file ends before them or the
    // read fails.
    bool readAt(std::uint64_t offset, unsigned char* out, std::size_t n) const;
    // The whole file (descriptions), or its first atMost + 1 bytes when it
    // is longer; throws ToolError when a read fails.
    std::string readAll(std::size_t atMost) const;

  private:
    std::string m_path;
    std::intptr_t m_handle = -1;
    std::uint64_t m_size = 0;
};

// The system's text for an error code (errno, or a Windows error).
std::string systemErrorText(int error);

// Writes a new file (it must not exist), flushes it to the disk and closes
// it; throws ToolError "PATH: REASON" on any failure.
void writeNewFile(const std::string& path, const std::vector<unsigned char>& bytes);
// Writes a new file named `prefix` and six letters, as writeNewFile does,
// and returns its name; removes it again when writing fails. Throws
// ToolError.
std::string writeUniqueFile(const std::string& prefix, const std::vector<unsigned char>& bytes);
// Renames the file `from` to `to`, replacing a file of that name in one
// step; throws ToolError.
void replaceFile(const std::string& from, const std::string& to);
// Removes a file; throws ToolError.
void removeFile(const std::string& path);
// What stands under a name, its last component not followed when it is a
// symbolic link.
enum class PathKind { missing, regularFile, other };
PathKind pathKind(const std::string& path);
// Flushes a directory's entries to the disk (no-op where the system has no
// such call); throws ToolError on failure.
void syncDirectory(const std::string& path);
// The names of a directory's entries ("." and ".." left out), in the order
// the system gives them; throws ToolError "SHOWN: not a directory" or
// "SHOWN: cannot list the directory: REASON".
std::vector<std::string> listDirectory(const std::string& path, const std::string& shown);
// Creates a new directory, with the mode the umask gives, named `prefix`
// and six letters, and returns its path; throws ToolError.
std::string makeUniqueDirectory(const std::string& prefix);

// The path of an existing directory as the system resolves it (symbolic
// links followed, no "." or ".."); throws ToolError.
std::string realDirectory(const std::string& path);
// Renames `from` to `to`, which must not exist; throws ToolError.
void renameNoReplace(const std::string& from, const std::string& to);
// Swaps two directories in one step; false where the system or the file
// system cannot (Windows, some network and FUSE file systems). Throws
// ToolError on any other failure.
bool exchangeDirectories(const std::string& a, const std::string& b);
// Renames the directory `dir` to a new name that starts with `prefix` and
// returns that name; throws ToolError.
std::string moveAside(const std::string& dir, const std::string& prefix);
// Removes an empty directory, never its contents; throws ToolError, "not
// empty" when something is in it.
void removeEmptyDirectory(const std::string& path);
// Gives the directory `to` and the files named in it the mode of `from`
// (its permission bits, for the directory) and its group. What the system
// does not permit is given back as a warning; empty when all was kept.
std::string keepModeAndGroup(const std::string& from, const std::string& to,
                             const std::vector<std::string>& names);

// An exclusive lock held in a file of its own, created when missing and
// removed when released. Throws ToolError when another process holds it.
class FileLock {
  public:
    explicit FileLock(const std::string& path);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

  private:
    std::string m_path;
    std::intptr_t m_handle = -1;
};

// Holds back the signals that end the program from a terminal or a service
// manager (SIGINT, SIGTERM, SIGHUP; Ctrl-C and Ctrl-Break on Windows) while
// it lives, so that the code in its scope can ask whether one came and
// remove what it made first. When it ends, a signal that came ends the
// program as the signal would have. One guard at a time.
class InterruptGuard {
  public:
    InterruptGuard();
    ~InterruptGuard();
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

    // Throws ToolError "interrupted" when a signal came.
    void check() const;
};

}  // namespace zel::tool

#endif
