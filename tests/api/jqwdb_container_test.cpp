// The JQWDB container as every table reader walks it: entry point checks,
// table directory, index bounds, record positions and sizes, least
// significant byte first for every CPU code, short files and damaged offsets.
// Tables 0 and 1 serve where one table stands for all.
#include <ZelComFuncDbase.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "accessor/byte_codec.h"
#include "tests/support/jqwdb_samples.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace zel::testing;
using zel::writer::Bytes;
using zel::writer::JqwdbLayout;
using zel::writer::JqwdbTable;
using zel::writer::Placement;

std::int32_t s32(std::uint32_t v) { return zel::asSigned32(v); }
short s16(std::uint16_t v) { return zel::asSigned16(v); }

std::string caseName(const char* name) { return name; }

// ---------------------------------------------------------------------------
// Every public member of the JQWDB readers: checks before any file access.

struct MemberCase {
    const char* name;
    std::function<TableAnswer(CZelComFuncDbase&, short model, short osNumber)> call;
    bool readsFile;
};

std::vector<MemberCase> memberCases() {
    std::vector<MemberCase> cases;
    static const char* const names[] = {"CPdbTb0", "CPdbTb1", "CPdbTb2", "CPdbTb3",
                                        "CPdbTb4", "CPdbTb5", "CPdbTb6", "CPdbTb7",
                                        "CPdbTb8", "CPdbTb9", "CPdbTb10"};
    for (int t = 0; t <= 10; ++t)
        cases.push_back(
            {names[t],
             [t](CZelComFuncDbase& db, short m, short n) { return readTable(db, t, 0, 1, m, n); },
             true});
    cases.push_back({"GetPdbTb10ItemCount",
                     [](CZelComFuncDbase& db, short m, short n) {
                         return callWith<ZelLong>(
                             [&](ZelLong* o) { return db.GetPdbTb10ItemCount(m, n, o); });
                     },
                     true});
    cases.push_back({"CPdbPMem",
                     [](CZelComFuncDbase& db, short m, short n) {
                         return callWith<ZelLong>(
                             [&](ZelLong* o) { return db.CPdbPMem(m, n, 3, -123456, o); });
                     },
                     false});
    return cases;
}

class EntryPointTest : public ::testing::TestWithParam<MemberCase> {
  protected:
    TempDir dir;  // holds no database file
    CZelComFuncDbase db{dir.path().c_str()};
};

TEST_P(EntryPointTest, RefusesModelIndexAndOsNumberBeforeAnyFileAccess) {
    const std::pair<short, short> refused[] = {{48, 1}, {-1, 1}, {-32768, 1},
                                               {1, 0},  {1, 8},  {1, -1}};
    for (auto [model, osNumber] : refused) {
        const TableAnswer a = GetParam().call(db, model, osNumber);
        EXPECT_EQ(a.result, -1) << model << "/" << osNumber;  // not 102: no file was looked for
        EXPECT_TRUE(a.untouched);
    }
}

TEST_P(EntryPointTest, PairWithoutJqwdbFileIsRefusedAndMissingFileGives102) {
    // Model 0 is CPU code 0, which has no database under OS number 3.
    const TableAnswer noName = GetParam().call(db, 0, 3);
    const TableAnswer missing = GetParam().call(db, kModel, kOsNumber);
    if (GetParam().readsFile) {
        EXPECT_EQ(noName.result, -1);
        EXPECT_TRUE(noName.untouched);
        EXPECT_EQ(missing.result, 102);
        EXPECT_TRUE(missing.untouched);
    } else {  // the parameter memory reads no file
        EXPECT_EQ(noName.result, 0);
        EXPECT_EQ(missing.result, 0);
        EXPECT_EQ(missing.fields, std::vector<std::int64_t>{-123456});
    }
}

INSTANTIATE_TEST_SUITE_P(Members, EntryPointTest, ::testing::ValuesIn(memberCases()),
                         [](const auto& info) { return caseName(info.param.name); });

// ---------------------------------------------------------------------------
// One file holding all eleven tables: each reader finds its own through its
// directory entry and takes the first header word as its bound.

class OwnTableTest : public ::testing::TestWithParam<int> {};

