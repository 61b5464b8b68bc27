// POSIX file layer: open/pread/close. The composed names use backslashes and
// come from a platform whose file system ignores letter case, so the name is
// turned into a UTF-8 path with '/' separators and, when that exact name does
// not exist, the letter-case rule (file_naming.h) chooses among the entries of
// its directory that match its last component without regard to ASCII case.
// Only regular files are read.
#if !defined(_WIN32)

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "accessor/file_layer.h"
#include "accessor/file_naming.h"
#include "accessor/test_seam.h"
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

// Opens a regular file (or a link to one) for reading. The open does not
// block (a FIFO under the name would otherwise wait for a writer for ever);
// anything but a regular file is closed again at once. -1 on failure, with
// `missing` telling whether nothing exists under the name.
int openRegular(const char* path, bool& missing, std::int64_t& size) {
    int fd;
    do {
        fd = ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    } while (fd < 0 && errno == EINTR);
    missing = fd < 0 && errno == ENOENT;
    if (fd < 0) return -1;
    // O_NONBLOCK stays set: reads of a regular file ignore it on the systems
    // this runs on, and clearing it would cost every call a system call. A
    // file system that honours it anyway answers EAGAIN, and readAt clears it
    // then.
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return -1;
    }
    size = static_cast<std::int64_t>(st.st_size);
    return fd;
}

// Opens the entry of path's directory that the letter-case rule chooses for
// path's last component. path is modified in place.
int openCaseVariant(char* path, std::int64_t& size) {
    char* slash = std::strrchr(path, '/');
    char* leaf = slash ? slash + 1 : path;
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
    // Only the entries that match at all are kept, so a large directory costs
    // no memory.
    std::vector<std::string> matches;
    try {
        while (const dirent* entry = ::readdir(dir))
            if (equalIgnoringAsciiCase(entry->d_name, leaf)) matches.emplace_back(entry->d_name);
    } catch (const std::bad_alloc&) {
        matches.clear();
    }
    ::closedir(dir);
    const std::ptrdiff_t chosen = chooseCaseVariant(leaf, matches);
    if (chosen < 0) return -1;
    // A case variant has the length of the name it stands for.
    const std::string& name = matches[static_cast<std::size_t>(chosen)];
    std::memcpy(leaf, name.data(), name.size());
    bool missing = false;
    return openRegular(path, missing, size);
}

}  // namespace

bool DbFile::open(const unsigned short* name) {
    abandon();
    seam::opening(name);
    char path[kPathBytes];
    if (!nameToPosixPath(name, path)) return fail(Cause::fileNotFound);
    bool missing = false;
    m_blocking = false;
    m_fd = openRegular(path, missing, m_size);
    if (m_fd < 0 && missing) m_fd = openCaseVariant(path, m_size);
    if (m_fd < 0) return fail(Cause::fileNotFound);
    return true;
}

bool DbFile::readAt(std::int64_t offset, unsigned char* buf, std::uint32_t n, std::uint32_t& got) {
    got = 0;
    if (m_fd < 0) return fail(Cause::fileNotFound);
    seam::fileRead(offset, n);
    bool split = seam::splitsReads();
    // A read may deliver fewer bytes than asked before the end of the file
    // (network file systems, signals); a read of 0 bytes is the end, and so
    // is the size the file had when it was opened, so that the last block of
    // a file costs no further read to learn it.
    while (got < n && offset + got < m_size) {
        ssize_t r = -1;
        if (!m_blocking && seam::refusesNonBlockingReads())
            errno = EAGAIN;
        else
            r = ::pread(m_fd, buf + got, n - got, static_cast<off_t>(offset + got));
        if (r < 0 && errno == EINTR) continue;
        if (r < 0 && errno == EAGAIN && !m_blocking) {
            // O_NONBLOCK is the only file status flag the open set, so
            // clearing every status flag clears it without reading them first.
            if (::fcntl(m_fd, F_SETFL, 0) != 0) return fail(causeFromErrno(errno));
            m_blocking = true;
            continue;
        }
        if (r < 0) return fail(causeFromErrno(errno));
        if (r == 0) break;
        if (split && r > 1) r /= 2;
        split = false;
        got += static_cast<std::uint32_t>(r);
    }
    return true;
}

bool DbFile::close() {
    if (m_fd < 0) return true;
    const int fd = m_fd;
    m_fd = -1;
    // After close() the descriptor is released whatever it reports, so it is
    // never closed twice.
    if (::close(fd) != 0 && errno != EINTR) return fail(causeFromErrno(errno));
    Cause planned = Cause::none;
    return !seam::failsClose(planned) || fail(planned);
}

void DbFile::abandon() {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
}

}  // namespace zel

#endif
