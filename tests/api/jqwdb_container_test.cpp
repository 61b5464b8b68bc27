// The JQWDB container as every table reader walks it: entry point checks,
// table directory, index bounds, record positions and sizes, least
// significant byte first for every CPU code, short files and damaged offsets.
// Tables 0 and 1 serve where one table stands for all.
#include <ZelComFuncDbase.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "format/bytes.h"
#include "tests/support/jqwdb_samples.h"

namespace {

using namespace zel::testing;
using zel::writer::Bytes;
using zel::writer::JqwdbLayout;
using zel::writer::JqwdbTable;
using Fields = std::vector<std::int64_t>;

std::int64_t s32(std::uint32_t v) { return zel::asSigned32(v); }
std::int64_t s16(std::uint16_t v) { return zel::asSigned16(v); }

// For CPdbPMem, which reads no file and passes its value through, and every
// member that reads a JQWDB file (CPdbTb0 to CPdbTb10, GetPdbTb10ItemCount):
// model index and OS number are refused before any file access (-1, not 102),
// so is a pair without a JQWDB file name; a missing file gives 102 even for an
// index that the table header would refuse, the header being read first.
TEST(JqwdbEntryPointTest, ChecksBeforeAndAfterLookingForTheFile) {
    TempDir dir;  // no JQWDB file; value 0 lets tables 2 and 4 look for it
    writeOsdbWithValue0(dir, 12);
    CZelComFuncDbase db(dir.path().c_str());
    const std::pair<short, short> refused[] = {{48, 1}, {-1, 1}, {-32768, 1},
                                               {1, 0},  {1, 8},  {1, -1}};
    for (int member = ZEL_CPdbPMem; member <= ZEL_GetPdbTb10ItemCount; ++member) {
        const auto callMember = [&](short model, short osNumber, short index) {
            return answer(db, {static_cast<ZelMember>(member), model, osNumber, index, 1, -123});
        };
        SCOPED_TRACE("member " + std::to_string(member));
        const bool readsFile = member != ZEL_CPdbPMem;
        for (auto [model, osNumber] : refused) {
            const TableAnswer a = callMember(model, osNumber, 0);
            EXPECT_EQ(a.result, -1) << model << "/" << osNumber;
            EXPECT_TRUE(a.untouched);
        }
        // Model 0 is CPU code 0, which has no database under OS number 3.
        const TableAnswer noName = callMember(0, 3, 0);
        EXPECT_EQ(noName.result, readsFile ? -1 : 0);
        EXPECT_EQ(noName.untouched, readsFile);
        for (short index : {short{-1}, short{0}, short{32767}}) {
            const TableAnswer missing = callMember(kModel, kOsNumber, index);
            EXPECT_EQ(missing.result, readsFile ? 102 : 0) << index;
            EXPECT_EQ(missing.untouched, readsFile);
        }
    }
    // The highest model index and OS number.
    EXPECT_EQ(answer(db, {ZEL_CPdbPMem, 47, 7, 0, 0, -123}).fields, Fields{-123});
}

// One file holding all eleven tables: each reader finds its own through its
// directory entry and takes its own first header word as its bound, the
// highest index for tables 0 to 9 and the item count for table 10.
TEST(JqwdbOwnTableTest, EachReaderTakesItsOwnTableAndBound) {
    JqwdbLayout layout;
    for (unsigned t = 0; t <= 10; ++t) {
        layout.tables[t].lastIndex = t == 10 ? 11 : static_cast<std::int32_t>(t);
        for (unsigned i = 0; i <= 11; ++i)  // every byte of record i of table t: 16 * t + i
            layout.tables[t].records.emplace_back(16, static_cast<std::uint8_t>(16 * t + i));
    }
    TempDir dir;
    writeJqwdb(dir, layout);
    writeOsdbWithValue0(dir, 12);
    CZelComFuncDbase db(dir.path().c_str());
    for (int t = 0; t <= 10; ++t) {
        SCOPED_TRACE("table " + std::to_string(t));
        const short highest = static_cast<short>(t == 10 ? 10 : t);
        for (short index : {short{0}, highest}) {
            const TableAnswer a = readTable(db, t, index);
            ASSERT_EQ(a.result, 0);
            EXPECT_EQ(a.fields[0] & 0xFF, 16 * t + index);
        }
        for (short refused : {static_cast<short>(highest + 1), short{-1}, short{-32768}}) {
            const TableAnswer a = readTable(db, t, refused);
            EXPECT_EQ(a.result, -1) << refused;
            EXPECT_TRUE(a.untouched);
        }
    }
}

// Record 2 at the stored record size, least significant byte first for every
// CPU code (those whose OSDB files are most significant byte first included):
// every field from the record bytes its table names, each byte above 0x7F so
// that every field shows its sign. At most 16 bytes of a record are kept,
// bytes past those a table uses are skipped, and the bytes a short record
// leaves unread give 0.
TEST(JqwdbRecordTest, FieldsFromTheirBytesOfRecord2AtTheStoredStride) {
    struct Case {
        int table;
        short model, cpuCode;
        std::int32_t recordSize;
    };
    const Case cases[] = {
        {0, 1, 2, 20}, {0, 7, 8, 12},   {0, 20, 30, 40}, {0, 25, 36, 8}, {1, 1, 2, 20},
        {1, 7, 8, 12}, {1, 20, 30, 40}, {1, 25, 36, 8},  {6, 1, 2, 12},  {6, 1, 2, 8},
        {7, 1, 2, 12}, {7, 1, 2, 8},    {8, 1, 2, 16},   {8, 1, 2, 9},   {9, 1, 2, 16},
        {9, 1, 2, 9},  {9, 1, 2, 6},
    };
    Bytes record(20, 0xEE);
    for (std::uint32_t j = 0; j < 16; ++j) record[j] = static_cast<std::uint8_t>(0x81 + 7 * j);
    for (const Case& c : cases) {
        SCOPED_TRACE("table " + std::to_string(c.table) + ", CPU code " +
                     std::to_string(c.cpuCode) + ", record size " + std::to_string(c.recordSize));
        const auto size = static_cast<std::size_t>(c.recordSize);
        JqwdbTable table{3, c.recordSize, 0, 0, std::vector<Bytes>(4, Bytes(size, 0xEE))};
        std::copy_n(record.begin(), std::min(size, record.size()), table.records[2].begin());
        TempDir dir;
        writeJqwdb(dir, oneTable(static_cast<unsigned>(c.table), table), c.cpuCode, 0);
        CZelComFuncDbase db(dir.path().c_str());
        EXPECT_EQ(readTable(db, c.table, 2, 1, c.model, 1).fields,
                  fieldsAt(record, static_cast<std::uint32_t>(size), kRecordPlaces[c.table]));
    }
}

// The library writes the fields of a record and nothing else: the bytes
// after the last field (padding) keep what the caller held, so equal answers
// compare equal as bytes and no stack contents reach the host.
template <class Out, class Call>
void expectOnlyFieldsWritten(std::size_t fieldsEnd, Call call) {
    for (const unsigned char before : {0x00, 0xFF}) {
        Out out;
        std::memset(static_cast<void*>(&out), before, sizeof out);
        EXPECT_EQ(call(&out), 0);
        const auto* bytes = reinterpret_cast<const unsigned char*>(&out);
        EXPECT_TRUE(std::all_of(bytes + fieldsEnd, bytes + sizeof out,
                                [&](unsigned char b) { return b == before; }))
            << sizeof out - fieldsEnd << " bytes after the fields, caller's bytes "
            << static_cast<int>(before);
    }
}

TEST(JqwdbRecordTest, OnlyTheFieldsOfARecordAreWritten) {
    JqwdbLayout layout;
    for (unsigned t = 0; t <= 10; ++t)
        layout.tables[t] = JqwdbTable{0, 16, 0, 0, {Bytes(16, 0x81)}};
    layout.tables[10].lastIndex = 1;  // table 10 holds an item count instead
    TempDir dir;
    writeJqwdb(dir, layout, 2, 0);
    CZelComFuncDbase db(dir.path().c_str());
    constexpr std::size_t kShort = sizeof(short);
    expectOnlyFieldsWritten<PdbJAd>(offsetof(PdbJAd, word3) + kShort,
                                    [&](PdbJAd* o) { return db.CPdbTb0(1, 1, 0, o); });
    expectOnlyFieldsWritten<PdbAnyWD>(offsetof(PdbAnyWD, attr1) + kShort,
                                      [&](PdbAnyWD* o) { return db.CPdbTb6(1, 1, 0, o); });
    expectOnlyFieldsWritten<PdbAnyPBD>(offsetof(PdbAnyPBD, attr4) + kShort,
                                       [&](PdbAnyPBD* o) { return db.CPdbTb9(1, 1, 0, o); });
    expectOnlyFieldsWritten<PdbBkup>(offsetof(PdbBkup, attr5) + kShort,
                                     [&](PdbBkup* o) { return db.CPdbTb10(1, 1, 0, o); });
}

// A record size negative as a signed value is a huge read length: 16 bytes are
// kept, and the stride wraps around in 32 bits. Record 1 of record size -16
// starts at the table start, so it is the table header.
TEST(JqwdbRecordTest, NegativeRecordSizeKeeps16BytesAndWrapsTheStride) {
    TempDir dir;
    writeJqwdb(dir, oneTable(0, patternTable(1, -16, 1, 16)));
    CZelComFuncDbase db(dir.path().c_str());
    EXPECT_EQ(readTable(db, 0, 0).fields, (Fields{s32(0xA3A2A1A0u), s32(0xA7A6A5A4u), s16(0xA9A8),
                                                  s16(0xABAA), -84, -83, s16(0xAFAE)}));
    EXPECT_EQ(readTable(db, 0, 1).fields, (Fields{1, -16, 0, 0, 0, 0, 0}));
}

// Short and damaged files: record 1 of table `table`, which holds records 0
// and 1, read after `damage` changed the file.
TableAnswer readDamaged(int table, std::int32_t recordSize,
                        const std::function<void(Bytes& file, std::uint32_t tableStart)>& damage) {
    const auto t = static_cast<unsigned>(table);
    zel::writer::Placement where;
    const auto size = static_cast<std::uint32_t>(recordSize);
    Bytes file = zel::writer::buildJqwdb(
        oneTable(t, patternTable(t == 10 ? 2 : 1, recordSize, 2, size)), &where);
    if (damage) damage(file, where.tableStart.at(t));
    TempDir dir;
    dir.write(zel::testing::jqwdbFileName(kCpuCode, kOsType), file);
    writeOsdbWithValue0(dir, 12);
    CZelComFuncDbase db(dir.path().c_str());
    return readTable(db, table, 1);
}

// A record must deliver the bytes its table uses (within its record size),
// while bytes past them may be missing.
TEST(JqwdbDamagedFileTest, RecordEndingInsideOrAfterTheBytesItsTableUses) {
    struct Case {
        int table;
        std::int32_t recordSize;
        std::uint32_t used;
    };
    const Case cases[] = {{0, 20, 16}, {0, 12, 12}, {1, 16, 14}, {2, 8, 4},   {6, 16, 9},
                          {7, 12, 9},  {8, 9, 9},   {9, 16, 10}, {10, 20, 14}};
    for (const Case& c : cases) {
        const TableAnswer intact = readDamaged(c.table, c.recordSize, nullptr);
        for (std::uint32_t kept : {c.used, c.used - 1}) {
            SCOPED_TRACE("table " + std::to_string(c.table) + ", size " +
                         std::to_string(c.recordSize) + ", kept " + std::to_string(kept));
            const TableAnswer a =
                readDamaged(c.table, c.recordSize, [&](Bytes& f, std::uint32_t start) {
                    f.resize(start + 16 + static_cast<std::uint32_t>(c.recordSize) + kept);
                });
            if (kept == c.used) {
                EXPECT_EQ(a.fields, intact.fields);
            } else {
                EXPECT_EQ(a.result, 114);
                EXPECT_TRUE(a.untouched);
            }
        }
    }
}

void store(Bytes& f, std::uint32_t at, std::uint32_t value) { zel::storeLE32(&f[at], value); }

// A header word or device entry must arrive whole (114); a negative position
// is a bad seek (109). The writer's directory base is 16, table t's directory
// entry at 16 + 4t. Table offsets count from the directory base in 32-bit
// wrap-around arithmetic.
TEST(JqwdbDamagedFileTest, DirectoryAndTableHeader) {
    using Damage = std::function<void(Bytes&, std::uint32_t)>;
    struct Case {
        const char* name;
        int table;
        Damage damage;
        short result;
    };
    const Case cases[] = {
        {"EndsInDirectoryBase", 0, [](Bytes& f, auto) { f.resize(11); }, 114},
        {"EndsInDirectoryEntry", 6, [](Bytes& f, auto) { f.resize(16 + 24 + 3); }, 114},
        {"EndsInLastIndex", 0, [](Bytes& f, auto start) { f.resize(start + 3); }, 114},
        {"EndsInRecordSize", 0, [](Bytes& f, auto start) { f.resize(start + 7); }, 114},
        {"NegativeLastIndexRefusesEveryIndex", 4,
         [](Bytes& f, auto start) { store(f, start, 0xFFFFFFFFu); }, -1},
        {"NegativeDirectoryBase", 0, [](Bytes& f, auto) { store(f, 8, 0x80000000u); }, 109},
        {"NegativeTableStart", 7, [](Bytes& f, auto) { store(f, 16 + 28, 0xFFFFFF00u); }, 109},
        // Record size 0x7FFFFFF0 puts record 1 at table start + 0x80000000.
        {"NegativeRecordPosition", 0,
         [](Bytes& f, auto start) { store(f, start + 4, 0x7FFFFFF0u); }, 109},
        {"TableStartPastTheEnd", 3, [](Bytes& f, auto) { store(f, 16 + 12, 0x7FFF0000u); }, 114},
        {"DirectoryBehindTheTable", 3,
         [](Bytes& f, std::uint32_t start) {
             const auto base = static_cast<std::uint32_t>(f.size());
             f.resize(base + 16);
             store(f, 8, base);
             store(f, base + 12, start - base);  // wraps around
         },
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TableAnswer a = readDamaged(c.table, 16, c.damage);
        EXPECT_EQ(a.result, c.result);
        EXPECT_EQ(a.untouched, c.result != 0);
        if (c.result == 0) {
            EXPECT_EQ(a.fields, readDamaged(c.table, 16, nullptr).fields);
        }
    }
}

}  // namespace