// Every byte of record i of table t is 16 * t + i, so the low byte of any
// field tells table and record.
JqwdbLayout allTables() {
    JqwdbLayout layout;
    for (unsigned t = 0; t <= 10; ++t) {
        JqwdbTable table;
        table.lastIndex = t == 10 ? 11 : static_cast<std::int32_t>(t);  // table 10: a count
        table.recordSize = 16;
        for (unsigned i = 0; i <= 11; ++i)
            table.records.push_back(Bytes(16, static_cast<std::uint8_t>(16 * t + i)));
        layout.tables[t] = table;
    }
    return layout;
}

TEST_P(OwnTableTest, HighestAcceptedIndexComesFromItsOwnTableHeader) {
    const int t = GetParam();
    TempDir dir;
    writeJqwdb(dir, allTables());
    writeOsdbWithValue0(dir, 12);
    CZelComFuncDbase db(dir.path().c_str());
    const short highest = static_cast<short>(t == 10 ? 10 : t);  // the item count is exclusive
    const TableAnswer last = readTable(db, t, highest);
    ASSERT_EQ(last.result, 0);
    EXPECT_EQ(last.fields[0] & 0xFF, 16 * t + highest);
    const TableAnswer first = readTable(db, t, 0);
    ASSERT_EQ(first.result, 0);
    EXPECT_EQ(first.fields[0] & 0xFF, 16 * t);
    for (short refused : {static_cast<short>(highest + 1), short{-1}, short{-32768}}) {
        const TableAnswer a = readTable(db, t, refused);
        EXPECT_EQ(a.result, -1) << refused;
        EXPECT_TRUE(a.untouched);
    }
}

TEST_P(OwnTableTest, MissingFileGives102EvenForARefusedIndex) {
    TempDir dir;
    writeOsdbWithValue0(dir, 12);  // tables 2 and 4 get past their entry number check
    CZelComFuncDbase db(dir.path().c_str());
    for (short index : {short{-1}, short{0}, short{32767}}) {
        const TableAnswer a = readTable(db, GetParam(), index);
        EXPECT_EQ(a.result, 102) << index;
        EXPECT_TRUE(a.untouched);
    }
}

INSTANTIATE_TEST_SUITE_P(Tables, OwnTableTest, ::testing::Range(0, 11),
                         [](const auto& info) { return "table" + std::to_string(info.param); });

// ---------------------------------------------------------------------------
// Record sizes: records lie at the stored record size; at most 16 bytes of a
// record are kept, and the bytes a short record leaves unread give 0.

struct RecordSizeCase {
    std::int32_t recordSize;
    std::tuple<std::int32_t, std::int32_t, short, short, short, short, short> table0;
    std::tuple<std::int32_t, std::int32_t, short, short, short, short> table1;
};

class RecordSizeTest : public ::testing::TestWithParam<RecordSizeCase> {};

TEST_P(RecordSizeTest, ReadsRecord2AtTheStoredStride) {
    const RecordSizeCase& c = GetParam();
    const auto rs = static_cast<std::uint32_t>(c.recordSize);
    JqwdbLayout layout;
    layout.tables[0] = patternTable(3, c.recordSize, 4, rs);
    layout.tables[1] = patternTable(3, c.recordSize, 4, rs);
    TempDir dir;
    const Placement where = writeJqwdb(dir, layout);
    ASSERT_EQ(where.tableStart.at(1), where.tableStart.at(0) + 16 + 4 * rs);
    CZelComFuncDbase db(dir.path().c_str());
    PdbJAd j = sentinel<PdbJAd>();
    ASSERT_EQ(db.CPdbTb0(kModel, kOsNumber, 2, &j), 0);
    EXPECT_EQ(fields(j), c.table0);
    PdbCAd k = sentinel<PdbCAd>();
    ASSERT_EQ(db.CPdbTb1(kModel, kOsNumber, 2, &k), 0);
    EXPECT_EQ(fields(k), c.table1);
}

// Record 2 holds the bytes C0, C1, C2, ... (patternRecord).
const std::int32_t kV1 = s32(0xC3C2C1C0u), kV2 = s32(0xC7C6C5C4u);
const short kW8 = s16(0xC9C8), kW10 = s16(0xCBCA), kW12 = s16(0xCDCC), kW14 = s16(0xCFCE);

