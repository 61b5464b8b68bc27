#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "tool_error.h"
#include "tool_file.h"

namespace zel::tool {
namespace {

[[noreturn]] void fail(const std::string& path, const std::string& what, int error) {
    throw ToolError(path + ": " + what + ": " + std::strerror(error));
}

int fd(std::intptr_t handle) { return static_cast<int>(handle); }

}  // namespace

RegularFile::RegularFile(const std::string& path) : m_path(path) {
    const int f = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (f < 0) fail(path, "cannot open", errno);
    struct stat st {};
    if (::fstat(f, &st) != 0) {
        const int error = errno;
        ::close(f);
        fail(path, "cannot examine", error);
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(f);
        throw ToolError(path + ": not a regular file");
    }
    m_handle = f;
    m_size = static_cast<std::uint64_t>(st.st_size);
}

RegularFile::~RegularFile() {
    if (m_handle >= 0) ::close(fd(m_handle));
}

bool RegularFile::readAt(std::uint64_t offset, unsigned char* out, std::size_t n) const {
    while (n > 0) {
        if (offset > static_cast<std::uint64_t>(INT64_MAX)) return false;
        const ssize_t got = ::pread(fd(m_handle), out, n, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        out += got;
        offset += static_cast<std::uint64_t>(got);
        n -= static_cast<std::size_t>(got);
    }
    return true;
}

std::string RegularFile::readAll() const {
    std::string text;
    char block[65536];
    for (std::uint64_t at = 0;;) {
        const ssize_t got = ::pread(fd(m_handle), block, sizeof block, static_cast<off_t>(at));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) fail(m_path, "cannot read", errno);
        if (got == 0) return text;
        text.append(block, static_cast<std::size_t>(got));
        at += static_cast<std::uint64_t>(got);
    }
}

void writeNewFile(const std::string& path, const std::vector<unsigned char>& bytes) {
    const int f = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (f < 0) fail(path, "cannot create", errno);
    const unsigned char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t put = ::write(f, p, left);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) {
            const int error = put < 0 ? errno : ENOSPC;
            ::close(f);
            fail(path, "cannot write", error);
        }
        p += put;
        left -= static_cast<std::size_t>(put);
    }
    if (::fsync(f) != 0) {
        const int error = errno;
        ::close(f);
        fail(path, "cannot flush to the disk", error);
    }
    if (::close(f) != 0) fail(path, "cannot close", errno);
}

void syncDirectory(const std::string& path) {
    const int f = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (f < 0) fail(path, "cannot open the directory", errno);
    // Some file systems refuse to flush a directory; that loses nothing.
    const bool synced = ::fsync(f) == 0 || errno == EINVAL || errno == EROFS;
    const int error = errno;
    ::close(f);
    if (!synced) fail(path, "cannot flush the directory to the disk", error);
}

std::string makeUniqueDirectory(const std::string& prefix) {
    std::vector<char> name(prefix.begin(), prefix.end());
    for (char c : std::string("XXXXXX")) name.push_back(c);
    name.push_back('\0');
    if (!::mkdtemp(name.data())) fail(prefix, "cannot create a temporary directory", errno);
    return std::string(name.data());
}

}  // namespace zel::tool
