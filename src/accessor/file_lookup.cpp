#include "accessor/file_lookup.h"

#include <algorithm>

#include "accessor/file_naming.h"
#include "accessor/name_buffer.h"
#include "accessor/result_codes.h"
#include "accessor/utf.h"

namespace zel {

FoundFile findDatabaseFile(const std::string& utf8Directory, const char* prefix, short cpuCode,
                           short osType) {
    NameBuffer name;
    if (composeName(accessorDirectory(utf8ToUtf16(utf8Directory.c_str())), prefix, cpuCode, osType,
                    name.units) != kOk)
        return FoundFile{};
    return lookUpComposedName(name.units);
}

std::string databaseDirectoryPath(const std::string& utf8Directory) {
    const std::u16string directory = accessorDirectory(utf8ToUtf16(utf8Directory.c_str()));
    if (directory.size() >= kNameUnits) return std::string();
#if defined(_WIN32)
    return utf16ToUtf8(directory);
#else
    NameBuffer name;
    std::copy(directory.begin(), directory.end(), name.units);
    char path[kPathBytes];
    return nameToPosixPath(name.units, path) ? std::string(path) : std::string();
#endif
}

}  // namespace zel