INSTANTIATE_TEST_SUITE_P(
    Sizes, RecordSizeTest,
    ::testing::Values(
        RecordSizeCase{8, {kV1, kV2, 0, 0, 0, 0, 0}, {kV1, kV2, 0, 0, 0, 0}},
        RecordSizeCase{12, {kV1, kV2, kW8, kW10, 0, 0, 0}, {kV1, kV2, kW8, -54, -53, 0}},
        RecordSizeCase{16, {kV1, kV2, kW8, kW10, -52, -51, kW14}, {kV1, kV2, kW8, -54, -53, kW12}},
        RecordSizeCase{20, {kV1, kV2, kW8, kW10, -52, -51, kW14}, {kV1, kV2, kW8, -54, -53, kW12}},
        RecordSizeCase{40, {kV1, kV2, kW8, kW10, -52, -51, kW14}, {kV1, kV2, kW8, -54, -53, kW12}}),
    [](const auto& info) { return "recordSize" + std::to_string(info.param.recordSize); });

// A record size negative as a signed value is a huge read length: 16 bytes are
// kept, and the stride wraps around in 32 bits. Record 1 of record size -16
// starts at the table start, so it is the table header.
TEST(RecordSizeEdgeTest, NegativeRecordSizeKeeps16BytesAndWrapsTheStride) {
    TempDir dir;
    writeJqwdb(dir, oneTable(0, patternTable(1, -16, 1, 16)));
    CZelComFuncDbase db(dir.path().c_str());
    PdbJAd j = sentinel<PdbJAd>();
    ASSERT_EQ(db.CPdbTb0(kModel, kOsNumber, 0, &j), 0);
    EXPECT_EQ(fields(j), std::make_tuple(s32(0xA3A2A1A0u), s32(0xA7A6A5A4u), s16(0xA9A8),
                                         s16(0xABAA), short{-84}, short{-83}, s16(0xAFAE)));
    ASSERT_EQ(db.CPdbTb0(kModel, kOsNumber, 1, &j), 0);
    EXPECT_EQ(fields(j), std::make_tuple(1, -16, short{0}, short{0}, short{0}, short{0}, short{0}));
}

// ---------------------------------------------------------------------------
// Byte order: least significant byte first for every CPU code, the CPU codes
// whose OSDB files are most significant byte first included.

struct ByteOrderCase {
    short model;
    short cpuCode;
};

class ByteOrderTest : public ::testing::TestWithParam<ByteOrderCase> {};

TEST_P(ByteOrderTest, JqwdbFileIsLeastSignificantByteFirst) {
    const ByteOrderCase& c = GetParam();
    JqwdbTable table;
    table.lastIndex = 1;
    table.recordSize = 20;  // stored as 14 00 00 00
    table.records = {Bytes(20, 0xEE),
                     bytesOf({0x78, 0x56, 0x34, 0x12, 0x01, 0x00, 0x00, 0x80, 0x34, 0x12,
                              0xFF, 0xFF, 0x80, 0x7F, 0x01, 0x00, 0xEE, 0xEE, 0xEE, 0xEE})};
    TempDir dir;
    const Placement where = writeJqwdb(dir, oneTable(0, table), c.cpuCode, 0);
    const Bytes file = zel::writer::buildJqwdb(oneTable(0, table));
    ASSERT_EQ(file[where.tableStart.at(0) + 4], 0x14);
    CZelComFuncDbase db(dir.path().c_str());
    PdbJAd j = sentinel<PdbJAd>();
    ASSERT_EQ(db.CPdbTb0(c.model, 1, 1, &j), 0);
    EXPECT_EQ(fields(j), std::make_tuple(0x12345678, s32(0x80000001u), short{0x1234}, short{-1},
                                         short{-128}, short{127}, short{1}));
}

INSTANTIATE_TEST_SUITE_P(CpuCodes, ByteOrderTest,
                         ::testing::Values(ByteOrderCase{1, 2}, ByteOrderCase{7, 8},
                                           ByteOrderCase{20, 30}, ByteOrderCase{25, 36}),
                         [](const auto& info) {
                             return "cpu" + std::to_string(info.param.cpuCode);
                         });

