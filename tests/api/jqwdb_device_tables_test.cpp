// JQWDB tables 2 to 5: device entries (kind, number, extra, never
// sign-extended), the entry number of tables 2 and 4 bounded by CPU
// specification value 0, and CpuSpec's place before the JQWDB file.
#include <ZelComFuncDbase.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "accessor/byte_codec.h"
#include "tests/support/jqwdb_samples.h"
#include "tests/support/osdb_samples.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace zel::testing;
using zel::writer::Bytes;
using zel::writer::JqwdbLayout;
using zel::writer::JqwdbTable;
using Fields = std::vector<std::int64_t>;

// ---------------------------------------------------------------------------
// Where the device entry lies and how its bytes spread.

struct EntryCase {
    const char* name;
    int table;
    short entry;   // tables 2 and 4
    Bytes stored;  // the four bytes of the entry
    Fields expected;
};

class DeviceEntryTest : public ::testing::TestWithParam<EntryCase> {};

TEST_P(DeviceEntryTest, ReadsTheEntryOfRecord2AtTheStoredStride) {
    const EntryCase& c = GetParam();
    // Record size 12: record 2 starts 40 bytes after the table start; its
    // entry e lies 4 * (e - 1) bytes into it.
    JqwdbTable table;
    table.lastIndex = 3;
    table.recordSize = 12;
    for (unsigned i = 0; i < 4; ++i) table.records.push_back(Bytes(12, 0xC0 + i));
    const std::size_t at = 4 * static_cast<std::size_t>(c.entry - 1);
    std::copy(c.stored.begin(), c.stored.end(), table.records[2].begin() + at);
    TempDir dir;
    writeJqwdb(dir, oneTable(static_cast<unsigned>(c.table), table));
    writeOsdbWithValue0(dir, 3);
    CZelComFuncDbase db(dir.path().c_str());
    const TableAnswer a = readTable(db, c.table, 2, c.entry);
    ASSERT_EQ(a.result, 0);
    EXPECT_EQ(a.fields, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, DeviceEntryTest,
    ::testing::Values(
        EntryCase{"Table2_Entry3", 2, 3, bytesOf({0x12, 0x34, 0x56, 0x78}), {0x5634, 0x12, 0x78}},
        EntryCase{"Table3", 3, 1, bytesOf({0x12, 0x34, 0x56, 0x78}), {0x5634, 0x12, 0x78}},
        EntryCase{"Table4_Entry2", 4, 2, bytesOf({0x12, 0x34, 0x56, 0x78}), {0x5634, 0x12}},
        EntryCase{"Table5", 5, 1, bytesOf({0x12, 0x34, 0x56, 0x78}), {0x5634, 0x12}},
        EntryCase{"Table2_BytesFF", 2, 1, bytesOf({0xFF, 0xFF, 0xFF, 0xFF}), {0xFFFF, 255, 255}},
        EntryCase{"Table5_Bytes80", 5, 1, bytesOf({0x80, 0x00, 0x80, 0x80}), {0x8000, 128}}),
    [](const auto& info) { return std::string(info.param.name); });

// The entry number is not compared with the record size: with record size 8,
// entry 3 of record 0 is the first entry of record 1.
TEST(DeviceEntryOffsetTest, EntryNumberReachesPastTheRecordSize) {
    for (int t : {2, 4}) {
        JqwdbTable table;
        table.lastIndex = 1;
        table.recordSize = 8;
        table.records = {bytesOf({1, 0x11, 0, 2, 3, 0x33, 0, 4}),
                         bytesOf({5, 0x55, 0, 6, 7, 0x77, 0, 8})};
        TempDir dir;
        writeJqwdb(dir, oneTable(static_cast<unsigned>(t), table));
        writeOsdbWithValue0(dir, 4);
        CZelComFuncDbase db(dir.path().c_str());
        const TableAnswer a = readTable(db, t, 0, 3);
        ASSERT_EQ(a.result, 0) << t;
        EXPECT_EQ(a.fields[0], 0x55) << t;
        EXPECT_EQ(a.fields[1], 5) << t;
    }
}

// ---------------------------------------------------------------------------
// Entry numbers of tables 2 and 4: 1 up to CPU specification value 0, or up
// to 16 for OS types 4 and 5 when that is larger.

struct BoundCase {
    const char* name;
    std::int32_t value0;
    short model;
    short osNumber;  // OS type + 1
    short entry;
    bool accepted;
};

class EntryBoundTest : public ::testing::TestWithParam<BoundCase> {};

TEST_P(EntryBoundTest, EntryNumberAgainstCpuSpecValue0) {
    const BoundCase& c = GetParam();
    short cpu = 0, osType = 0;
    CZelComFuncDbase probe("unused");
    ASSERT_EQ(probe.CDbCpuOsType(&cpu, &osType, c.model, c.osNumber), 0);
    // One record of 20 entries: entry e is kind e, number 0x1000 + e, extra 0x80 + e.
    JqwdbTable table;
    table.lastIndex = 0;
    table.recordSize = 80;
    table.records = {Bytes(80)};
    for (unsigned e = 1; e <= 20; ++e) {
        zel::storeLE32(&table.records[0][4 * (e - 1)],
                       e | ((0x1000u + e) << 8) | ((0x80u + e) << 24));
    }
    JqwdbLayout layout;
    layout.tables[2] = table;
    layout.tables[4] = table;
    TempDir dir;
    writeJqwdb(dir, layout, cpu, osType);
    writeOsdbWithValue0(dir, c.value0, cpu, osType);
    CZelComFuncDbase db(dir.path().c_str());
    const std::int64_t e = c.entry;
    for (int t : {2, 4}) {
        const TableAnswer a = readTable(db, t, 0, c.entry, c.model, c.osNumber);
        if (c.accepted) {
            ASSERT_EQ(a.result, 0) << "table " << t;
            const Fields expected =
                t == 2 ? Fields{0x1000 + e, e, 0x80 + e} : Fields{0x1000 + e, e};
            EXPECT_EQ(a.fields, expected) << "table " << t;
        } else {
            EXPECT_EQ(a.result, -1) << "table " << t;
            EXPECT_TRUE(a.untouched) << "table " << t;
        }
    }
}

// Model 1 is CPU code 2 (OS types 0 to 3); model 13 is CPU code 16 (OS types 2,
// 4 and 5).
INSTANTIATE_TEST_SUITE_P(
    Bounds, EntryBoundTest,
    ::testing::Values(BoundCase{"Value8_Os0_Entry1", 8, 1, 1, 1, true},
                      BoundCase{"Value8_Os0_Entry8", 8, 1, 1, 8, true},
                      BoundCase{"Value8_Os0_Entry9", 8, 1, 1, 9, false},
                      BoundCase{"Value8_Os0_Entry0", 8, 1, 1, 0, false},
                      BoundCase{"Value8_Os0_EntryMinus32768", 8, 1, 1, -32768, false},
                      BoundCase{"Value8_Os2_Entry9", 8, 13, 3, 9, false},
                      BoundCase{"Value8_Os4_Entry16", 8, 13, 5, 16, true},
                      BoundCase{"Value8_Os4_Entry17", 8, 13, 5, 17, false},
                      BoundCase{"Value8_Os4_Entry0", 8, 13, 5, 0, false},
                      BoundCase{"Value20_Os4_Entry17", 20, 13, 5, 17, true},
                      BoundCase{"Value20_Os5_Entry20", 20, 13, 6, 20, true},
                      BoundCase{"Value20_Os5_Entry21", 20, 13, 6, 21, false},
                      BoundCase{"Value0_Os0_Entry1", 0, 1, 1, 1, false},
                      BoundCase{"Value0_Os4_Entry1", 0, 13, 5, 1, true},
                      BoundCase{"Value0_Os5_Entry17", 0, 13, 6, 17, false},
                      BoundCase{"ValueMinus5_Os0_Entry1", -5, 1, 1, 1, false},
                      BoundCase{"ValueMinus128_Os5_Entry1", -128, 13, 6, 1, true}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// CpuSpec runs after the JQWDB name and before the JQWDB file: its failures
// pass through unchanged, and a refused entry number needs no JQWDB file.

enum class Osdb { valueZero, value8, missing, truncated };

struct OrderCase {
    const char* name;
    Osdb osdb;
    bool jqwdbPresent;
    short entry;
    short index;
    short result;
};

class CpuSpecOrderTest : public ::testing::TestWithParam<OrderCase> {};

void writeOsdb(const TempDir& dir, Osdb kind) {
    if (kind == Osdb::missing) return;
    if (kind == Osdb::valueZero || kind == Osdb::value8) {
        writeOsdbWithValue0(dir, kind == Osdb::value8 ? 8 : 0);
        return;
    }
    Bytes file = osdbBytes(cpuSpecLayout(), kCpuCode);
    file.resize(file.size() - 1);  // ends inside value 5
    dir.write(zel::writer::osdbFileName(kCpuCode, kOsType), file);
}

TEST_P(CpuSpecOrderTest, Result) {
    const OrderCase& c = GetParam();
    for (int t : {2, 4}) {
        TempDir dir;
        writeOsdb(dir, c.osdb);
        if (c.jqwdbPresent)
            writeJqwdb(dir, oneTable(static_cast<unsigned>(t), patternTable(0, 16, 1, 16)));
        CZelComFuncDbase db(dir.path().c_str());
        const TableAnswer a = readTable(db, t, c.index, c.entry);
        EXPECT_EQ(a.result, c.result) << "table " << t;
        EXPECT_EQ(a.untouched, c.result != 0) << "table " << t;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Order, CpuSpecOrderTest,
    ::testing::Values(OrderCase{"Readable", Osdb::value8, true, 4, 0, 0},
                      OrderCase{"RefusedEntryWithoutJqwdbFile", Osdb::value8, false, 9, 0, -1},
                      OrderCase{"NoEntryAcceptedWithValue0Zero", Osdb::valueZero, true, 1, 0, -1},
                      OrderCase{"RefusedEntryBeforeRefusedIndex", Osdb::value8, true, 9, 5, -1},
                      OrderCase{"MissingJqwdbFile", Osdb::value8, false, 1, -1, 102},
                      OrderCase{"MissingOsdbFile", Osdb::missing, true, 1, 0, 102},
                      OrderCase{"OsdbEndsInAField", Osdb::truncated, true, 1, 0, 114},
                      OrderCase{"OsdbFailureBeforeRefusedEntry", Osdb::truncated, true, 99, 0,
                                114}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
