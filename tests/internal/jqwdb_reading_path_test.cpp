// The fields that the JQWDB readers read, in order: the directory base, the
// table offset, the table header, then the record of an accepted index only.
// (Injected read and close failures: injected_faults_test.cpp.)
#include <ZelComFuncDbase.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/fault_injector.h"
#include "tests/support/jqwdb_samples.h"

namespace {

using namespace zel::testing;
using Reads = std::vector<std::pair<zel::Pos, std::uint32_t>>;  // position, width

TEST(JqwdbReadSequenceTest, HeaderThenTheRecordOfAnAcceptedIndex) {
    struct Case {
        int table;
        std::int32_t recordSize;
        std::uint32_t splitIndex;  // table 10
        short index, entry, result;
        Reads tableReads;  // relative to the table start
    };
    // Header words at + 0, + 4, + 8 and + 12; record i at + 16 + i * record size.
    const Case cases[] = {
        {0, 40, 0, 1, 1, 0, {{0, 4}, {4, 4}, {56, 16}}},  // at most 16 bytes of a record
        {0, 16, 0, 6, 1, -1, {{0, 4}, {4, 4}}},           // a refused index reads no record
        {4, 12, 0, 1, 3, 0, {{0, 4}, {4, 4}, {36, 4}}},   // entry 3 of record 1
        // splitValue (+ 12) is read only for the item at splitIndex.
        {10, 16, 0, 0, 1, 0, {{0, 4}, {4, 4}, {8, 4}, {16, 16}}},
        {10, 16, 3, 3, 1, 0, {{0, 4}, {4, 4}, {8, 4}, {12, 4}, {64, 16}}},
        {10, 16, 3, 4, 1, 0, {{0, 4}, {4, 4}, {8, 4}, {80, 16}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("table " + std::to_string(c.table) + ", index " + std::to_string(c.index));
        const auto t = static_cast<unsigned>(c.table);
        zel::writer::JqwdbTable table = patternTable(t == 10 ? 6 : 5, c.recordSize, 6, 16);
        table.splitIndexWord = c.splitIndex;
        TempDir dir;
        const zel::Pos start = writeJqwdb(dir, oneTable(t, table)).tableStart.at(t);
        writeOsdbWithValue0(dir, 8);
        zel::faults::Injector injector;
        injector.record = true;
        {
            zel::faults::Scope scope(injector);
            CZelComFuncDbase db(dir.path().c_str());
            EXPECT_EQ(readTable(db, c.table, c.index, c.entry).result, c.result);
        }
        // Tables 2 and 4 open the OSDB file first; the JQWDB file is the last.
        ASSERT_EQ(injector.openedFiles.size(), c.table == 4 ? 2u : 1u);
        const int file = static_cast<int>(injector.openedFiles.size()) - 1;
        EXPECT_EQ(injector.openedFiles.back(),
                  dir.file(zel::testing::jqwdbFileName(kCpuCode, kOsType)));
        Reads expected = {{8, 4}, {16 + 4 * t, 4}};
        for (const auto& [offset, width] : c.tableReads)
            expected.emplace_back(start + offset, width);
        Reads got;
        for (const auto& r : injector.fieldReads)
            if (r.file == file) got.emplace_back(r.pos, r.width);
        EXPECT_EQ(got, expected);
    }
}

}  // namespace
