// zelcomdb check: each kind of fault in a file broken on purpose gives a
// finding that names the file, the table and the offset, and exit status 1.
#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <tuple>

#include "format/bytes.h"
#include "tests/support/temp_dir.h"
#include "tool_run.h"

namespace {

using zel::testing::runTool;
using Bytes = zel::writer::Bytes;

std::uint32_t get32(const Bytes& b, std::uint32_t at) { return zel::loadLE32(b.data() + at); }
void set32(Bytes& b, std::uint32_t at, std::uint32_t v) { zel::storeLE32(b.data() + at, v); }
std::uint32_t dir(const Bytes& b) { return get32(b, 8); }
std::uint32_t table(const Bytes& b, unsigned t) { return dir(b) + get32(b, dir(b) + 4 * t); }
// Where the offset of section s of table t is kept.
std::uint32_t section(const Bytes& b, unsigned t, unsigned s) { return table(b, t) + 4 + 4 * s; }
// Sets the 32-bit field at `at` of a table header.
std::function<void(Bytes&)> header(unsigned t, unsigned at, std::uint32_t v) {
    return [=](Bytes& b) { set32(b, table(b, t) + at, v); };
}

Bytes sampleFile(const char* name) {
    const std::string text = zel::testing::readText(zel::testing::sampleDir() + "/" + name);
    return Bytes(text.begin(), text.end());
}

TEST(Check, EachFaultIsAFindingThatNamesFileTableAndOffset) {
    // In the OSDB file or else the JQWDB one, the change, the finding after
    // the file name (* stands for an offset).
    const std::tuple<bool, std::function<void(Bytes&)>, const char*> cases[] = {
        {true, [](Bytes& b) { b.resize(6); },
         "header at offset 8: the directory base ends beyond the end of the file (6 bytes)"},
        {false, [](Bytes& b) { set32(b, 8, 0x80000000u); },
         "header at offset 8: the directory base -2147483648 is negative"},
        {true, [](Bytes& b) { set32(b, dir(b) + 4 * 6, 0u - dir(b) - 100u); },
         "table 6 at offset -100: the table starts at a negative offset"},
        {true, [](Bytes& b) { set32(b, dir(b) + 4 * 6, std::uint32_t(b.size()) - dir(b)); },
         "table 6 at offset *: the table starts beyond the end of the file"},
        {true, [](Bytes& b) { set32(b, section(b, 9, 0), 0u - table(b, 9) - 4u); },
         "table 9 section 0 at offset -4: the section starts at a negative offset"},
        {true,
         [](Bytes& b) { set32(b, section(b, 6, 0), std::uint32_t(b.size()) - 16 - table(b, 6)); },
         "table 6 section 0 at offset *: CDbTb4 item 1 (row 1, entries 1..8) ends beyond the end"},
        {false, [](Bytes& b) { set32(b, dir(b) + 4 * 7, 0xFFFFFF00u); },
         "table 7 at offset *: the table header starts at a negative offset"},
        {false, [](Bytes& b) { b.resize(b.size() - 10); },
         "table 10 at offset *: record 4 (the last an index reaches) ends beyond the end"},
        {false, header(0, 0, 1000), "table 0 at offset *: record 1000 (the last an index reaches)"},
        {false, header(0, 4, 17), "table 0 at offset *: record size 17 is above 16"},
        {false, header(9, 4, 8), "table 9 at offset *: record size 8 is below the 10 bytes"},
        {false, header(2, 4, 4), "table 2 at offset *: record size 4 is below the 32 bytes"},
        {false, header(3, 0, 0xFFFFFFFFu), "table 3 at offset *: last index -1 is negative"},
        {false, header(10, 0, 0xFFFFFFFDu), "table 10 at offset *: item count -3 is negative"},
        {false, header(10, 8, 5),
         "table 10 at offset *: splitIndex 5 is not below the item count 5"},
        {false, header(10, 8, 0xFFFF), "table 10 at offset *: splitIndex -1 is negative"},
        {false, header(10, 8, 0), "table 10 at offset *: splitValue 258 is set, but splitIndex 0"},
    };
    for (const auto& [inOsdb, breakIt, finding] : cases) {
        SCOPED_TRACE(finding);
        // Model 20 OS number 1: CPU code 30, whose OSDB file is least
        // significant byte first like every JQWDB file; the JQWDB file is
        // found in any letter case.
        Bytes osdb = sampleFile("OSDB2W.BIN"), jqwdb = sampleFile("JQWDB2W.BIN");
        breakIt(inOsdb ? osdb : jqwdb);
        zel::testing::TempDir d;
        d.write("OSDB2W.BIN", osdb);
        d.write("jqwdb2w.bin", jqwdb);
        const auto run = runTool({"check", d.path()});
        EXPECT_EQ(run.status, 1) << run.out << run.err;
        const std::string file = inOsdb ? "OSDB2W.BIN: " : "jqwdb2w.bin: ", want = finding;
        const std::size_t star = want.find('*');
        bool matched = false;
        std::istringstream lines(run.out);
        for (std::string line; std::getline(lines, line);) {
            EXPECT_EQ(line.rfind(file, 0), 0u) << "only the broken file has findings: " << line;
            matched = matched || (line.rfind(file + want.substr(0, star), 0) == 0 &&
                                  line.find(want.substr(star + 1)) != std::string::npos);
        }
        EXPECT_TRUE(matched) << run.out;
    }
}

TEST(Check, DirectoryWithoutDatabaseFilesIsAFinding) {
    zel::testing::TempDir d;
    d.write("README.BIN", Bytes(16, 0));
    const auto run = runTool({"check", d.path()});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("no database file found"), std::string::npos) << run.out;
}

}  // namespace
