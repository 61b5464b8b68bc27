// POSIX file layer: open/pread/close. The composed names use backslashes and
// come from a platform whose file system ignores letter case, so the name is
// turned into a UTF-8 path with '/' separators and, when that exact name does
// not exist, its last component is matched without regard to ASCII case among
// the entries of its directory.
#if !defined(_WIN32)

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "accessor/file_layer.h"
#include "accessor/utf.h"

namespace zel {
namespace {

// One place that turns errno into a cause code.
Cause causeFromErrno(int err) {
    switch (err) {
        case ENOENT:
        case EISDIR:  // a directory under a database file's name is no database file
            return Cause::fileNotFound;
        case ENOTDIR:
        case ENAMETOOLONG:
        case ELOOP:
            return Cause::badPath;
        case EMFILE:
        case ENFILE:
            return Cause::tooManyOpenFiles;
        case EACCES:
        case EPERM:
            return Cause::accessDenied;
        case EBADF:
            return Cause::invalidFile;
        case EINVAL:
        case EOVERFLOW:
        case ESPIPE:
            return Cause::badSeek;
        case EIO:
            return Cause::hardIO;
        case ENOSPC:
            return Cause::diskFull;
        default:
            return Cause::genericException;
    }
}

bool asciiEqualNoCase(const char* a, const char* b) {
    for (;; ++a, ++b) {
        unsigned char x = static_cast<unsigned char>(*a);
        unsigned char y = static_cast<unsigned char>(*b);
        if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y - 'A' + 'a');
        if (x != y) return false;
        if (x == 0) return true;
    }
}

int openReadOnly(const char* path) {
    int fd;
    do {
        fd = ::open(path, O_RDONLY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

// Opens the entry of path's directory whose name equals path's last component
// without regard to ASCII letter case. path is modified in place.
int openIgnoringCase(char* path) {
    char* slash = std::strrchr(path, '/');
    const char* leaf = slash ? slash + 1 : path;
    if (*leaf == 0) return -1;
    DIR* dir = nullptr;
    if (!slash) {
        dir = ::opendir(".");
    } else if (slash == path) {
        dir = ::opendir("/");
    } else {
        *slash = 0;
        dir = ::opendir(path);
        *slash = '/';
    }
    if (!dir) return -1;
    int fd = -1;
    while (const dirent* entry = ::readdir(dir)) {
        if (!asciiEqualNoCase(entry->d_name, leaf)) continue;
        const std::size_t room = kPathBytes - static_cast<std::size_t>(leaf - path);
        const std::size_t len = std::strlen(entry->d_name);
        if (len >= room) continue;
        std::memcpy(const_cast<char*>(leaf), entry->d_name, len + 1);
        fd = openReadOnly(path);
        break;
    }
    ::closedir(dir);
    return fd;
}

}  // namespace

bool DbFile::open(const unsigned short* name) {
    abandon();
    char path[kPathBytes];
    if (!nameToPosixPath(name, path)) return fail(Cause::fileNotFound);
    m_fd = openReadOnly(path);
    if (m_fd < 0 && errno == ENOENT) m_fd = openIgnoringCase(path);
    if (m_fd < 0) return fail(Cause::fileNotFound);
    return true;
}

bool DbFile::readAt(std::int64_t offset, unsigned char* buf, std::uint32_t n, std::uint32_t& got) {
    got = 0;
    if (m_fd < 0) return fail(Cause::fileNotFound);
    // A regular file delivers less than asked only at its end, so one pread
    // answers (no second call to learn that the end has been reached).
    ssize_t r;
    do {
        r = ::pread(m_fd, buf, n, static_cast<off_t>(offset));
    } while (r < 0 && errno == EINTR);
    if (r < 0) return fail(causeFromErrno(errno));
    got = static_cast<std::uint32_t>(r);
    return true;
}

bool DbFile::close() {
    if (m_fd < 0) return true;
    const int fd = m_fd;
    m_fd = -1;
    // After close() the descriptor is released whatever it reports, so it is
    // never closed twice.
    if (::close(fd) != 0 && errno != EINTR) return fail(causeFromErrno(errno));
    return true;
}

void DbFile::abandon() {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
}

}  // namespace zel

#endif