// ---------------------------------------------------------------------------
// The table directory: offsets count from the directory base, in 32-bit
// wrap-around arithmetic.

struct DirectoryCase {
    const char* name;
    std::uint32_t directoryBase;
    std::uint32_t tableOffset;
    std::uint32_t tableStart;
};

class TableDirectoryTest : public ::testing::TestWithParam<DirectoryCase> {};

TEST_P(TableDirectoryTest, TableStartIsDirectoryBasePlusTableOffset) {
    const DirectoryCase& c = GetParam();
    Bytes file(0x140, 0);
    zel::storeLE32(&file[8], c.directoryBase);
    zel::storeLE32(&file[c.directoryBase], c.tableOffset);
    zel::storeLE32(&file[c.tableStart], 0);       // last index
    zel::storeLE32(&file[c.tableStart + 4], 16);  // record size
    for (std::uint32_t j = 0; j < 16; ++j)
        file[c.tableStart + 16 + j] = static_cast<std::uint8_t>(0x60 + j);
    TempDir dir;
    dir.write(zel::writer::jqwdbFileName(kCpuCode, kOsType), file);
    CZelComFuncDbase db(dir.path().c_str());
    PdbJAd j = sentinel<PdbJAd>();
    ASSERT_EQ(db.CPdbTb0(kModel, kOsNumber, 0, &j), 0);
    EXPECT_EQ(j.value1, 0x63626160);
    EXPECT_EQ(j.word3, 0x6F6E);
}

INSTANTIATE_TEST_SUITE_P(Offsets, TableDirectoryTest,
                         ::testing::Values(DirectoryCase{"base40_offset30", 0x40, 0x30, 0x70},
                                           DirectoryCase{"base100_offsetMinusC0", 0x100,
                                                         0xFFFFFF40u, 0x40}),
                         [](const auto& info) { return caseName(info.param.name); });

// ---------------------------------------------------------------------------
// Short and damaged files. A header word or device entry must arrive whole; a
// record must deliver the bytes its table uses (within its record size), while
// bytes past them may be missing. A negative position is a bad seek.

struct DamageCase {
    const char* name;
    int table;
    std::int32_t recordSize;
    // Changes the bytes of a file whose table `table` holds records 0 and 1.
    void (*damage)(Bytes& file, std::uint32_t tableStart, std::uint32_t recordSize);
    short result;
};

// Keeps `n` bytes of record 1.
template <std::uint32_t n>
void keepOfRecord1(Bytes& file, std::uint32_t start, std::uint32_t rs) {
    file.resize(start + 16 + rs + n);
}
template <std::uint32_t size>
void truncateAt(Bytes& file, std::uint32_t, std::uint32_t) {
    file.resize(size);
}
template <std::uint32_t n>
void keepOfHeader(Bytes& file, std::uint32_t start, std::uint32_t) {
    file.resize(start + n);
}
template <std::uint32_t offset, std::uint32_t value>
void patchHeader(Bytes& file, std::uint32_t start, std::uint32_t) {
    zel::storeLE32(&file[start + offset], value);
}
template <std::uint32_t at, std::uint32_t value>
void patch(Bytes& file, std::uint32_t, std::uint32_t) {
    zel::storeLE32(&file[at], value);
}
void recordSizeReachingPastTwoGiB(Bytes& file, std::uint32_t start, std::uint32_t) {
    zel::storeLE32(&file[start + 4], 0x7FFFFFF0u);  // record 1 at start + 0x80000000
}

class DamagedFileTest : public ::testing::TestWithParam<DamageCase> {};

