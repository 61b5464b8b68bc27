#include "accessor/file_naming.h"

#include <algorithm>
#include <cstring>

#include "accessor/result_codes.h"
#include "platform/name_buffer.h"
#include "platform/utf.h"

namespace zel {
namespace {

constexpr int kOsTypes = 7;

// OS letter per OS type (OS number = OS type + 1).
constexpr const char* kOsLetters[kOsTypes] = {"2", "3", "7", "6", "9", "A", "8"};

// CPU letters per CPU code and OS type; "" where the pair has no database.
struct CpuLetterRow {
    short cpuCode;
    const char* letters[kOsTypes];
};
constexpr CpuLetterRow kCpuLetters[] = {
    // clang-format off
    { 0, {"E",  "E",  "",   "",  "",  "",  ""}},
    { 1, {"F",  "F",  "F",  "F", "",  "",  ""}},
    { 2, {"D",  "D",  "D",  "D", "",  "",  ""}},
    { 4, {"3",  "3",  "3",  "3", "",  "",  ""}},
    { 5, {"J",  "J",  "",   "G", "",  "",  ""}},
    { 6, {"6",  "6",  "6",  "",  "",  "",  ""}},
    { 7, {"4",  "4",  "4",  "4", "",  "",  ""}},
    { 8, {"B",  "B",  "B",  "B", "",  "",  "B"}},
    { 9, {"A",  "A",  "A",  "A", "",  "",  ""}},
    {10, {"I",  "I",  "I",  "",  "",  "",  ""}},
    {11, {"L",  "L",  "",   "",  "",  "",  ""}},
    {12, {"K",  "K",  "",   "",  "",  "",  ""}},
    {13, {"Q",  "Q",  "Q",  "",  "",  "S", ""}},
    {14, {"P",  "P",  "P",  "",  "",  "R", ""}},
    {16, {"",   "",   "N",  "",  "N", "N", ""}},
    {17, {"",   "",   "M",  "",  "M", "M", ""}},
    {20, {"U",  "U",  "",   "",  "",  "",  ""}},
    {21, {"T",  "T",  "",   "",  "",  "",  ""}},
    {30, {"W",  "W",  "",   "",  "",  "",  ""}},
    {31, {"V",  "V",  "",   "",  "",  "",  ""}},
    {32, {"Y",  "Y",  "Y",  "",  "",  "",  ""}},
    {33, {"X",  "X",  "X",  "",  "",  "",  ""}},
    {34, {"",   "Z",  "",   "",  "",  "",  ""}},
    {36, {"Q1", "Q1", "",   "",  "",  "",  ""}},
    {37, {"",   "",   "Q1", "",  "",  "",  ""}},
    {38, {"q3", "q3", "",   "",  "",  "",  ""}},
    {39, {"q2", "q2", "",   "",  "",  "",  ""}},
    {40, {"q5", "q5", "",   "",  "",  "",  ""}},
    {41, {"q4", "q4", "",   "",  "",  "",  ""}},
    {42, {"Q6", "Q6", "",   "",  "",  "",  ""}},
    // clang-format on
};

}  // namespace

const char* osLetter(short osType) {
    const auto index = static_cast<unsigned short>(osType);
    return index < kOsTypes ? kOsLetters[index] : nullptr;
}

const char* cpuLetters(short cpuCode, short osType) {
    if (!osLetter(osType)) return nullptr;
    for (const CpuLetterRow& row : kCpuLetters) {
        if (row.cpuCode != cpuCode) continue;
        const char* letters = row.letters[static_cast<unsigned short>(osType)];
        return *letters ? letters : nullptr;
    }
    return nullptr;
}

std::u16string accessorDirectory(std::u16string path) {
    if (path.empty() || path.back() != u'\\') path.push_back(u'\\');
    return path;
}

std::string databaseFileName(const char* prefix, short cpuCode, short osType) {
    const char* cpu = cpuLetters(cpuCode, osType);
    if (!cpu) return std::string();
    return std::string(prefix) + osLetter(osType) + cpu + kNameExtension;
}

short composeName(const std::u16string& directory, const char* prefix, short cpuCode, short osType,
                  unsigned short* name) {
    const char* cpu = cpuLetters(cpuCode, osType);
    if (!cpu) return kRefused;
    const char* parts[] = {prefix, osLetter(osType), cpu, kNameExtension};
    std::size_t length = directory.size();
    for (const char* part : parts) length += std::strlen(part);
    if (length + 1 > kNameUnits) return kRefused;

    std::size_t n = 0;
    // The directory's 16-bit units as they are, in one copy.
    static_assert(sizeof(char16_t) == sizeof(unsigned short), "16-bit units");
    std::memcpy(name, directory.data(), directory.size() * sizeof(char16_t));
    n = directory.size();
    for (const char* part : parts)
        for (const char* c = part; *c; ++c) name[n++] = static_cast<unsigned char>(*c);
    name[n] = 0;
    return kOk;
}

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
