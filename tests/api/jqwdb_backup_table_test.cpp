// JQWDB table 10, the backup table: head and tail items split at splitIndex,
// the item count as an exclusive bound, GetPdbTb10ItemCount, and the
// parameter memory pass-through.
#include <ZelComFuncDbase.h>
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>
#include <tuple>

#include "accessor/byte_codec.h"
#include "tests/support/jqwdb_samples.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace zel::testing;
using zel::writer::Bytes;
using zel::writer::JqwdbTable;
using Item = std::tuple<std::int32_t, std::int32_t, short, short, short, short, short>;

std::int32_t s32(std::uint32_t v) { return zel::asSigned32(v); }

// ---------------------------------------------------------------------------
// Items. Record i holds the bytes 0xA0 + 16 * i + j (patternRecord).

struct ItemCase {
    const char* name;
    std::int32_t count;
    std::int32_t recordSize;
    std::uint32_t word8;   // splitIndex in its low 16 bits
    std::uint32_t word12;  // splitValue in its low 16 bits
    short index;
    short result;
    Item expected;
};

class BackupItemTest : public ::testing::TestWithParam<ItemCase> {};

TEST_P(BackupItemTest, Item) {
    const ItemCase& c = GetParam();
    const auto rs = static_cast<std::uint32_t>(c.recordSize);
    JqwdbTable table = patternTable(c.count, c.recordSize, 6, rs < 16 ? rs : 16);
    table.word8 = c.word8;
    table.word12 = c.word12;
    TempDir dir;
    writeJqwdb(dir, oneTable(10, table));
    CZelComFuncDbase db(dir.path().c_str());
    PdbBkup out = sentinel<PdbBkup>();
    EXPECT_EQ(db.CPdbTb10(kModel, kOsNumber, c.index, &out), c.result);
    EXPECT_EQ(fields(out), c.result == 0 ? c.expected : fields(sentinel<PdbBkup>()));
}

constexpr Item kNone{};
// Head items: value1 bytes 4-7, value2 bytes 8-11, attr1..3 bytes 0-2, attr4
// and attr5 bytes 12 and 13.
constexpr short b(unsigned byte) { return static_cast<short>(byte >= 0x80 ? byte - 0x100 : byte); }
Item head(unsigned i) {
    const unsigned r = 0xA0 + 16 * i;
    return Item{s32(r * 0x01010101u + 0x07060504u),
                s32(r * 0x01010101u + 0x0B0A0908u),
                b(r),
                b(r + 1),
                b(r + 2),
                b(r + 12),
                b(r + 13)};
}
// Tail items: value1 and value2 as head items, attr1 byte 3, attr2 the given
// value, the rest -1.
Item tail(unsigned i, short attr2) {
    const Item h = head(i);
    return Item{std::get<0>(h), std::get<1>(h), b(0xA0 + 16 * i + 3), attr2, -1, -1, -1};
}

// Record size 8: record 2 is C0..C7, and bytes 8 to 13 give 0.
const Item kSize8Head2{s32(0xC7C6C5C4u), 0, b(0xC0), b(0xC1), b(0xC2), 0, 0};
const Item kSize8Tail2{s32(0xC7C6C5C4u), 0, b(0xC3), 32767, -1, -1, -1};

