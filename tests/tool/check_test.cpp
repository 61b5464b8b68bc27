// zelcomdb check: each kind of fault in a file broken on purpose gives a
// finding that names the file, the table and the offset, and exit status 1.
#include <ZelComFuncDbase.h>
#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <tuple>
#include <vector>

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

// Model 20 OS number 1: CPU code 30, whose OSDB file is least significant
// byte first like every JQWDB file. Checks the sample's pair with one of its
// files changed, the JQWDB file under `jqwdbName`.
zel::testing::ToolRun checkBroken(bool inOsdb, const std::function<void(Bytes&)>& breakIt,
                                  const char* jqwdbName, const std::vector<std::string>& options) {
    Bytes osdb = sampleFile("OSDB2W.BIN"), jqwdb = sampleFile("JQWDB2W.BIN");
    breakIt(inOsdb ? osdb : jqwdb);
    zel::testing::TempDir d;
    d.write("OSDB2W.BIN", osdb);
    d.write(jqwdbName, jqwdb);
    std::vector<std::string> args = {"check", d.path()};
    args.insert(args.end(), options.begin(), options.end());
    return runTool(args);
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
         "table 6 section 0 at offset *: CDbTb4 items 0..79: the file ends at 23392, the rows "
         "reach 38542"},
        {false, [](Bytes& b) { set32(b, dir(b) + 4 * 7, 0xFFFFFF00u); },
         "table 7 at offset *: the table header starts at a negative offset"},
        {false, [](Bytes& b) { b.resize(b.size() - 10); },
         "table 10 at offset *: record 4 (records 0..4 are reached) ends beyond the end of the "
         "file (630 bytes): the library answers 114"},
        {false, header(0, 0, 1000), "table 0 at offset *(records 0..1000 are reached) ends beyond"},
        {false, header(0, 4, 17), "table 0 at offset *: record size 17 is above 16"},
        {false, header(0, 4, 0xFFFFFFF0u), "table 0 at offset *: record size -16 is negative"},
        {false, header(7, 4, 0x80000010u),
         "table 7 at offset *: record 1 (records 0..1 are reached) starts at a negative offset: "
         "the library answers 109"},
        {false, header(9, 4, 8), "table 9 at offset *: record size 8 is below the 10 bytes"},
        {false, header(2, 4, 4), "table 2 at offset *: record size 4 is below the 32 bytes"},
        {false, header(3, 0, 0xFFFFFFFEu), "table 3 at offset *: last index -2 is negative"},
        {false, header(10, 0, 0xFFFFFFFDu), "table 10 at offset *: item count -3 is negative"},
        {false, header(10, 8, 5),
         "table 10 at offset *: splitIndex 5 is not below the item count 5"},
        {false, header(10, 8, 0xFFFF), "table 10 at offset *: splitIndex -1 is negative"},
        {false, header(10, 8, 0), "table 10 at offset *: splitValue 258 is set, but splitIndex 0"},
    };
    for (const auto& [inOsdb, breakIt, finding] : cases) {
        SCOPED_TRACE(finding);
        // The JQWDB file is found in any letter case.
        const auto run = checkBroken(inOsdb, breakIt, "jqwdb2w.bin", {});
        EXPECT_EQ(run.status, 1) << run.out << run.err;
        const std::string file = inOsdb ? "OSDB2W.BIN: " : "jqwdb2w.bin: ", want = finding;
        const std::size_t star = want.find('*');
        bool matched = false;
        std::istringstream lines(run.out);
        for (std::string line; std::getline(lines, line);) {
            if (line.find(" at offset ") == std::string::npos) continue;  // the counts
            EXPECT_EQ(line.rfind(file, 0), 0u) << "only the broken file has findings: " << line;
            matched = matched || (line.rfind(file + want.substr(0, star), 0) == 0 &&
                                  line.find(want.substr(star + 1)) != std::string::npos);
        }
        EXPECT_TRUE(matched) << run.out;
    }
}