TEST_P(DamagedFileTest, ReadOfRecord1) {
    const DamageCase& c = GetParam();
    const auto rs = static_cast<std::uint32_t>(c.recordSize);
    const std::int32_t bound = c.table == 10 ? 2 : 1;  // table 10: an item count
    const JqwdbLayout layout =
        oneTable(static_cast<unsigned>(c.table), patternTable(bound, c.recordSize, 2, rs));
    Placement where;
    Bytes file = zel::writer::buildJqwdb(layout, &where);
    c.damage(file, where.tableStart.at(static_cast<unsigned>(c.table)), rs);
    TempDir intactDir, dir;
    writeJqwdb(intactDir, layout);
    dir.write(zel::writer::jqwdbFileName(kCpuCode, kOsType), file);
    writeOsdbWithValue0(intactDir, 12);
    writeOsdbWithValue0(dir, 12);
    CZelComFuncDbase intact(intactDir.path().c_str()), damaged(dir.path().c_str());
    const TableAnswer a = readTable(damaged, c.table, 1);
    EXPECT_EQ(a.result, c.result);
    if (c.result == 0) {  // the bytes still present are all the fields need
        EXPECT_EQ(a.fields, readTable(intact, c.table, 1).fields);
    } else {
        EXPECT_TRUE(a.untouched);
    }
}

// Directory base 16 (the writer's), table t's directory entry at 16 + 4t.
INSTANTIATE_TEST_SUITE_P(
    Files, DamagedFileTest,
    ::testing::Values(
        DamageCase{"EndsInDirectoryBase", 0, 16, truncateAt<11>, 114},
        DamageCase{"EndsInDirectoryEntry", 6, 16, truncateAt<16 + 24 + 3>, 114},
        DamageCase{"EndsInLastIndex", 0, 16, keepOfHeader<3>, 114},
        DamageCase{"EndsInRecordSize", 0, 16, keepOfHeader<7>, 114},
        DamageCase{"Table0_Size20_EndsAfterUsedBytes", 0, 20, keepOfRecord1<16>, 0},
        DamageCase{"Table0_Size20_EndsInUsedByte15", 0, 20, keepOfRecord1<15>, 114},
        DamageCase{"Table0_Size12_EndsAfterRecord", 0, 12, keepOfRecord1<12>, 0},
        DamageCase{"Table0_Size12_EndsInRecord", 0, 12, keepOfRecord1<11>, 114},
        DamageCase{"Table1_Size16_EndsAfterUsedBytes", 1, 16, keepOfRecord1<14>, 0},
        DamageCase{"Table1_Size16_EndsInUsedByte13", 1, 16, keepOfRecord1<13>, 114},
        DamageCase{"Table2_EndsAfterDeviceEntry", 2, 8, keepOfRecord1<4>, 0},
        DamageCase{"Table2_EndsInDeviceEntry", 2, 8, keepOfRecord1<3>, 114},
        DamageCase{"Table6_Size16_EndsInUsedByte8", 6, 16, keepOfRecord1<8>, 114},
        DamageCase{"Table8_Size9_EndsInUsedByte8", 8, 9, keepOfRecord1<8>, 114},
        DamageCase{"Table7_Size12_EndsAfterUsedBytes", 7, 12, keepOfRecord1<9>, 0},
        DamageCase{"Table7_Size12_EndsInUsedByte8", 7, 12, keepOfRecord1<8>, 114},
        DamageCase{"Table9_Size16_EndsAfterUsedBytes", 9, 16, keepOfRecord1<10>, 0},
        DamageCase{"Table9_Size16_EndsInUsedByte9", 9, 16, keepOfRecord1<9>, 114},
        DamageCase{"Table10_Size20_EndsAfterUsedBytes", 10, 20, keepOfRecord1<14>, 0},
        DamageCase{"Table10_Size20_EndsInUsedByte13", 10, 20, keepOfRecord1<13>, 114},
        DamageCase{"NegativeLastIndexRefusesEveryIndex", 4, 16, patchHeader<0, 0xFFFFFFFFu>, -1},
        DamageCase{"NegativeDirectoryBase", 0, 16, patch<8, 0x80000000u>, 109},
        DamageCase{"NegativeTableStart", 7, 16, patch<16 + 28, 0xFFFFFF00u>, 109},
        DamageCase{"NegativeRecordPosition", 0, 16, recordSizeReachingPastTwoGiB, 109},
        DamageCase{"TableStartPastTheEnd", 3, 16, patch<16 + 12, 0x7FFF0000u>, 114}),
    [](const auto& info) { return caseName(info.param.name); });

}  // namespace
