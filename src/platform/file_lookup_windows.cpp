// Windows lookup of a composed name: the file system matches names without
// regard to case and takes the backslash names as they are composed. Only a
// disk file is read: a named pipe or a device under the name would block the
// read or answer with bytes that are no database.
#if defined(_WIN32)

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "platform/file_lookup.h"
#include "platform/name_buffer.h"
#include "platform/utf.h"

namespace zel {
namespace {

// The entry the file system matched for a name, in its own letter case.
std::string entryOf(const wchar_t* wide, const std::u16string& composed) {
    WIN32_FIND_DATAW data;
    const HANDLE find = ::FindFirstFileW(wide, &data);
    if (find == INVALID_HANDLE_VALUE)
        return utf16ToUtf8(composed.substr(composed.find_last_of(u"\\/") + 1));
    ::FindClose(find);
    std::u16string leaf;
    for (const wchar_t* c = data.cFileName; *c; ++c) leaf.push_back(static_cast<char16_t>(*c));
    return utf16ToUtf8(leaf);
}

}  // namespace

void* openDatabaseFile(const unsigned short* name, FoundFile* found) {
    wchar_t wide[kNameUnits];
    std::size_t i = 0;
    for (; i < kNameUnits && name[i] != 0; ++i) wide[i] = static_cast<wchar_t>(name[i]);
    if (i == kNameUnits) return nullptr;
    wide[i] = 0;
    HANDLE h =
        ::CreateFileW(wide, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    FileState state = FileState::opens;
    DWORD error = 0;
    if (h == INVALID_HANDLE_VALUE) {
        error = ::GetLastError();
        const DWORD attributes = ::GetFileAttributesW(wide);
        state = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? FileState::missing
                : attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)
                    ? FileState::notRegular
                    : FileState::refused;
        h = nullptr;
    } else if (::GetFileType(h) != FILE_TYPE_DISK) {
        ::CloseHandle(h);
        state = FileState::notRegular;
        h = nullptr;
    }
    if (found) {
        const std::u16string composed(reinterpret_cast<const char16_t*>(name), i);
        found->state = state;
        found->error = static_cast<int>(error);
        found->path = utf16ToUtf8(composed);
        found->entry = entryOf(wide, composed);
    }
    return h;
}

FoundFile lookUpComposedName(const unsigned short* name) {
    FoundFile found;
    if (void* h = openDatabaseFile(name, &found)) ::CloseHandle(static_cast<HANDLE>(h));
    return found;
}

}  // namespace zel

#endif