// Each finding carries the stable kind of its cause; items of one reader
// whose rows lie beyond the end of a short file are one finding with their
// range, after the file's first line saying how far its tables reach.
TEST(Check, FindingsCarryTheirKindAndGroupItemsOfOneCause) {
    // In the OSDB file or else the JQWDB one, the change, the kind, the
    // range (-1 for none) and the start of the reason.
    const std::tuple<bool, std::function<void(Bytes&)>, const char*, int, int, const char*>
        cases[] = {
            {true, [](Bytes& b) { b.resize(5000); }, "file-short", -1, -1,
             "the file ends at 5000 bytes; its tables reach 23392"},
            {true, [](Bytes& b) { b.resize(5000); }, "row-outside", 18, 79,
             "CDbTb4 items 18..79: the file ends at 5000, the rows reach 15658: the library "
             "answers 114"},
            {true, [](Bytes& b) { b.resize(6); }, "base-outside", -1, -1, "the directory base"},
            {false, [](Bytes& b) { set32(b, 8, 0x80000000u); }, "base-negative", -1, -1, "the"},
            {true, [](Bytes& b) { set32(b, dir(b) + 4 * 6, 0u - dir(b) - 100u); }, "table-outside",
             -1, -1, "the table"},
            {true, [](Bytes& b) { set32(b, section(b, 9, 0), 0u - table(b, 9) - 4u); },
             "section-outside", -1, -1, "the section"},
            {false, header(0, 4, 17), "record-size", -1, -1, "record size 17"},
            {false, header(3, 0, 0xFFFFFFFEu), "count-negative", -1, -1, "last index -2"},
            {false, header(10, 8, 5), "split-index", -1, -1, "splitIndex 5"},
            {false, header(10, 8, 0), "split-value", -1, -1, "splitValue 258"},
            {false, [](Bytes& b) { b.resize(b.size() - 10); }, "record-outside", -1, -1,
             "record 4"},
        };
    for (const auto& [inOsdb, breakIt, kind, first, last, reason] : cases) {
        SCOPED_TRACE(kind);
        const auto run = checkBroken(inOsdb, breakIt, "JQWDB2W.BIN", {"--json"});
        const zel::tool::Json doc = zel::tool::Json::parse(run.out);
        bool matched = false;
        for (const zel::tool::Json& f : doc["findings"]) {
            if (f["kind"] != kind) continue;
            matched = f["reason"].get<std::string>().rfind(reason, 0) == 0 &&
                      f.value("first", -1) == first && f.value("last", -1) == last;
            EXPECT_TRUE(matched) << f.dump();
        }
        EXPECT_TRUE(matched) << run.out;
    }
    // The short file's first line comes before its other findings.
    const auto run = checkBroken(true, std::get<1>(cases[0]), "JQWDB2W.BIN", {});
    EXPECT_EQ(run.out.rfind("OSDB2W.BIN: the file ends at 5000 bytes; its tables reach 23392\n", 0),
              0u)
        << run.out;
}

// Check reaches every record an index reaches at the library's positions:
// for each record size it names the first record the library cannot read,
// with the library's answer, and nothing where the library reads them all.
TEST(Check, RecordFindingsAgreeWithTheLibrary) {
    const Bytes sample = sampleFile("JQWDB2W.BIN");
    for (const std::uint32_t size :
         {0xFFFFFFF0u, 0xFFFFFF00u, 0x80000010u, 0x7FFFFFFFu, 0x40000000u, 20u, 8u}) {
        SCOPED_TRACE(size);
        Bytes jqwdb = sample;
        header(6, 4, size)(jqwdb);
        zel::testing::TempDir d;
        d.write("OSDB2W.BIN", sampleFile("OSDB2W.BIN"));
        d.write("JQWDB2W.BIN", jqwdb);
        CZelComFuncDbase db(d.path().c_str());
        short firstFailing = -1, answer = 0;
        const auto last = static_cast<short>(get32(jqwdb, table(jqwdb, 6)));
        for (short index = 0; index <= last && firstFailing < 0; ++index) {
            PdbAnyWD r{};
            answer = db.CPdbTb6(20, 1, index, &r);  // model 20: CPU code 30
            if (answer != 0) firstFailing = index;
        }
        const auto run = runTool({"check", d.path()});
        const std::string prefix = "JQWDB2W.BIN: table 6 at offset ";
        std::string recordFinding;
        std::istringstream lines(run.out);
        for (std::string line; std::getline(lines, line);)
            if (line.rfind(prefix, 0) == 0 && line.find(": record size") == std::string::npos)
                recordFinding = line;
        if (firstFailing < 0) {
            EXPECT_EQ(recordFinding, "") << run.out;
            continue;
        }
        EXPECT_NE(recordFinding.find(": record " + std::to_string(firstFailing) + " ("),
                  std::string::npos)
            << run.out;
        EXPECT_NE(recordFinding.find("the library answers " + std::to_string(answer)),
                  std::string::npos)
            << run.out;
    }
}

// Tables that build writes without records (last index -1, item count 0)
// are sound.
TEST(Check, EmptyTablesThatBuildWritesAreClean) {
    zel::tool::Json d = zel::testing::sampleDescription();
    d["databases"] = zel::tool::Json::array({d["databases"][3]});
    zel::tool::Json& jqwdb = d["databases"][0]["jqwdb"];
    for (int t = 0; t < 10; ++t) jqwdb["pdbTb" + std::to_string(t)] = zel::tool::Json::array();
    jqwdb["pdbTb10"] = {{"itemCount", 0}, {"items", zel::tool::Json::array()}};
    zel::testing::TempDir dir;
    const std::string text = d.dump();
    dir.write("d.json", Bytes(text.begin(), text.end()));
    ASSERT_EQ(runTool({"build", dir.file("d.json"), dir.file("db")}).status, 0);
    const auto run = runTool({"check", dir.file("db")});
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(run.out, "0 findings in 2 files checked\nok\n");
}

TEST(Check, DirectoryWithoutDatabaseFilesIsAFinding) {
    zel::testing::TempDir d;
    d.write("README.BIN", Bytes(16, 0));
    const auto run = runTool({"check", d.path()});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("no database file found"), std::string::npos) << run.out;
}

}  // namespace