INSTANTIATE_TEST_SUITE_P(
    Items, BackupItemTest,
    ::testing::Values(
        ItemCase{"Count4_NoSplit_Item0", 4, 16, 0, 0, 0, 0, head(0)},
        ItemCase{"Count4_NoSplit_Item3", 4, 16, 0, 0, 3, 0, head(3)},
        ItemCase{"Count4_NoSplit_Item4", 4, 16, 0, 0, 4, -1, kNone},
        ItemCase{"Count4_NoSplit_ItemMinus1", 4, 16, 0, 0, -1, -1, kNone},
        // Split at 3 (upper bytes of the word ignored), splitValue 258.
        ItemCase{"Split3_Item2_Head", 6, 16, 0x00010003, 0xABCD0102, 2, 0, head(2)},
        ItemCase{"Split3_Item3_TailWithSplitValue", 6, 16, 0x00010003, 0xABCD0102, 3, 0,
                 tail(3, 258)},
        ItemCase{"Split3_Item4_Tail", 6, 16, 0x00010003, 0xABCD0102, 4, 0, tail(4, -1)},
        ItemCase{"Split3_Item5_Tail", 6, 16, 0x00010003, 0xABCD0102, 5, 0, tail(5, -1)},
        ItemCase{"Split3_Item6_BeyondCount", 6, 16, 0x00010003, 0xABCD0102, 6, -1, kNone},
        ItemCase{"Split3_NegativeSplitValue", 6, 16, 3, 0x0000FFFE, 3, 0, tail(3, -2)},
        // 0xFFFF is -1 as a signed 16-bit number: every item is a tail item.
        ItemCase{"SplitFFFF_Item0_Tail", 6, 16, 0xFFFF, 0x0102, 0, 0, tail(0, -1)},
        ItemCase{"Split8000_Item5_Tail", 6, 16, 0x8000, 0x0102, 5, 0, tail(5, -1)},
        ItemCase{"SplitAtCount_Item5_Head", 6, 16, 6, 0x0102, 5, 0, head(5)},
        ItemCase{"Split1_Item0_Head", 6, 16, 1, 0x0102, 0, 0, head(0)},
        ItemCase{"Count0_Item0", 0, 16, 0, 0, 0, -1, kNone},
        ItemCase{"NegativeCount_Item0", -5, 16, 0, 0, 0, -1, kNone},
        // The record size is the stride; at most 16 bytes are kept, and those a
        // short record leaves unread give 0.
        ItemCase{"Size20_Item2", 6, 20, 0, 0, 2, 0, head(2)},
        ItemCase{"Size40_Item5", 6, 40, 0, 0, 5, 0, head(5)},
        ItemCase{"Size8_Item2", 6, 8, 0, 0, 2, 0, kSize8Head2},
        ItemCase{"Size8_Split2_Item2", 6, 8, 2, 0x7FFF, 2, 0, kSize8Tail2}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// The item count and a walk over the table as a host makes it.

TEST(ItemCountTest, StoresTheCountAsStored) {
    for (std::int32_t count : {4, 0, -5, INT32_MIN}) {
        TempDir dir;
        writeJqwdb(dir, oneTable(10, patternTable(count, 16, 4, 16)));
        CZelComFuncDbase db(dir.path().c_str());
        ZelLong stored = 0x5A5A5A5A;
        ASSERT_EQ(db.GetPdbTb10ItemCount(kModel, kOsNumber, &stored), 0);
        EXPECT_EQ(stored, count);
    }
}

TEST(ItemCountFileTest, ReadsOnlyDirectoryBaseTableOffsetAndCount) {
    zel::writer::Placement where;
    Bytes file = zel::writer::buildJqwdb(oneTable(10, patternTable(4, 16, 4, 16)), &where);
    const std::uint32_t start = where.tableStart.at(10);
    TempDir dir;
    ZelLong count = 0x5A5A5A5A;
    CZelComFuncDbase db(dir.path().c_str());
    EXPECT_EQ(db.GetPdbTb10ItemCount(kModel, kOsNumber, &count), 102);  // no file yet
    EXPECT_EQ(count, 0x5A5A5A5A);

    file.resize(start + 3);  // ends inside the count
    dir.write(zel::writer::jqwdbFileName(kCpuCode, kOsType), file);
    EXPECT_EQ(db.GetPdbTb10ItemCount(kModel, kOsNumber, &count), 114);
    EXPECT_EQ(count, 0x5A5A5A5A);

    file.resize(start + 4);  // ends right after it: the record size is not needed
    zel::storeLE32(&file[start], 4);
    dir.write(zel::writer::jqwdbFileName(kCpuCode, kOsType), file);
    EXPECT_EQ(db.GetPdbTb10ItemCount(kModel, kOsNumber, &count), 0);
    EXPECT_EQ(count, 4);
    PdbBkup out = sentinel<PdbBkup>();
    EXPECT_EQ(db.CPdbTb10(kModel, kOsNumber, 0, &out), 114);
    EXPECT_TRUE(untouched(out));
}

TEST(BackupHeaderTest, FileEndingInsideTheSplitWordsEndsTheCall) {
    zel::writer::Placement where;
    JqwdbTable table = patternTable(2, 16, 2, 16);
    table.word8 = 1;
    table.word12 = 0x0102;
    Bytes file = zel::writer::buildJqwdb(oneTable(10, table), &where);
    const std::uint32_t start = where.tableStart.at(10);
    // Record 0 moved before the header (record size -16 puts record 1 at the
    // table start) so that the file can end inside the split words: item 1 is
    // then read from the header itself.
    zel::storeLE32(&file[start + 4], static_cast<std::uint32_t>(-16));
    TempDir dir;
    CZelComFuncDbase db(dir.path().c_str());
    for (std::uint32_t size : {start + 14, start + 10}) {
        file.resize(size);
        dir.write(zel::writer::jqwdbFileName(kCpuCode, kOsType), file);
        PdbBkup out = sentinel<PdbBkup>();
        EXPECT_EQ(db.CPdbTb10(kModel, kOsNumber, 1, &out), 114) << size;
        EXPECT_TRUE(untouched(out));
    }
}

// ---------------------------------------------------------------------------
// Parameter memory: the value passes through whatever the selector, with no
// file; the model index and OS number are checked all the same.

TEST(ParameterMemoryTest, StoresTheValueUnchangedWhateverTheSelector) {
    CZelComFuncDbase db("no-such-directory");
    const std::pair<short, ZelLong> cases[] = {
        {0, 0}, {-1, -1}, {32767, INT32_MIN}, {-32768, INT32_MAX}, {5, 0x12345678}};
    for (auto [selector, value] : cases) {
        ZelLong out = 0x5A5A5A5A;
        EXPECT_EQ(db.CPdbPMem(47, 7, selector, value, &out), 0);
        EXPECT_EQ(out, value);
    }
}

}  // namespace
