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
    // The whole file (descriptions); throws ToolError when a read fails.
    std::string readAll() const;

  private:
    std::string m_path;
    std::intptr_t m_handle = -1;
    std::uint64_t m_size = 0;
};

// Writes a new file (it must not exist), flushes it to the disk and closes
// it; throws ToolError "PATH: REASON" on any failure.
void writeNewFile(const std::string& path, const std::vector<unsigned char>& bytes);
// Flushes a directory's entries to the disk (no-op where the system has no
// such call); throws ToolError on failure.
void syncDirectory(const std::string& path);
// Creates a new directory with a name that starts with `prefix` and returns
// its path; throws ToolError.
std::string makeUniqueDirectory(const std::string& prefix);

}  // namespace zel::tool

#endif
