// zelcomdb check: the sample database is clean; each kind of fault in a file
// broken on purpose gives a finding that names the file, the table and the
// offset, and exit status 1.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "accessor/byte_codec.h"
#include "tests/support/temp_dir.h"
#include "tool_run.h"
#include "writer/db_writer.h"

namespace {

using zel::testing::linesOf;
using zel::testing::runTool;
using zel::testing::sampleDir;
using Bytes = zel::writer::Bytes;

// Model 20 OS number 1: CPU code 30, whose OSDB file is least significant
// byte first like every JQWDB file.
constexpr const char* kOsdb = "OSDB2W.BIN";
constexpr const char* kJqwdb = "JQWDB2W.BIN";

std::uint32_t get32(const Bytes& b, std::uint32_t at) { return zel::loadLE32(b.data() + at); }
void set32(Bytes& b, std::uint32_t at, std::uint32_t v) { zel::storeLE32(b.data() + at, v); }

std::uint32_t directory(const Bytes& b) { return get32(b, 8); }
std::uint32_t tableStart(const Bytes& b, unsigned table) {
    return directory(b) + get32(b, directory(b) + 4 * table);
}
std::uint32_t sectionListEntry(const Bytes& b, unsigned table, unsigned section) {
    return tableStart(b, table) + 4 + 4 * section;
}

struct BrokenCase {
    const char* name;
    const char* file;
    std::function<void(Bytes&)> breakIt;
    // Fragments of one finding line.
    std::vector<std::string> fragments;
    bool lowerCaseName = false;
};

void PrintTo(const BrokenCase& c, std::ostream* os) { *os << c.name; }

class BrokenFiles : public ::testing::TestWithParam<BrokenCase> {};

TEST_P(BrokenFiles, FindingNamesFileTableAndOffset) {
    const BrokenCase& c = GetParam();
    zel::testing::TempDir dir;
    for (const char* name : {kOsdb, kJqwdb}) {
        std::ifstream in(sampleDir() + "/" + name, std::ios::binary);
        Bytes b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (name == std::string(c.file)) c.breakIt(b);
        std::string stored = name;
        if (c.lowerCaseName && name == std::string(c.file))
            for (char& ch : stored) ch = static_cast<char>(std::tolower(ch));
        zel::writer::writeFile(dir.file(stored), b);
    }
    const auto run = runTool({"check", dir.path()});
    EXPECT_EQ(run.status, 1) << run.out << run.err;
    std::string file = c.file;
    if (c.lowerCaseName)
        for (char& ch : file) ch = static_cast<char>(std::tolower(ch));
    bool matched = false;
    for (const auto& line : linesOf(run.out)) {
        EXPECT_EQ(line.rfind(file + ": ", 0), 0u) << "only the broken file has findings: " << line;
        EXPECT_NE(line.find(" at offset "), std::string::npos) << line;
        bool all = true;
        for (const std::string& f : c.fragments) all = all && line.find(f) != std::string::npos;
        matched = matched || all;
    }
    EXPECT_TRUE(matched) << run.out;
}

const BrokenCase kBroken[] = {
    {"TruncatedHeader",
     kOsdb,
     [](Bytes& b) { b.resize(6); },
     {"OSDB2W.BIN: header at offset 8: the directory base ends beyond the end of the file (6 "
      "bytes)"}},
    {"TruncatedOsdb",
     kOsdb,
     [](Bytes& b) { b.resize(b.size() / 2); },
     {"table 6 section", "ends beyond the end of the file"}},
    {"TruncatedJqwdb",
     kJqwdb,
     [](Bytes& b) { b.resize(b.size() - 10); },
     {"table 10 at offset", "record 4 (the last an index reaches) ends beyond the end"}},
    {"NegativeDirectoryBase",
     kJqwdb,
     [](Bytes& b) { set32(b, 8, 0x80000000u); },
     {"header at offset 8: the directory base -2147483648 is negative"}},
    {"NegativeTableOffset",
     kOsdb,
     [](Bytes& b) { set32(b, directory(b) + 4 * 6, 0u - directory(b) - 100u); },
     {"table 6 at offset -100: the table starts at a negative offset"}},
    {"NegativeSectionOffset",
     kOsdb,
     [](Bytes& b) { set32(b, sectionListEntry(b, 9, 0), 0u - tableStart(b, 9) - 4u); },
     {"table 9 section 0 at offset -4: the section starts at a negative offset"}},
    {"NegativeJqwdbTableOffset",
     kJqwdb,
     [](Bytes& b) { set32(b, directory(b) + 4 * 7, 0xFFFFFF00u); },
     {"table 7 at offset", "the table header starts at a negative offset"}},
    {"RowOutsideTheFile",
     kOsdb,
     [](Bytes& b) {
         const auto size = static_cast<std::uint32_t>(b.size());
         set32(b, sectionListEntry(b, 6, 0), size - 16 - tableStart(b, 6));
     },
     {"table 6 section 0 at offset", "CDbTb4 item 1 (row 1, entries 1..8) ends beyond the end"}},
    {"RecordOutsideTheFile",
     kJqwdb,
     [](Bytes& b) { set32(b, tableStart(b, 0), 1000); },
     {"table 0 at offset", "record 1000 (the last an index reaches) ends beyond the end"}},
    {"RecordSize40",
     kJqwdb,
     [](Bytes& b) { set32(b, tableStart(b, 0) + 4, 40); },
     {"table 0 at offset ", "record size 40 is above 16, the record buffer"}},
    {"RecordSizeBelowBytesUsed",
     kJqwdb,
     [](Bytes& b) { set32(b, tableStart(b, 9) + 4, 8); },
     {"table 9 at offset", "record size 8 is below the 10 bytes a record uses"}},
    {"EntryRowsBelowTheirEntries",
     kJqwdb,
     [](Bytes& b) { set32(b, tableStart(b, 2) + 4, 4); },
     {"table 2 at offset", "record size 4 is below the 32 bytes a record uses"}},
    {"NegativeLastIndex",
     kJqwdb,
     [](Bytes& b) { set32(b, tableStart(b, 3), 0xFFFFFFFFu); },
     {"table 3 at offset", "last index -1 is negative: no record can be read"}},
    {"NegativeItemCount",
     kJqwdb,
     [](Bytes& b) { set32(b, tableStart(b, 10), 0xFFFFFFFDu); },
     {"table 10 at offset", "item count -3 is negative"}},
    {"SplitIndexBeyondItemCount",
     kJqwdb,
     [](Bytes& b) { set32(b, tableStart(b, 10) + 8, 9); },
     {"table 10 at offset", "splitIndex 9 is not below the item count 5"}},
    {"NegativeSplitIndex",
     kJqwdb,
     [](Bytes& b) { set32(b, tableStart(b, 10) + 8, 0xFFFF); },
     {"splitIndex -1 is negative"}},
    {"NameInLowerCase",
     kJqwdb,
     [](Bytes& b) { set32(b, tableStart(b, 0) + 4, 40); },
     {"jqwdb2w.bin: table 0 at offset", "record size 40"},
     true},
};

INSTANTIATE_TEST_SUITE_P(Check, BrokenFiles, ::testing::ValuesIn(kBroken),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Check, SampleDatabaseIsClean) {
    const auto run = runTool({"check", sampleDir()});
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_EQ(run.out, "");
}

TEST(Check, DirectoryWithoutDatabaseFilesIsAFinding) {
    zel::testing::TempDir dir;
    zel::writer::writeFile(dir.file("README.BIN"), Bytes(16, 0));
    const auto run = runTool({"check", dir.path()});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("no database file found"), std::string::npos) << run.out;
}

}  // namespace
