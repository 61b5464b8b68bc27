// Windows file layer: the file of a composed name opened by the lookup rule
// (file_lookup.h: CreateFileW with sharing that denies nothing, disk files
// only), and positioned ReadFile.
#if defined(_WIN32)

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "platform/file_layer.h"
#include "platform/file_lookup.h"
#include "platform/test_seam.h"

namespace zel {
namespace {

// One place that turns a Windows error into a cause code.
Cause causeFromWinError(DWORD err) {
    switch (err) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return Cause::fileNotFound;
        case ERROR_BAD_PATHNAME:
        case ERROR_INVALID_NAME:
        case ERROR_FILENAME_EXCED_RANGE:
            return Cause::badPath;
        case ERROR_TOO_MANY_OPEN_FILES:
            return Cause::tooManyOpenFiles;
        case ERROR_ACCESS_DENIED:
            return Cause::accessDenied;
        case ERROR_INVALID_HANDLE:
            return Cause::invalidFile;
        case ERROR_NEGATIVE_SEEK:
        case ERROR_SEEK:
            return Cause::badSeek;
        case ERROR_SHARING_VIOLATION:
            return Cause::sharingViolation;
        case ERROR_LOCK_VIOLATION:
            return Cause::lockViolation;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return Cause::diskFull;
        case ERROR_HANDLE_EOF:
            return Cause::endOfFile;
        case ERROR_CRC:
        case ERROR_READ_FAULT:
        case ERROR_GEN_FAILURE:
        case ERROR_IO_DEVICE:
            return Cause::hardIO;
        default:
            return Cause::genericException;
    }
}

}  // namespace

bool DbFile::open(const unsigned short* name) {
    abandon();
    seam::opening(name);
    m_handle = openDatabaseFile(name, nullptr);
    if (!m_handle) return fail(Cause::fileNotFound);
    return true;
}

bool DbFile::readAt(std::int64_t offset, unsigned char* buf, std::uint32_t n, std::uint32_t& got) {
    got = 0;
    if (!m_handle) return fail(Cause::fileNotFound);
    seam::fileRead(offset, n);
    bool split = seam::splitsReads();
    while (got < n) {
        OVERLAPPED at = {};
        const auto pos = static_cast<std::uint64_t>(offset) + got;
        at.Offset = static_cast<DWORD>(pos);
        at.OffsetHigh = static_cast<DWORD>(pos >> 32);
        DWORD count = 0;
        if (!::ReadFile(static_cast<HANDLE>(m_handle), buf + got, n - got, &count, &at)) {
            const DWORD err = ::GetLastError();
            if (err == ERROR_HANDLE_EOF) break;
            return fail(causeFromWinError(err));
        }
        if (count == 0) break;
        if (split && count > 1) count /= 2;
        split = false;
        got += count;
    }
    return true;
}

bool DbFile::close() {
    if (!m_handle) return true;
    HANDLE h = static_cast<HANDLE>(m_handle);
    m_handle = nullptr;
    if (!::CloseHandle(h)) return fail(causeFromWinError(::GetLastError()));
    Cause planned = Cause::none;
    return !seam::failsClose(planned) || fail(planned);
}

void DbFile::abandon() {
    if (m_handle) ::CloseHandle(static_cast<HANDLE>(m_handle));
    m_handle = nullptr;
}

}  // namespace zel

#endif
