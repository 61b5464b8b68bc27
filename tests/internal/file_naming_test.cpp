// Database file names and the database directory they start with.
#include <ZelComFuncDbase.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "accessor/accessor_internals.h"
#include "accessor/name_buffer.h"
#include "tests/support/database_names.h"

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

// Every CPU code (the whole 16-bit range) under OS types 0..6 and around
// them: a pair has the name of the expected table under both prefixes, or no
// name and an untouched buffer.
TEST(FileNameTest, EveryPairHasTheExpectedNameUnderBothPrefixes) {
    const short osTypes[] = {-32768, -1, 0, 1, 2, 3, 4, 5, 6, 7, 8, 32767};
    CZelComFuncDbase db("C:\\db");
    int named = 0;
    for (int cpu = -32768; cpu <= 32767; ++cpu) {
        for (short os : osTypes) {
            const std::string letters = zel::testing::expectedLetters(static_cast<short>(cpu), os);
            const std::pair<const char*, decltype(&Internals::dbname)> builders[] = {
                {"OSDB", &Internals::dbnamehon}, {"JQWDB", &Internals::dbname}};
            for (const auto& [prefix, build] : builders) {
                zel::NameBuffer name;
                name.units[0] = 0xABCD;
                const short result = build(db, static_cast<short>(cpu), os, name.units);
                const std::u16string expected =
                    letters.empty() ? u"\uABCD"
                                    : toU16(std::string("C:\\db\\") + prefix + letters + ".BIN");
                if (result != (letters.empty() ? -1 : 0) || nameIn(name) != expected) {
                    ADD_FAILURE() << prefix << " name of CPU code " << cpu << ", OS type " << os
                                  << ": result " << result << ", expected letters '" << letters
                                  << "'";
                }
            }
            named += letters.empty() ? 0 : 1;
        }
    }
    EXPECT_EQ(named, 82);  // the cells of the expected table
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
