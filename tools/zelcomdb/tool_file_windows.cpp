#include <windows.h>

#include <filesystem>
#include <random>
#include <vector>

#include "tool_error.h"
#include "tool_file.h"

namespace zel::tool {
namespace {

[[noreturn]] void fail(const std::string& path, const std::string& what, DWORD error) {
    char text[256] = {};
    const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, error, 0, text, sizeof text, nullptr);
    std::string reason(text, n);
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' ||
                               reason.back() == ' ' || reason.back() == '.'))
        reason.pop_back();
    if (reason.empty()) reason = "system error " + std::to_string(error);
    throw ToolError(path + ": " + what + ": " + reason);
}

HANDLE handleOf(std::intptr_t h) { return reinterpret_cast<HANDLE>(h); }

std::wstring wide(const std::string& path) { return std::filesystem::path(path).wstring(); }

}  // namespace

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

std::string RegularFile::readAll() const {
    std::string text;
    unsigned char block[65536];
    for (std::uint64_t at = 0;;) {
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
}

void writeNewFile(const std::string& path, const std::vector<unsigned char>& bytes) {
    const HANDLE h = CreateFileW(wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) fail(path, "cannot create", GetLastError());
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

// Windows flushes directory entries with the files; nothing to do.
void syncDirectory(const std::string&) {}

std::string makeUniqueDirectory(const std::string& prefix) {
    std::random_device seed;
    std::mt19937 pick(seed());
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = prefix;
        for (int i = 0; i < 6; ++i) name += kLetters[pick() % (sizeof kLetters - 1)];
        if (CreateDirectoryW(wide(name).c_str(), nullptr)) return name;
        const DWORD error = GetLastError();
        if (error != ERROR_ALREADY_EXISTS)
            fail(prefix, "cannot create a temporary directory", error);
    }
    throw ToolError(prefix + ": cannot create a temporary directory: every name tried exists");
}

}  // namespace zel::tool
