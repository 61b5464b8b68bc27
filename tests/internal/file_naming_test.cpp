// Database file names and the database directory they start with.
#include <ZelComFuncDbase.h>
#include <gtest/gtest.h>

#include <string>

#include "accessor/accessor_internals.h"
#include "accessor/name_buffer.h"

namespace {

std::u16string toU16(const std::string& s) { return std::u16string(s.begin(), s.end()); }

std::u16string nameIn(const zel::NameBuffer& buffer) {
    std::u16string s;
    for (unsigned short u : buffer.units) {
        if (!u) break;
        s.push_back(static_cast<char16_t>(u));
    }
    return s;
}

struct NameCase {
    short cpu;
    short os;
    const char* letters;  // OS letter + CPU letters, or nullptr for no file
};

// Every irregular entry of the letter tables and the bounds around them.
const NameCase kNameCases[] = {
    {0, 0, "2E"},     {0, 1, "3E"},     {0, 2, nullptr},  {0, 6, nullptr},  {1, 3, "6F"},
    {2, 0, "2D"},     {3, 0, nullptr},  {3, 1, nullptr},  {4, 2, "73"},     {5, 0, "2J"},
    {5, 2, nullptr},  {5, 3, "6G"},     {6, 3, nullptr},  {8, 6, "8B"},     {8, 4, nullptr},
    {13, 5, "AS"},    {14, 5, "AR"},    {13, 4, nullptr}, {15, 5, nullptr}, {16, 4, "9N"},
    {17, 5, "AM"},    {16, 0, nullptr}, {20, 1, "3U"},    {21, 0, "2T"},    {22, 0, nullptr},
    {29, 0, nullptr}, {30, 0, "2W"},    {33, 2, "7X"},    {34, 0, nullptr}, {34, 1, "3Z"},
    {35, 1, nullptr}, {36, 0, "2Q1"},   {36, 1, "3Q1"},   {36, 2, nullptr}, {37, 0, nullptr},
    {37, 1, nullptr}, {37, 2, "7Q1"},   {38, 0, "2q3"},   {39, 1, "3q2"},   {40, 0, "2q5"},
    {41, 1, "3q4"},   {42, 0, "2Q6"},   {43, 0, nullptr}, {-1, 0, nullptr}, {0, 7, nullptr},
    {0, -1, nullptr}, {8, 7, nullptr},
};

class FileNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(FileNameTest, BothKindsOfDatabaseAreNamedAlike) {
    const NameCase& c = GetParam();
    CZelComFuncDbase db("C:\\db");
    zel::NameBuffer osdb, jqwdb;
    for (auto* b : {&osdb, &jqwdb})
        for (auto& u : b->units) u = 0xABCD;
    const short osdbResult = ZelAccessorInternals::dbnamehon(db, c.cpu, c.os, osdb.units);
    const short jqwdbResult = ZelAccessorInternals::dbname(db, c.cpu, c.os, jqwdb.units);
    if (!c.letters) {
        EXPECT_EQ(osdbResult, -1);
        EXPECT_EQ(jqwdbResult, -1);
        EXPECT_EQ(osdb.units[0], 0xABCD) << "buffer written on failure";
        EXPECT_EQ(jqwdb.units[0], 0xABCD);
        return;
    }
    ASSERT_EQ(osdbResult, 0);
    ASSERT_EQ(jqwdbResult, 0);
    EXPECT_EQ(nameIn(osdb), toU16(std::string("C:\\db\\OSDB") + c.letters + ".BIN"));
    EXPECT_EQ(nameIn(jqwdb), toU16(std::string("C:\\db\\JQWDB") + c.letters + ".BIN"));
}

std::string caseName(int v) { return v < 0 ? "minus" + std::to_string(-v) : std::to_string(v); }

INSTANTIATE_TEST_SUITE_P(LetterTables, FileNameTest, ::testing::ValuesIn(kNameCases),
                         [](const auto& info) {
                             return "cpu" + caseName(info.param.cpu) + "_os" +
                                    caseName(info.param.os);
                         });

TEST(FileNameTest, EveryPairHasANameForBothKindsOrForNeither) {
    CZelComFuncDbase db("d");
    int named = 0;
    for (short cpu = -2; cpu <= 45; ++cpu) {
        for (short os = -1; os <= 8; ++os) {
            zel::NameBuffer a, b;
            const short ra = ZelAccessorInternals::dbnamehon(db, cpu, os, a.units);
            EXPECT_EQ(ra, ZelAccessorInternals::dbname(db, cpu, os, b.units)) << cpu << "/" << os;
            named += ra == 0;
        }
    }
    EXPECT_EQ(named, 82);  // the entries of the CPU letters table
}

TEST(FileNameTest, ComposedNameMustFitTheBufferWithItsNul) {
    // "OSDB2E.BIN" is 10 units; the directory gets its backslash appended.
    const std::string fits(512 - 1 - 10 - 1, 'd');
    zel::NameBuffer name;
    CZelComFuncDbase atLimit(fits.c_str());
    ASSERT_EQ(ZelAccessorInternals::dbnamehon(atLimit, 0, 0, name.units), 0);
    EXPECT_EQ(name.units[510], u'N');
    EXPECT_EQ(name.units[511], 0);
    // One unit more fits OSDB but not the longer JQWDB name.
    CZelComFuncDbase beyond((fits + "d").c_str());
    EXPECT_EQ(ZelAccessorInternals::dbnamehon(beyond, 0, 0, name.units), -1);
    CZelComFuncDbase jqwdbBeyond(fits.c_str());
    EXPECT_EQ(ZelAccessorInternals::dbname(jqwdbBeyond, 0, 0, name.units), -1);
}

struct DirectoryCase {
    const char* given;
    const char* stored;
};

class DirectoryTest : public ::testing::TestWithParam<DirectoryCase> {};

TEST_P(DirectoryTest, EndsWithExactlyOneAddedBackslash) {
    CZelComFuncDbase db(GetParam().given);
    EXPECT_EQ(ZelAccessorInternals::directory(db), toU16(GetParam().stored));
    std::u16string units = toU16(GetParam().given);
    std::vector<unsigned short> utf16(units.begin(), units.end());
    utf16.push_back(0);
    CZelComFuncDbase fromUtf16(utf16.data());
    EXPECT_EQ(ZelAccessorInternals::directory(fromUtf16), toU16(GetParam().stored));
}

INSTANTIATE_TEST_SUITE_P(BackslashRule, DirectoryTest,
                         ::testing::Values(DirectoryCase{"C:\\db", "C:\\db\\"},
                                           DirectoryCase{"C:\\db\\", "C:\\db\\"},
                                           DirectoryCase{"/srv/db/", "/srv/db/\\"},
                                           DirectoryCase{"", "\\"}, DirectoryCase{"\\\\", "\\\\"}),
                         [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(DirectoryTest, Utf8PathBecomesUtf16) {
    CZelComFuncDbase db("d\xC3\xA9j\xC3\xA0/\xF0\x9F\x98\x80");  // "déjà/" and U+1F600
    EXPECT_EQ(ZelAccessorInternals::directory(db), u"d\u00E9j\u00E0/\U0001F600\\");
    CZelComFuncDbase invalid(
        "a\xFF"
        "b");
    EXPECT_EQ(ZelAccessorInternals::directory(invalid), u"a\uFFFDb\\");
}

TEST(DirectoryTest, CopyAndAssignmentCopyTheDirectory) {
    CZelComFuncDbase a("first"), b("second");
    CZelComFuncDbase c(a);
    b = a;
    EXPECT_EQ(ZelAccessorInternals::directory(b), u"first\\");
    EXPECT_EQ(ZelAccessorInternals::directory(c), u"first\\");
}

}  // namespace
