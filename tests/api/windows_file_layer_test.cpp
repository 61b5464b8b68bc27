// The file layer against what Windows hosts do to database files: other
// programs holding a file open, directories named in Windows forms, names
// beyond ASCII. Checks that only Windows can make skip elsewhere and say why.
#include <ZelComFuncDbase.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>
#include <string>
#include <type_traits>
#include <vector>

#include "tests/support/osdb_samples.h"
#include "tests/support/temp_dir.h"

#if defined(_WIN32)
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#endif

namespace {

using zel::testing::cpuSpecLayout;
using zel::testing::kSampleSpec;
using zel::testing::osdbBytes;
using zel::testing::TempDir;

using Values = std::array<ZelLong, 6>;

#if defined(_WIN32)
// Hosts written with `long` pass their arrays to the interface unchanged.
static_assert(std::is_same_v<ZelLong, long>, "ZelLong must be long on Windows");
#endif
static_assert(sizeof(ZelLong) == 4 && std::is_signed_v<ZelLong>, "ZelLong is 32-bit signed");

constexpr bool kWindows =
#if defined(_WIN32)
    true;
#else
    false;
#endif

Values expectedValues() {
    Values v{};
    std::copy(std::begin(kSampleSpec), std::end(kSampleSpec), v.begin());
    return v;
}

// The OSDB file of CPU code 2 under OS type 0 (OSDB2D.BIN) in `dir`.
void writeSample(const TempDir& dir) { dir.write("OSDB2D.BIN", osdbBytes(cpuSpecLayout(), 2)); }

short readSample(const std::string& directory, Values& v) {
    v.fill(0x5A5A5A5A);
    CZelComFuncDbase db(directory.c_str());
    return db.CpuSpec(2, 0, v.data());
}

// ---------------------------------------------------------------------------
// Another handle on the database file while the library opens it.

#if defined(_WIN32)
// A handle that another program holds on a file.
class HeldFile {
  public:
    HeldFile(const std::string& path, DWORD access, DWORD share)
        : m_handle(::CreateFileW(std::filesystem::path(path).wstring().c_str(), access, share,
                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~HeldFile() {
        if (held()) ::CloseHandle(m_handle);
    }
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;
    bool held() const { return m_handle != INVALID_HANDLE_VALUE; }

  private:
    HANDLE m_handle;
};

// Whether the file can be opened with no sharing at all, which fails while
// any other handle on it is open.
bool openableExclusively(const std::string& path) {
    HeldFile exclusive(path, GENERIC_READ, 0);
    return exclusive.held();
}
#endif

struct HolderCase {
    const char* name;
    unsigned long access;  // of the other handle
    unsigned long share;   // what the other handle lets later openers do
    short result;
};

// Printed by its name: GoogleTest would print the bytes, padding included.
void PrintTo(const HolderCase& c, std::ostream* out) { *out << c.name; }

#if defined(_WIN32)
// A library that shared less than everything would fail the cases that give
// 0: the holder's write or delete access must be shared by the library's own
// open.
const HolderCase kHolderCases[] = {
    {"ReaderSharingReadOnly", GENERIC_READ, FILE_SHARE_READ, 0},
    {"WriterSharingRead", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, 0},
    {"DeleterSharingReadAndWrite", GENERIC_READ | DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE, 0},
    {"WriterSharingAll", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, 0},
    // Opens that the holder refuses fail like a missing file.
    {"ExclusiveHolder", GENERIC_READ, 0, 102},
    {"HolderDenyingRead", GENERIC_WRITE, FILE_SHARE_WRITE | FILE_SHARE_DELETE, 102},
};
#else
const HolderCase kHolderCases[] = {{"NotOnThisPlatform", 0, 0, 0}};
#endif

class HeldFileTest : public ::testing::TestWithParam<HolderCase> {};

TEST_P(HeldFileTest, LibraryOpensAlongsideHoldersThatShare) {
#if defined(_WIN32)
    const HolderCase& c = GetParam();
    TempDir dir;
    writeSample(dir);
    {
        HeldFile holder(dir.file("OSDB2D.BIN"), c.access, c.share);
        ASSERT_TRUE(holder.held());
        Values v;
        EXPECT_EQ(readSample(dir.path(), v), c.result);
        if (c.result == 0) {
            EXPECT_EQ(v, expectedValues());
        }
    }
    EXPECT_TRUE(openableExclusively(dir.file("OSDB2D.BIN"))) << "a handle outlived the call";
#else
    GTEST_SKIP() << "sharing modes are a Windows matter: POSIX opens never refuse each other";
#endif
}

INSTANTIATE_TEST_SUITE_P(Sharing, HeldFileTest, ::testing::ValuesIn(kHolderCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(WindowsFileHandleTest, FailedCallsLeaveNoHandleOpen) {
#if defined(_WIN32)
    TempDir dir;
    dir.write("OSDB2D.BIN", zel::writer::Bytes(10, 0));  // ends inside the directory base
    Values v;
    EXPECT_EQ(readSample(dir.path(), v), 114);
    EXPECT_TRUE(openableExclusively(dir.file("OSDB2D.BIN"))) << "the abandoned file stayed open";
#else
    GTEST_SKIP() << "open handles are observed through Windows sharing modes";
#endif
}

// ---------------------------------------------------------------------------
// Directories as hosts name them.

std::string withBackslashes(std::string s) {
    std::replace(s.begin(), s.end(), '/', '\\');
    return s;
}

std::string upperCase(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

struct DirectoryFormCase {
    const char* name;
    bool windowsOnly;
    std::string (*form)(const std::string& directory);
};

// Printed by its name: GoogleTest would print the bytes, padding included.
void PrintTo(const DirectoryFormCase& c, std::ostream* out) { *out << c.name; }

const DirectoryFormCase kDirectoryForms[] = {
    {"Backslashes", false, [](const std::string& d) { return withBackslashes(d); }},
    {"BackslashesAndTrailingBackslash", false,
     [](const std::string& d) { return withBackslashes(d) + "\\"; }},
    {"DoubledSeparators", false, [](const std::string& d) { return withBackslashes(d) + "\\\\"; }},
    // The file system ignores letter case in every component, not only in
    // the file name.
    {"UpperCase", true, [](const std::string& d) { return upperCase(withBackslashes(d)); }},
    // Extended-length form: the name is passed to the file system as it is.
    {"ExtendedLengthPrefix", true,
     [](const std::string& d) {
         return "\\\\?\\" + withBackslashes(std::filesystem::absolute(d).generic_string());
     }},
};

class DirectoryFormTest : public ::testing::TestWithParam<DirectoryFormCase> {};

TEST_P(DirectoryFormTest, FindsTheDatabaseFiles) {
    const DirectoryFormCase& c = GetParam();
    if (c.windowsOnly && !kWindows)
        GTEST_SKIP() << "POSIX keeps the letter case of directories and has no \\\\?\\ names; "
                        "only the file name itself is matched without regard to case";
    TempDir dir;
    writeSample(dir);
    const std::string directory = c.form(dir.path());
    Values v;
    EXPECT_EQ(readSample(directory, v), 0) << directory;
    EXPECT_EQ(v, expectedValues());
}

INSTANTIATE_TEST_SUITE_P(Windows, DirectoryFormTest, ::testing::ValuesIn(kDirectoryForms),
                         [](const auto& info) { return std::string(info.param.name); });

// A directory named beyond ASCII, with a character outside the basic plane
// (a surrogate pair in UTF-16), given in UTF-16 and in UTF-8.
TEST(NonAsciiDirectoryTest, BothConstructorsFindTheFiles) {
    namespace fs = std::filesystem;
    TempDir dir;
    writeSample(dir);
    const fs::path sub = fs::path(dir.path()) / fs::path(u"d\u00e9j\u00e0-\u03a9-\U0001F600");
    ASSERT_TRUE(fs::create_directory(sub));
    fs::rename(dir.file("OSDB2D.BIN"), sub / "OSDB2D.BIN");

    const std::u16string utf16 = sub.u16string();
    std::vector<unsigned short> units(utf16.begin(), utf16.end());
    units.push_back(0);
    CZelComFuncDbase fromUtf16(units.data());
    Values v{};
    EXPECT_EQ(fromUtf16.CpuSpec(2, 0, v.data()), 0);
    EXPECT_EQ(v, expectedValues());

    const std::string utf8 = sub.u8string();
    CZelComFuncDbase fromUtf8(utf8.c_str());
    v.fill(0);
    EXPECT_EQ(fromUtf8.CpuSpec(2, 0, v.data()), 0) << "UTF-8 read in another encoding";
    EXPECT_EQ(v, expectedValues());
}

}  // namespace
