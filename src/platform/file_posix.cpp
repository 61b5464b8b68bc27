// POSIX file layer: open/pread/close. The file of a composed name is found
// and opened by the lookup rule (file_lookup.h) that the tool asks too.
#if !defined(_WIN32)

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/file_layer.h"
#include "platform/file_lookup.h"
#include "platform/test_seam.h"

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

}  // namespace

bool DbFile::open(const unsigned short* name) {
    abandon();
    seam::opening(name);
    m_blocking = false;
    m_fd = openDatabaseFile(name, m_size, nullptr);
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
