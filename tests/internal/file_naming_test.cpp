// Database file names and the database directory they start with.
#include <ZelComFuncDbase.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "accessor/accessor_internals.h"
#include "accessor/name_buffer.h"

namespace {

using Internals = ZelAccessorInternals;

std::u16string toU16(const std::string& s) { return std::u16string(s.begin(), s.end()); }

std::u16string nameIn(const zel::NameBuffer& buffer) {
    std::u16string s;
    for (unsigned short u : buffer.units) {
        if (!u) break;
        s.push_back(static_cast<char16_t>(u));
    }
    return s;
}

// The irregular entries of the letter tables (two-letter and lower-case CPU
// letters, OS types 4 to 6) and the pairs around them without a file.
TEST(FileNameTest, LetterTables) {
    struct NameCase {
        short cpu, os;
        const char* letters;  // OS letter + CPU letters, or nullptr for no file
    };
    const NameCase cases[] = {
        {0, 0, "2E"},     {0, 1, "3E"},     {0, 2, nullptr},  {1, 3, "6F"},     {2, 0, "2D"},
        {3, 0, nullptr},  {4, 2, "73"},     {5, 2, nullptr},  {5, 3, "6G"},     {8, 6, "8B"},
        {8, 4, nullptr},  {13, 5, "AS"},    {15, 5, nullptr}, {16, 4, "9N"},    {16, 0, nullptr},
        {22, 0, nullptr}, {30, 0, "2W"},    {34, 0, nullptr}, {34, 1, "3Z"},    {36, 1, "3Q1"},
        {37, 2, "7Q1"},   {38, 0, "2q3"},   {42, 0, "2Q6"},   {43, 0, nullptr}, {-1, 0, nullptr},
        {0, 7, nullptr},  {0, -1, nullptr},
    };
    CZelComFuncDbase db("C:\\db");
    for (const NameCase& c : cases) {
        zel::NameBuffer name;
        name.units[0] = 0xABCD;
        EXPECT_EQ(Internals::dbnamehon(db, c.cpu, c.os, name.units), c.letters ? 0 : -1);
        // Without a name the buffer is left as it was.
        EXPECT_EQ(nameIn(name),
                  c.letters ? toU16("C:\\db\\OSDB" + std::string(c.letters) + ".BIN") : u"\uABCD")
            << c.cpu << "/" << c.os;
    }
}

// Both kinds of database file are named alike, or neither has a name.
TEST(FileNameTest, EveryPairHasANameForBothKindsOrForNeither) {
    CZelComFuncDbase db("d");
    int named = 0;
    for (short cpu = -2; cpu <= 45; ++cpu) {
        for (short os = -1; os <= 8; ++os) {
            SCOPED_TRACE(std::to_string(cpu) + "/" + std::to_string(os));
            zel::NameBuffer osdb, jqwdb;
            jqwdb.units[0] = 0xABCD;
            const short result = Internals::dbnamehon(db, cpu, os, osdb.units);
            ASSERT_EQ(Internals::dbname(db, cpu, os, jqwdb.units), result);
            if (result != 0) {
                EXPECT_EQ(jqwdb.units[0], 0xABCD);
                continue;
            }
            ++named;
            EXPECT_EQ(u"d\\JQWDB" + nameIn(osdb).substr(6), nameIn(jqwdb));
        }
    }
    EXPECT_EQ(named, 82);  // the entries of the CPU letters table
}

TEST(FileNameTest, ComposedNameMustFitTheBufferWithItsNul) {
    // "OSDB2E.BIN" is 10 units; the directory gets its backslash appended.
    const std::string fits(512 - 1 - 10 - 1, 'd');
    zel::NameBuffer name;
    CZelComFuncDbase atLimit(fits.c_str());
    ASSERT_EQ(Internals::dbnamehon(atLimit, 0, 0, name.units), 0);
    EXPECT_EQ(name.units[510], u'N');
    EXPECT_EQ(name.units[511], 0);
    // One unit more: no OSDB name; the JQWDB name is one unit longer still.
    CZelComFuncDbase beyond((fits + "d").c_str());
    EXPECT_EQ(Internals::dbnamehon(beyond, 0, 0, name.units), -1);
    EXPECT_EQ(Internals::dbname(atLimit, 0, 0, name.units), -1);
}

// Only a backslash counts as the separator.
TEST(DirectoryTest, EndsWithExactlyOneAddedBackslash) {
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\db", "C:\\db\\"}, {"C:\\db\\", "C:\\db\\"}, {"/srv/db/", "/srv/db/\\"}, {"", "\\"},
        {"\\\\", "\\\\"},
    };
    for (auto [given, stored] : cases) {
        CZelComFuncDbase db(given);
        EXPECT_EQ(Internals::directory(db), toU16(stored)) << given;
    }
}

TEST(DirectoryTest, Utf8PathBecomesUtf16) {
    CZelComFuncDbase db("d\xC3\xA9j\xC3\xA0/\xF0\x9F\x98\x80");  // "déjà/" and U+1F600
    EXPECT_EQ(Internals::directory(db), u"d\u00E9j\u00E0/\U0001F600\\");
    CZelComFuncDbase invalid(
        "a\xFF"
        "b");
    EXPECT_EQ(Internals::directory(invalid), u"a\uFFFDb\\");
}

}  // namespace
