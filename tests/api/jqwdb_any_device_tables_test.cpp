// JQWDB tables 6 to 9, the any-device tables: how a record's bytes spread over
// PdbAnyWD, PdbAnyBD and PdbAnyPBD, and tables 6 and 8 as two tables of one
// layout.
#include <ZelComFuncDbase.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/jqwdb_samples.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace zel::testing;
using zel::writer::Bytes;
using zel::writer::JqwdbLayout;
using zel::writer::JqwdbTable;
using Fields = std::vector<std::int64_t>;

// Record 2 of a table of record size `recordSize` holds `record`; the others
// hold bytes 0xEE.
JqwdbTable withRecord2(std::int32_t recordSize, const Bytes& record) {
    JqwdbTable t;
    t.lastIndex = 3;
    t.recordSize = recordSize;
    for (int i = 0; i < 4; ++i)
        t.records.push_back(Bytes(static_cast<std::size_t>(recordSize), 0xEE));
    t.records[2] = record;
    return t;
}

struct LayoutCase {
    const char* name;
    int table;
    std::int32_t recordSize;
    Fields expected;
};

class AnyDeviceLayoutTest : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(AnyDeviceLayoutTest, SpreadsRecord2OverTheOutput) {
    const LayoutCase& c = GetParam();
    Bytes record = bytesOf({0x78, 0x56, 0x34, 0x12, 0xFF, 0xFF, 0x80, 0x7F, 0xFF, 0x01, 0xAA, 0xAA,
                            0xAA, 0xAA, 0xAA, 0xAA});
    record.resize(static_cast<std::size_t>(c.recordSize));
    TempDir dir;
    writeJqwdb(dir, oneTable(static_cast<unsigned>(c.table), withRecord2(c.recordSize, record)));
    CZelComFuncDbase db(dir.path().c_str());
    const TableAnswer a = readTable(db, c.table, 2);
    ASSERT_EQ(a.result, 0);
    EXPECT_EQ(a.fields, c.expected);
}

// Record bytes: 78 56 34 12 | FF FF | 80 7F | FF | 01 | AA... The record size
// is the stride (record 2 at table start + 16 + 2 * size); bytes past those a
// table uses are skipped, and bytes a short record leaves unread give 0.
INSTANTIATE_TEST_SUITE_P(
    Records, AnyDeviceLayoutTest,
    ::testing::Values(LayoutCase{"Table6_Size12", 6, 12, {0x12345678, -1, 0x7F80, -1}},
                      LayoutCase{"Table7_Size12", 7, 12, {0x12345678, -1, -128, 127, -1}},
                      LayoutCase{"Table8_Size16", 8, 16, {0x12345678, -1, 0x7F80, -1}},
                      LayoutCase{"Table9_Size16", 9, 16, {0x12345678, -1, -128, 127, -1, 1}},
                      LayoutCase{"Table6_Size9", 6, 9, {0x12345678, -1, 0x7F80, -1}},
                      LayoutCase{"Table6_Size8", 6, 8, {0x12345678, -1, 0x7F80, 0}},
                      LayoutCase{"Table7_Size8", 7, 8, {0x12345678, -1, -128, 127, 0}},
                      LayoutCase{"Table9_Size9", 9, 9, {0x12345678, -1, -128, 127, -1, 0}},
                      LayoutCase{"Table9_Size6", 9, 6, {0x12345678, -1, 0, 0, 0, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AnyDeviceSharedLayoutTest, Tables6And8AreFoundThroughTheirOwnDirectoryEntries) {
    JqwdbLayout layout;
    layout.tables[6] = withRecord2(12, bytesOf({1, 0, 0, 0, 2, 0, 3, 0, 0xFC, 0, 0, 0}));
    layout.tables[8] = withRecord2(12, bytesOf({9, 8, 0, 0, 7, 0, 6, 0, 0x05, 0, 0, 0}));
    layout.tables[8].lastIndex = 2;
    TempDir dir;
    writeJqwdb(dir, layout);
    CZelComFuncDbase db(dir.path().c_str());
    PdbAnyWD six = sentinel<PdbAnyWD>(), eight = sentinel<PdbAnyWD>();
    ASSERT_EQ(db.CPdbTb6(kModel, kOsNumber, 2, &six), 0);
    ASSERT_EQ(db.CPdbTb8(kModel, kOsNumber, 2, &eight), 0);
    EXPECT_EQ(fields(six), std::make_tuple(1, short{2}, short{3}, short{-4}));
    EXPECT_EQ(fields(eight), std::make_tuple(0x809, short{7}, short{6}, short{5}));
    // Each table's own last index: 3 for table 6, 2 for table 8.
    EXPECT_EQ(db.CPdbTb6(kModel, kOsNumber, 3, &six), 0);
    EXPECT_EQ(db.CPdbTb8(kModel, kOsNumber, 3, &eight), -1);
}

}  // namespace
