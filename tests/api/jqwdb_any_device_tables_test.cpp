// JQWDB tables 6 to 9, the any-device tables: how a record's bytes spread over
// PdbAnyWD (tables 6 and 8), PdbAnyBD and PdbAnyPBD.
#include <ZelComFuncDbase.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/jqwdb_samples.h"

namespace {

using namespace zel::testing;
using zel::writer::Bytes;
using Fields = std::vector<std::int64_t>;

// Record 2 holds 78 56 34 12 | FF FF | 80 7F | FF | 01 | AA..., the other
// records bytes 0xEE. The record size is the stride; bytes past those a table
// uses are skipped, and bytes a short record leaves unread give 0.
TEST(AnyDeviceTableTest, SpreadsRecord2OverTheOutput) {
    const Bytes record = {0x78, 0x56, 0x34, 0x12, 0xFF, 0xFF, 0x80, 0x7F,
                          0xFF, 0x01, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA};
    struct Case {
        int table;
        std::int32_t recordSize;
        Fields expected;
    };
    const Case cases[] = {
        {6, 12, {0x12345678, -1, 0x7F80, -1}},  {7, 12, {0x12345678, -1, -128, 127, -1}},
        {8, 16, {0x12345678, -1, 0x7F80, -1}},  {9, 16, {0x12345678, -1, -128, 127, -1, 1}},
        {8, 9, {0x12345678, -1, 0x7F80, -1}},   {6, 8, {0x12345678, -1, 0x7F80, 0}},
        {7, 8, {0x12345678, -1, -128, 127, 0}}, {9, 9, {0x12345678, -1, -128, 127, -1, 0}},
        {9, 6, {0x12345678, -1, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("table " + std::to_string(c.table) + ", size " + std::to_string(c.recordSize));
        const auto size = static_cast<std::size_t>(c.recordSize);
        zel::writer::JqwdbTable table{3, c.recordSize, 0, 0,
                                      std::vector<Bytes>(4, Bytes(size, 0xEE))};
        std::copy_n(record.begin(), size, table.records[2].begin());
        TempDir dir;
        writeJqwdb(dir, oneTable(static_cast<unsigned>(c.table), table));
        CZelComFuncDbase db(dir.path().c_str());
        EXPECT_EQ(readTable(db, c.table, 2).fields, c.expected);
    }
}

}  // namespace
