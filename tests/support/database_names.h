// The database file names and the model table typed out as the tests expect
// them, independent of the library's and the writer's tables: the tests that
// build files name them from here, so a wrong cell in the library's table
// cannot move both sides of a test together.
#ifndef ZEL_TESTS_SUPPORT_DATABASE_NAMES_H
#define ZEL_TESTS_SUPPORT_DATABASE_NAMES_H

#include <stdexcept>
#include <string>

namespace zel::testing {

// OS letter and CPU letters of every CPU code under OS types 0..6 ("" where
// the pair has no database file): "2E" names OSDB2E.BIN and JQWDB2E.BIN.
struct ExpectedNameRow {
    short cpuCode;
    const char* letters[7];
};
// clang-format off
inline constexpr ExpectedNameRow kExpectedNames[] = {
    { 0, {"2E",  "3E",  "",    "",   "",   "",   ""}},
    { 1, {"2F",  "3F",  "7F",  "6F", "",   "",   ""}},
    { 2, {"2D",  "3D",  "7D",  "6D", "",   "",   ""}},
    { 4, {"23",  "33",  "73",  "63", "",   "",   ""}},
    { 5, {"2J",  "3J",  "",    "6G", "",   "",   ""}},
    { 6, {"26",  "36",  "76",  "",   "",   "",   ""}},
    { 7, {"24",  "34",  "74",  "64", "",   "",   ""}},
    { 8, {"2B",  "3B",  "7B",  "6B", "",   "",   "8B"}},
    { 9, {"2A",  "3A",  "7A",  "6A", "",   "",   ""}},
    {10, {"2I",  "3I",  "7I",  "",   "",   "",   ""}},
    {11, {"2L",  "3L",  "",    "",   "",   "",   ""}},
    {12, {"2K",  "3K",  "",    "",   "",   "",   ""}},
    {13, {"2Q",  "3Q",  "7Q",  "",   "",   "AS", ""}},
    {14, {"2P",  "3P",  "7P",  "",   "",   "AR", ""}},
    {16, {"",    "",    "7N",  "",   "9N", "AN", ""}},
    {17, {"",    "",    "7M",  "",   "9M", "AM", ""}},
    {20, {"2U",  "3U",  "",    "",   "",   "",   ""}},
    {21, {"2T",  "3T",  "",    "",   "",   "",   ""}},
    {30, {"2W",  "3W",  "",    "",   "",   "",   ""}},
    {31, {"2V",  "3V",  "",    "",   "",   "",   ""}},
    {32, {"2Y",  "3Y",  "7Y",  "",   "",   "",   ""}},
    {33, {"2X",  "3X",  "7X",  "",   "",   "",   ""}},
    {34, {"",    "3Z",  "",    "",   "",   "",   ""}},
    {36, {"2Q1", "3Q1", "",    "",   "",   "",   ""}},
    {37, {"",    "",    "7Q1", "",   "",   "",   ""}},
    {38, {"2q3", "3q3", "",    "",   "",   "",   ""}},
    {39, {"2q2", "3q2", "",    "",   "",   "",   ""}},
    {40, {"2q5", "3q5", "",    "",   "",   "",   ""}},
    {41, {"2q4", "3q4", "",    "",   "",   "",   ""}},
    {42, {"2Q6", "3Q6", "",    "",   "",   "",   ""}},
};

// CPU code of each model index, eight model indices per row.
inline constexpr short kExpectedModelCpuCodes[48] = {
     0,  2,  0,  5,  1,  6, 10,  8,
     9,  4,  0, 11, 12, 16, 17, 13,
    14,  7, 20, 21, 30, 31, 32, 33,
    34, 36, 37, 38, 39, 40, 41, 42,
     0,  0,  0,  0,  0,  0,  0,  0,
     0,  0,  0,  0,  0,  0,  0,  0,
};
// clang-format on

// The expected letters of a pair, or "" when it has no database file.
inline std::string expectedLetters(short cpuCode, short osType) {
    if (osType < 0 || osType > 6) return "";
    for (const ExpectedNameRow& row : kExpectedNames)
        if (row.cpuCode == cpuCode) return row.letters[osType];
    return "";
}

// File names for the files a test builds; a pair without a name is a mistake
// in the test.
inline std::string namedFile(const char* prefix, short cpuCode, short osType) {
    const std::string letters = expectedLetters(cpuCode, osType);
    if (letters.empty())
        throw std::logic_error("no database file for CPU code " + std::to_string(cpuCode) +
                               " under OS type " + std::to_string(osType));
    return prefix + letters + ".BIN";
}
inline std::string osdbFileName(short cpuCode, short osType) {
    return namedFile("OSDB", cpuCode, osType);
}
inline std::string jqwdbFileName(short cpuCode, short osType) {
    return namedFile("JQWDB", cpuCode, osType);
}

}  // namespace zel::testing

#endif
