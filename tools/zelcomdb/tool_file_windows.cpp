#include <windows.h>

#include <atomic>
#include <filesystem>
#include <vector>

#include "tool_error.h"
#include "tool_file.h"
#include "unique_name.h"

namespace zel::tool {
namespace {

[[noreturn]] void fail(const std::string& path, const std::string& what, DWORD error) {
    throw ToolError(path + ": " + what + ": " + systemErrorText(static_cast<int>(error)));
}

HANDLE handleOf(std::intptr_t h) { return reinterpret_cast<HANDLE>(h); }

std::wstring wide(const std::string& path) { return std::filesystem::path(path).wstring(); }

std::string narrow(const std::wstring& path) { return std::filesystem::path(path).string(); }

// A name not taken yet for what `make` does with it (unique_name.h).
template <class Make>
std::string withUniqueName(const std::string& prefix, const char* what, Make make) {
    return takeUniqueName(prefix, what, [&](const std::string& name) {
        if (make(wide(name))) return true;
        const DWORD error = GetLastError();
        if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS) fail(prefix, what, error);
        return false;
    });
}

}  // namespace

std::string systemErrorText(int error) {
    char text[256] = {};
    const DWORD n =
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                       static_cast<DWORD>(error), 0, text, sizeof text, nullptr);
    std::string reason(text, n);
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' ||
                               reason.back() == ' ' || reason.back() == '.'))
        reason.pop_back();
    if (reason.empty()) reason = "system error " + std::to_string(error);
    return reason;
}

