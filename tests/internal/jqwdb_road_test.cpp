// The JQWDB readers on the reading road: which files they open and which
// fields they read in which order, and what injected read and close failures
// leave in the caller's output.
#include <ZelComFuncDbase.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "accessor/road_probe.h"
#include "tests/support/jqwdb_samples.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace zel::testing;
using zel::writer::JqwdbLayout;
using zel::writer::JqwdbTable;
using Reads = std::vector<std::pair<zel::Pos, std::uint32_t>>;  // position, width

// The writer's directory base; table t's directory entry lies at 16 + 4t.
constexpr zel::Pos kBase = 16;

struct SequenceCase {
    const char* name;
    int table;
    std::int32_t recordSize;
    std::uint32_t word8;  // table 10: splitIndex
    short index;
    short entry;
    short result;
    // The reads of the JQWDB file after the directory base and table offset,
    // relative to the table start.
    Reads tableReads;
};

class ReadSequenceTest : public ::testing::TestWithParam<SequenceCase> {};

TEST_P(ReadSequenceTest, ReadsTheHeaderThenTheRecordOfAnAcceptedIndex) {
    const SequenceCase& c = GetParam();
    JqwdbTable table = patternTable(c.table == 10 ? 6 : 5, c.recordSize, 6, 16);
    table.word8 = c.word8;
    table.word12 = 0x0102;
    TempDir dir;
    const auto where = writeJqwdb(dir, oneTable(static_cast<unsigned>(c.table), table));
    writeOsdbWithValue0(dir, 8);
    zel::probe::Probe probe;
    probe.record = true;
    TableAnswer a;
    {
        zel::probe::Scope scope(probe);
        CZelComFuncDbase db(dir.path().c_str());
        a = readTable(db, c.table, c.index, c.entry);
    }
    EXPECT_EQ(a.result, c.result);
    const std::string jqwdb = dir.path() + "/" + zel::writer::jqwdbFileName(kCpuCode, kOsType);
    const bool withCpuSpec = c.table == 2 || c.table == 4;
    ASSERT_EQ(probe.openedFiles.size(), withCpuSpec ? 2u : 1u);
    EXPECT_EQ(probe.openedFiles.back(), jqwdb);
    const int file = withCpuSpec ? 1 : 0;
    if (withCpuSpec) {
        EXPECT_EQ(probe.openedFiles[0],
                  dir.path() + "/" + zel::writer::osdbFileName(kCpuCode, kOsType));
    }

    const zel::Pos start = where.tableStart.at(static_cast<unsigned>(c.table));
    Reads expected = {{8, 4}, {kBase + 4 * static_cast<zel::Pos>(c.table), 4}};
    for (const auto& [offset, width] : c.tableReads) expected.emplace_back(start + offset, width);
    Reads got;
    for (const auto& r : probe.fieldReads)
        if (r.file == file) got.emplace_back(r.pos, r.width);
    EXPECT_EQ(got, expected);
}

// Header words at + 0 and + 4; a record at + 16 + index * record size.
INSTANTIATE_TEST_SUITE_P(
    Reads, ReadSequenceTest,
    ::testing::Values(
        SequenceCase{"Table0_Size40_Keeps16", 0, 40, 0, 1, 1, 0, {{0, 4}, {4, 4}, {56, 16}}},
        SequenceCase{"Table0_Size8", 0, 8, 0, 2, 1, 0, {{0, 4}, {4, 4}, {32, 8}}},
        SequenceCase{"Table0_RefusedIndexReadsNoRecord", 0, 16, 0, 6, 1, -1, {{0, 4}, {4, 4}}},
        SequenceCase{"Table2_Entry3", 2, 16, 0, 1, 3, 0, {{0, 4}, {4, 4}, {40, 4}}},
        SequenceCase{"Table4_Entry1", 4, 12, 0, 2, 1, 0, {{0, 4}, {4, 4}, {40, 4}}},
        // splitValue (+ 12) is read only for the item at splitIndex.
        SequenceCase{"Table10_NoSplit", 10, 16, 0, 0, 1, 0, {{0, 4}, {4, 4}, {8, 4}, {16, 16}}},
        SequenceCase{
            "Table10_AtSplit", 10, 16, 3, 3, 1, 0, {{0, 4}, {4, 4}, {8, 4}, {12, 4}, {64, 16}}},
        SequenceCase{"Table10_AfterSplit", 10, 16, 3, 4, 1, 0, {{0, 4}, {4, 4}, {8, 4}, {80, 16}}},
        SequenceCase{"Table10_CountRefusesIndex", 10, 16, 3, 6, 1, -1, {{0, 4}, {4, 4}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EntryNumberRoadTest, RefusedEntryNumberOpensOnlyTheOsdbFile) {
    TempDir dir;
    writeJqwdb(dir, oneTable(2, patternTable(0, 16, 1, 16)));
    writeOsdbWithValue0(dir, 8);
    zel::probe::Probe probe;
    probe.record = true;
    zel::probe::Scope scope(probe);
    CZelComFuncDbase db(dir.path().c_str());
    EXPECT_EQ(readTable(db, 2, 0, 9).result, -1);
    EXPECT_EQ(readTable(db, 4, 0, 0).result, -1);
    ASSERT_EQ(probe.openedFiles.size(), 2u);
    for (const std::string& f : probe.openedFiles)
        EXPECT_EQ(f, dir.path() + "/" + zel::writer::osdbFileName(kCpuCode, kOsType));
}

TEST(ItemCountRoadTest, ReadsDirectoryBaseTableOffsetAndCountOnly) {
    TempDir dir;
    const auto where = writeJqwdb(dir, oneTable(10, patternTable(4, 16, 4, 16)));
    zel::probe::Probe probe;
    probe.record = true;
    zel::probe::Scope scope(probe);
    CZelComFuncDbase db(dir.path().c_str());
    ZelLong count = 0;
    ASSERT_EQ(db.GetPdbTb10ItemCount(kModel, kOsNumber, &count), 0);
    Reads got;
    for (const auto& r : probe.fieldReads) got.emplace_back(r.pos, r.width);
    EXPECT_EQ(got, (Reads{{8, 4}, {kBase + 40, 4}, {where.tableStart.at(10), 4}}));
}

// A failing close: the item count is stored before the close, a record is
// copied into the caller's output only after it.
TEST(FailingCloseTest, LeavesOnlyTheItemCountStored) {
    TempDir dir;
    JqwdbLayout layout;
    for (unsigned t = 0; t <= 10; ++t) layout.tables[t] = patternTable(3, 16, 4, 16);
    writeJqwdb(dir, layout);
    writeOsdbWithValue0(dir, 8);
    zel::probe::Probe probe;
    probe.failClose = true;
    probe.closeCause = zel::Cause::hardIO;
    zel::probe::Scope scope(probe);
    CZelComFuncDbase db(dir.path().c_str());
    for (int t : {0, 2, 7, 10}) {
        const TableAnswer a = readTable(db, t, 1, 2);
        EXPECT_EQ(a.result, 110) << t;
        EXPECT_TRUE(a.untouched) << t;
    }
    ZelLong count = 0x5A5A5A5A;
    EXPECT_EQ(db.GetPdbTb10ItemCount(kModel, kOsNumber, &count), 110);
    EXPECT_EQ(count, 3);
}

}  // namespace
