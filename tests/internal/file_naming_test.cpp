// Database file names and the database directory they start with.
#include "accessor/file_naming.h"

#include <ZelComFuncDbase.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "accessor/accessor_internals.h"
#include "platform/letter_case.h"
#include "platform/name_buffer.h"
#include "platform/utf.h"
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
    // Bytes that are not UTF-8 are kept as U+DC00 + byte.
    CZelComFuncDbase latin1("caf\xE9");
    EXPECT_EQ(Internals::directory(latin1), u"caf\xDCE9\\");
}

TEST(DirectoryTest, NullPathIsTheEmptyPath) {
    CZelComFuncDbase fromUtf8(static_cast<const char*>(nullptr));
    CZelComFuncDbase fromUtf16(static_cast<const unsigned short*>(nullptr));
    EXPECT_EQ(Internals::directory(fromUtf8), u"\\");
    EXPECT_EQ(Internals::directory(fromUtf16), u"\\");
}

// Any byte string survives the way from the UTF-8 constructor to the path
// that is opened: valid sequences as they are, every other byte kept.
TEST(DirectoryTest, Utf8PathComesBackAsItsBytes) {
    const char* const paths[] = {
        "plain/ascii",
        "caf\xE9",                       // Latin-1
        "\xFF\xFE\x80\xBF",              // never valid in UTF-8
        "\xC0\xAF and \xE0\x80\xAF",     // shortest form violated
        "\xED\xA0\x80\xED\xB0\x80",      // surrogates encoded in UTF-8
        "\xF4\x90\x80\x80",              // beyond U+10FFFF
        "\xE2\x82 cut \xF0\x9F\x98",     // sequences cut short
        "\xC3\xA9\xF0\x9F\x98\x80\xE9",  // valid, then a stray byte
    };
    for (const char* path : paths) {
        const std::u16string units = zel::utf8ToUtf16(path);
        std::vector<unsigned short> terminated(units.begin(), units.end());
        terminated.push_back(0);
        char back[zel::kPathBytes];
        ASSERT_TRUE(zel::nameToPosixPath(terminated.data(), back)) << path;
        EXPECT_EQ(std::string(back), path);
        EXPECT_EQ(zel::utf16ToUtf8(units), path);
    }
    // Lone surrogates other than kept bytes name no path.
    for (unsigned short lone : {0xD800, 0xDBFF, 0xDC00, 0xDC7F, 0xDD00, 0xDFFF}) {
        const unsigned short name[] = {u'a', lone, u'b', 0};
        char back[zel::kPathBytes];
        EXPECT_FALSE(zel::nameToPosixPath(name, back)) << std::hex << lone;
    }
}

// The letter-case rule on lists of directory entries, beyond what files
// show (tests/api/directory_test.cpp): no entry at all, and only ASCII
// letters fold (the UTF-8 of É and é differ).
TEST(CaseVariantTest, NothingToChooseFromAndOnlyAsciiLettersFold) {
    EXPECT_EQ(zel::chooseCaseVariant("OSDB2D.BIN", {}), -1);
    EXPECT_EQ(zel::chooseCaseVariant("caf\xC3\xA9", {"CAF\xC3\x89"}), -1);
    EXPECT_EQ(zel::chooseCaseVariant("caf\xC3\xA9", {"CAF\xC3\xA9"}), 0);
}

}  // namespace