RegularFile::RegularFile(const std::string& path) : m_path(path) {
    const HANDLE h =
        CreateFileW(wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        // A directory cannot be opened as a file at all; say what it is.
        const DWORD attributes = GetFileAttributesW(wide(path).c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            throw ToolError(path + ": not a regular file");
        fail(path, "cannot open", error);
    }
    BY_HANDLE_FILE_INFORMATION info{};
    LARGE_INTEGER size{};
    if (GetFileType(h) != FILE_TYPE_DISK || !GetFileInformationByHandle(h, &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !GetFileSizeEx(h, &size)) {
        CloseHandle(h);
        throw ToolError(path + ": not a regular file");
    }
    m_handle = reinterpret_cast<std::intptr_t>(h);
    m_size = static_cast<std::uint64_t>(size.QuadPart);
}

RegularFile::~RegularFile() {
    if (m_handle != -1) CloseHandle(handleOf(m_handle));
}

bool RegularFile::readAt(std::uint64_t offset, unsigned char* out, std::size_t n) const {
    while (n > 0) {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        const DWORD want = n > 0x10000000u ? 0x10000000u : static_cast<DWORD>(n);
        DWORD got = 0;
        if (!ReadFile(handleOf(m_handle), out, want, &got, &at) || got == 0) return false;
        out += got;
        offset += got;
        n -= got;
    }
    return true;
}

std::string RegularFile::readAll(std::size_t atMost) const {
    std::string text;
    unsigned char block[65536];
    for (std::uint64_t at = 0; text.size() <= atMost;) {
        OVERLAPPED where{};
        where.Offset = static_cast<DWORD>(at);
        where.OffsetHigh = static_cast<DWORD>(at >> 32);
        DWORD got = 0;
        if (!ReadFile(handleOf(m_handle), block, sizeof block, &got, &where)) {
            const DWORD error = GetLastError();
            if (error == ERROR_HANDLE_EOF) return text;
            fail(m_path, "cannot read", error);
        }
        if (got == 0) return text;
        text.append(reinterpret_cast<const char*>(block), got);
        at += got;
    }
    return text;
}

namespace {

// Writes the bytes to the open file h, flushes it to the disk and closes it.
void writeAndClose(HANDLE h, const std::string& path, const std::vector<unsigned char>& bytes) {
    const unsigned char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const DWORD want = left > 0x10000000u ? 0x10000000u : static_cast<DWORD>(left);
        DWORD put = 0;
        if (!WriteFile(h, p, want, &put, nullptr) || put == 0) {
            const DWORD error = GetLastError();
            CloseHandle(h);
            fail(path, "cannot write", error);
        }
        p += put;
        left -= put;
    }
    if (!FlushFileBuffers(h)) {
        const DWORD error = GetLastError();
        CloseHandle(h);
        fail(path, "cannot flush to the disk", error);
    }
    if (!CloseHandle(h)) fail(path, "cannot close", GetLastError());
}

HANDLE createNew(const std::wstring& path) {
    return CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}

}  // namespace

void writeNewFile(const std::string& path, const std::vector<unsigned char>& bytes) {
    const HANDLE h = createNew(wide(path));
    if (h == INVALID_HANDLE_VALUE) fail(path, "cannot create", GetLastError());
    writeAndClose(h, path, bytes);
}

std::string writeUniqueFile(const std::string& prefix, const std::vector<unsigned char>& bytes) {
    HANDLE h = INVALID_HANDLE_VALUE;
    const std::string name =
        withUniqueName(prefix, "cannot create a temporary file", [&](const std::wstring& n) {
            h = createNew(n);
            return h != INVALID_HANDLE_VALUE;
        });
    try {
        writeAndClose(h, name, bytes);
    } catch (const ToolError&) {
        DeleteFileW(wide(name).c_str());
        throw;
    }
    return name;
}

void replaceFile(const std::string& from, const std::string& to) {
    if (!MoveFileExW(wide(from).c_str(), wide(to).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        fail(to, "cannot rename " + from + " to it", GetLastError());
}

void removeFile(const std::string& path) {
    if (!DeleteFileW(wide(path).c_str())) fail(path, "cannot remove", GetLastError());
}

PathKind pathKind(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(wide(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? PathKind::missing
                                                                              : PathKind::other;
    }
    const DWORD notFile =
        FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE;
    return attributes & notFile ? PathKind::other : PathKind::regularFile;
}

// FindFirstFileW, not the C runtime's directory functions: those of MinGW-w64
// fail on a directory name longer than MAX_PATH (a 32-bit build answered
// "Invalid argument"), where the wide Windows functions take it.
std::vector<std::string> listDirectory(const std::string& path, const std::string& shown) {
    const DWORD attributes = GetFileAttributesW(wide(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        throw ToolError(shown + ": not a directory");
    WIN32_FIND_DATAW entry;
    const HANDLE h = FindFirstFileW((wide(path) + L"\\*").c_str(), &entry);
    if (h == INVALID_HANDLE_VALUE) fail(shown, "cannot list the directory", GetLastError());
    std::vector<std::string> names;
    do {
        const std::wstring name = entry.cFileName;
        if (name != L"." && name != L"..") names.push_back(std::filesystem::path(name).string());
    } while (FindNextFileW(h, &entry));
    const DWORD error = GetLastError();
    FindClose(h);
    if (error != ERROR_NO_MORE_FILES) fail(shown, "cannot list the directory", error);
    return names;
}

// Windows flushes directory entries with the files; nothing to do.
void syncDirectory(const std::string&) {}

std::string makeUniqueDirectory(const std::string& prefix) {
    return withUniqueName(
        prefix, "cannot create a temporary directory",
        [](const std::wstring& name) { return CreateDirectoryW(name.c_str(), nullptr) != 0; });
}

std::string realDirectory(const std::string& path) {
    const HANDLE h =
        CreateFileW(wide(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) fail(path, "cannot resolve the directory", GetLastError());
    BY_HANDLE_FILE_INFORMATION info{};
    std::wstring real(32768, L'\0');
    const bool isDirectory =
        GetFileInformationByHandle(h, &info) && (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    const DWORD n = GetFinalPathNameByHandleW(h, real.data(), static_cast<DWORD>(real.size()),
                                              FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    const DWORD error = GetLastError();
    CloseHandle(h);
    if (!isDirectory) throw ToolError(path + ": not a directory");
    if (n == 0 || n >= real.size()) fail(path, "cannot resolve the directory", error);
    real.resize(n);
    if (real.compare(0, 4, L"\\\\?\\") == 0) real.erase(0, 4);
    return narrow(real);
}

void renameNoReplace(const std::string& from, const std::string& to) {
    if (!MoveFileExW(wide(from).c_str(), wide(to).c_str(), 0))
        fail(to, "cannot rename " + from + " to it", GetLastError());
}

// Windows cannot swap two directories in one step.
bool exchangeDirectories(const std::string&, const std::string&) { return false; }

std::string moveAside(const std::string& dir, const std::string& prefix) {
    return withUniqueName(prefix, "cannot move the directory aside", [&](const std::wstring& name) {
        return MoveFileExW(wide(dir).c_str(), name.c_str(), 0) != 0;
    });
}

void removeEmptyDirectory(const std::string& path) {
    if (RemoveDirectoryW(wide(path).c_str())) return;
    const DWORD error = GetLastError();
    if (error == ERROR_DIR_NOT_EMPTY) throw ToolError(path + ": not empty");
    fail(path, "cannot remove the empty directory", error);
}

// The new directory takes the access list of the parent it was made in, as
// the old one did; there are no mode bits to copy.
std::string keepModeAndGroup(const std::string&, const std::string&,
                             const std::vector<std::string>&) {
    return "";
}

FileLock::FileLock(const std::string& path) : m_path(path) {
    // Opened by no one else, and gone when closed, even by a killed process.
    const HANDLE h =
        CreateFileW(wide(path).c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr,
                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED)
            throw ToolError(path + ": another build of the same directory holds this lock");
        fail(path, "cannot open the lock file", error);
    }
    m_handle = reinterpret_cast<std::intptr_t>(h);
}

FileLock::~FileLock() { CloseHandle(handleOf(m_handle)); }

namespace {

std::atomic<bool> g_interrupted{false};

BOOL WINAPI noteInterrupt(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
    g_interrupted = true;
    return TRUE;
}

}  // namespace

InterruptGuard::InterruptGuard() { SetConsoleCtrlHandler(noteInterrupt, TRUE); }

InterruptGuard::~InterruptGuard() {
    SetConsoleCtrlHandler(noteInterrupt, FALSE);
    if (g_interrupted) ExitProcess(STATUS_CONTROL_C_EXIT);
}

void InterruptGuard::check() const {
    if (g_interrupted) throw ToolError("interrupted");
}

}  // namespace zel::tool
