// The file layer: the only place that touches the operating system. One
// database file, opened for reading with sharing that denies other openers
// nothing, read at absolute positions, closed within one call.
#ifndef ZEL_PLATFORM_FILE_LAYER_H
#define ZEL_PLATFORM_FILE_LAYER_H

#include <cstdint>

#include "platform/file_cause.h"

namespace zel {

class DbFile {
  public:
    DbFile() = default;
    DbFile(const DbFile&) = delete;
    DbFile& operator=(const DbFile&) = delete;
    ~DbFile() { abandon(); }

    // Opens a file by its composed name (NUL-terminated UTF-16, backslash
    // separators). Any failure to open gives fileNotFound.
    bool open(const unsigned short* name);
    // Reads up to n bytes at a non-negative offset; `got` receives the count
    // delivered, which is below n only at the end of the file.
    bool readAt(std::int64_t offset, unsigned char* buf, std::uint32_t n, std::uint32_t& got);
    // Closes the file; a failing close still releases it.
    bool close();
    // Closes the file if it is open, ignoring any failure.
    void abandon();

    // The cause of the last failure.
    Cause failure() const { return m_failure; }

  private:
    bool fail(Cause cause) {
        m_failure = cause;
        return false;
    }

#if defined(_WIN32)
    void* m_handle = nullptr;
#else
    int m_fd = -1;
    std::int64_t m_size = 0;  // the file's size when it was opened
    bool m_blocking = false;  // whether O_NONBLOCK has been cleared
#endif
    Cause m_failure = Cause::none;
};

}  // namespace zel

#endif
