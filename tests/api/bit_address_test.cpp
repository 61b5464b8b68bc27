// Bit address tables (CDbTb4, CDbTb5): the slot or row that an item reaches,
// the byte split of the mask, the two-bit field section, the bounds, the order
// of the checks and damaged files. Offsets are worked out by hand from the
// item maps, slot counts and section geometry, relative to the section start.
#include <ZelComFuncDbase.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "accessor/byte_codec.h"
#include "tests/support/address_file.h"
#include "tests/support/temp_dir.h"

namespace {

using zel::testing::AddressFile;
using zel::testing::Cpu;
using zel::testing::TempDir;

constexpr std::uint32_t kV = 0x00123450;
constexpr DbBAd kUntouched{0x5A5A5A5A, 0x5A5A};

enum class Cpus { class0, class1, fourField, noSecondary };

struct BitCase {
    const char* name;
    int reader;  // 4: CDbTb4, 5: CDbTb5
    Cpus cpus;
    short item;
    short entry;  // CDbTb4 only
    short result;
    unsigned table, section;
    std::uint32_t at;           // V at `at`, W at `at` + 4
    std::uint16_t storedMask;   // W in the file
    std::uint32_t addressStep;  // address delivered: V + addressStep
    std::uint16_t bitMask;
    std::int32_t bound0 = 40, bound1 = 20;
    std::uint32_t v = kV;
};

// Slot counts 32 / 12 (class 0 and 1), 8 / 3 (four-field), 32 / 0. A refused
// case leaves the place empty.
const BitCase kCases[] = {
    // CDbTb4, table 6 section 0: slots of 8 bytes, rows of 32 slots.
    {"Tb4FirstItem", 4, Cpus::class0, 0, 1, 0, 6, 0, 0, 4, 0, 4},
    {"Tb4Row1Slot3", 4, Cpus::class0, 1, 3, 0, 6, 0, 272, 4, 0, 4},
    {"Tb4Item59Row49", 4, Cpus::class0, 59, 1, 0, 6, 0, 12544, 4, 0, 4},
    {"Tb4Item69Row59", 4, Cpus::class0, 69, 2, 0, 6, 0, 15112, 4, 0, 4},
    {"Tb4Item79Row58", 4, Cpus::class0, 79, 1, 0, 6, 0, 14848, 4, 0, 4},
    {"Tb4EntryAtBoundPastSlotCount", 4, Cpus::class0, 0, 40, 0, 6, 0, 312, 4, 0, 4},
    {"Tb4EntryAboveBound", 4, Cpus::class0, 0, 41, -1, 0, 0, 0, 0, 0, 0},
    {"Tb4Entry0", 4, Cpus::class0, 0, 0, -1, 0, 0, 0, 0, 0, 0},
    // Section 2: slot 12 bytes, lead-in 12; section 4: rows of 32 slots of
    // 12 bytes after a lead-in of 272; section 1: 12 slots of 8 bytes.
    {"Tb4Item80", 4, Cpus::class0, 80, 5, 0, 6, 2, 60, 4, 0, 4},
    {"Tb4Item81Section4LeadIn272", 4, Cpus::class0, 81, 1, 0, 6, 4, 272, 4, 0, 4},
    {"Tb4Item81Slot2", 4, Cpus::class0, 81, 2, 0, 6, 4, 284, 4, 0, 4},
    {"Tb4Item94Row1", 4, Cpus::class0, 94, 3, 0, 6, 4, 680, 4, 0, 4},
    {"Tb4Item86Section1", 4, Cpus::class0, 86, 1, 0, 6, 1, 0, 4, 0, 4},
    {"Tb4Item90Row5", 4, Cpus::class0, 90, 2, 0, 6, 1, 488, 4, 0, 4},
    {"Tb4Item93AtBound1", 4, Cpus::class0, 93, 20, 0, 6, 1, 920, 4, 0, 4},
    {"Tb4Item93AboveBound1", 4, Cpus::class0, 93, 21, -1, 0, 0, 0, 0, 0, 0},
    {"Tb4Item95Table11", 4, Cpus::class0, 95, 4, 0, 11, 0, 24, 4, 0, 4},
    {"Tb4Absent49", 4, Cpus::class0, 49, 1, -2, 0, 0, 0, 0, 0, 0},
    {"Tb4Absent58", 4, Cpus::class0, 58, 1, -2, 0, 0, 0, 0, 0, 0},
    {"Tb4Absent68", 4, Cpus::class0, 68, 1, -2, 0, 0, 0, 0, 0, 0},
    {"Tb4Absent70", 4, Cpus::class0, 70, 1, -2, 0, 0, 0, 0, 0, 0},
    {"Tb4Absent78", 4, Cpus::class0, 78, 1, -2, 0, 0, 0, 0, 0, 0},
    {"Tb4ItemNegative", 4, Cpus::class0, -1, 1, -1, 0, 0, 0, 0, 0, 0},
    {"Tb4Class1ItemRefusedForClass0", 4, Cpus::class0, 96, 1, -1, 0, 0, 0, 0, 0, 0},
    // Class 1: table 9 section 1, rows of 32 slots of 8 bytes; rows marked
    // absent in the row column give -2.
    {"Tb4Class1Item98", 4, Cpus::class1, 98, 1, 0, 9, 1, 512, 4, 0, 4},
    {"Tb4Class1Item104", 4, Cpus::class1, 104, 2, 0, 9, 1, 2056, 4, 0, 4},
    {"Tb4Class1LastItem", 4, Cpus::class1, 115, 1, 0, 9, 1, 4864, 4, 0, 4},
    {"Tb4Class1PastLastItem", 4, Cpus::class1, 116, 1, -1, 0, 0, 0, 0, 0, 0},
    {"Tb4Class1KeepsItem95", 4, Cpus::class1, 95, 1, 0, 11, 0, 0, 4, 0, 4},
    {"Tb4AbsentRow96", 4, Cpus::class1, 96, 1, -2, 0, 0, 0, 0, 0, 0},
    {"Tb4AbsentRow97", 4, Cpus::class1, 97, 1, -2, 0, 0, 0, 0, 0, 0},
    {"Tb4AbsentRow100", 4, Cpus::class1, 100, 1, -2, 0, 0, 0, 0, 0, 0},
    {"Tb4AbsentRow103", 4, Cpus::class1, 103, 1, -2, 0, 0, 0, 0, 0, 0},
    {"Tb4AbsentRow112", 4, Cpus::class1, 112, 1, -2, 0, 0, 0, 0, 0, 0},
    {"Tb4AbsentRow113", 4, Cpus::class1, 113, 1, -2, 0, 0, 0, 0, 0, 0},
    {"Tb4FourFieldRow1", 4, Cpus::fourField, 1, 2, 0, 6, 0, 72, 4, 0, 4},
    {"Tb4FourFieldSection1", 4, Cpus::fourField, 87, 2, 0, 6, 1, 32, 4, 0, 4},
    {"Tb4SlotCount0Row3", 4, Cpus::noSecondary, 89, 2, 0, 6, 1, 8, 4, 0, 4},
    // Byte split of W.
    {"Tb4SplitW0", 4, Cpus::class0, 0, 1, 0, 6, 0, 0, 0, 0, 0},
    {"Tb4SplitW128", 4, Cpus::class0, 0, 1, 0, 6, 0, 0, 128, 0, 128},
    {"Tb4SplitW256", 4, Cpus::class0, 0, 1, 0, 6, 0, 0, 256, 1, 1},
    {"Tb4SplitW257", 4, Cpus::class0, 0, 1, 0, 6, 0, 0, 257, 1, 1},
    {"Tb4SplitW8000", 4, Cpus::class0, 0, 1, 0, 6, 0, 0, 0x8000, 1, 0x80},
    {"Tb4SplitWraps", 4, Cpus::class0, 0, 1, 0, 6, 0, 0, 256, 1, 1, 40, 20, 0x7FFFFFFF},
    // Two-bit field section (section 3, rows of 8 bytes): W in the file is
    // ignored; items 82, 83/84 and 85 read rows 1, 2 and 0.
    {"TwoBit83Entry1", 4, Cpus::class0, 83, 1, 0, 6, 3, 16, 0xFFFF, 0, 1},
    {"TwoBit83Entry4", 4, Cpus::class0, 83, 4, 0, 6, 3, 16, 0xFFFF, 0, 64},
    {"TwoBit83Entry5", 4, Cpus::class0, 83, 5, 0, 6, 3, 16, 0xFFFF, 1, 1},
    {"TwoBit83Entry8", 4, Cpus::class0, 83, 8, 0, 6, 3, 16, 0xFFFF, 1, 64},
    {"TwoBit83Entry9", 4, Cpus::class0, 83, 9, 0, 6, 3, 16, 0xFFFF, 4, 1},
    {"TwoBit84Entry1", 4, Cpus::class0, 84, 1, 0, 6, 3, 16, 0xFFFF, 0, 2},
    {"TwoBit84Entry8", 4, Cpus::class0, 84, 8, 0, 6, 3, 16, 0xFFFF, 1, 128},
    {"TwoBit85Entry1", 4, Cpus::class0, 85, 1, 0, 6, 3, 0, 0xFFFF, 0, 4},
    {"TwoBit85Entry4", 4, Cpus::class0, 85, 4, 0, 6, 3, 0, 0xFFFF, 1, 1},
    {"TwoBit85Entry8ShiftsOut", 4, Cpus::class0, 85, 8, 0, 6, 3, 0, 0xFFFF, 0, 0},
    {"TwoBit85Entry16ShiftsOut", 4, Cpus::class0, 85, 16, 0, 6, 3, 0, 0xFFFF, 4, 0},
    {"TwoBit82Entry1", 4, Cpus::class0, 82, 1, 0, 6, 3, 8, 0xFFFF, 0, 0},
    {"TwoBit82Entry9", 4, Cpus::class0, 82, 9, 0, 6, 3, 8, 0xFFFF, 4, 0},
    {"TwoBitBeyondTable83Entry33", 4, Cpus::class0, 83, 33, 0, 6, 3, 16, 0xFFFF, 16, 1},
    {"TwoBitBeyondTable83Entry38", 4, Cpus::class0, 83, 38, 0, 6, 3, 16, 0xFFFF, 17, 4},
    {"TwoBitBeyondTable84Entry40", 4, Cpus::class0, 84, 40, 0, 6, 3, 16, 0xFFFF, 17, 128},
    {"TwoBit4x83Entry1", 4, Cpus::fourField, 83, 1, 0, 6, 3, 16, 0xFFFF, 0, 1},
    {"TwoBit4x83Entry4", 4, Cpus::fourField, 83, 4, 0, 6, 3, 16, 0xFFFF, 0, 64},
    {"TwoBit4x83Entry5", 4, Cpus::fourField, 83, 5, 0, 6, 3, 16, 0xFFFF, 4, 1},
    {"TwoBit4x84Entry4", 4, Cpus::fourField, 84, 4, 0, 6, 3, 16, 0xFFFF, 0, 128},
    {"TwoBit4x85Entry3", 4, Cpus::fourField, 85, 3, 0, 6, 3, 0, 0xFFFF, 0, 64},
    {"TwoBit4x85Entry4", 4, Cpus::fourField, 85, 4, 0, 6, 3, 0, 0xFFFF, 1, 1},
    {"TwoBit4x82Entry5", 4, Cpus::fourField, 82, 5, 0, 6, 3, 8, 0xFFFF, 4, 0},
    {"TwoBit4xBeyondTable83Entry9", 4, Cpus::fourField, 83, 9, 0, 6, 3, 16, 0xFFFF, 8, 1},
    {"TwoBit4xBeyondTable83Entry12", 4, Cpus::fourField, 83, 12, 0, 6, 3, 16, 0xFFFF, 8, 64},
    // CDbTb5: section 4 rows of 12 bytes from offset 8 (not 272), section 5
    // rows of 12 from 8, section 1 rows of 12 slots of 8, table 9 section 6
    // rows of 12 from 8.
    {"Tb5FirstItemSection4LeadIn8", 5, Cpus::class0, 0, 0, 0, 6, 4, 8, 4, 0, 4},
    {"Tb5Item1Row21", 5, Cpus::class0, 1, 0, 0, 6, 4, 260, 4, 0, 4},
    {"Tb5Item2Row10", 5, Cpus::class0, 2, 0, 0, 6, 4, 128, 4, 0, 4},
    {"Tb5Item3Row19", 5, Cpus::class0, 3, 0, 0, 6, 4, 236, 4, 0, 4},
    {"Tb5Item13Row3", 5, Cpus::class0, 13, 0, 0, 6, 4, 44, 4, 0, 4},
    {"Tb5Item14", 5, Cpus::class0, 14, 0, 0, 6, 1, 864, 4, 0, 4},
    {"Tb5Item15SharesRow", 5, Cpus::class0, 15, 0, 0, 6, 1, 864, 4, 0, 4},
    {"Tb5Item16SharesRow", 5, Cpus::class0, 16, 0, 0, 6, 1, 864, 4, 0, 4},
    {"Tb5Item20Section5", 5, Cpus::class0, 20, 0, 0, 6, 5, 8, 4, 0, 4},
    {"Tb5Item26Section5", 5, Cpus::class0, 26, 0, 0, 6, 5, 80, 4, 0, 4},
    {"Tb5LastClass0Item", 5, Cpus::class0, 27, 0, 0, 6, 4, 140, 4, 0, 4},
    {"Tb5Class1ItemRefusedForClass0", 5, Cpus::class0, 28, 0, -1, 0, 0, 0, 0, 0, 0},
    {"Tb5ItemNegative", 5, Cpus::class0, -1, 0, -1, 0, 0, 0, 0, 0, 0},
    {"Tb5Class1Item28", 5, Cpus::class1, 28, 0, 0, 6, 4, 152, 4, 0, 4},
    {"Tb5Class1Table9", 5, Cpus::class1, 29, 0, 0, 9, 6, 8, 4, 0, 4},
    {"Tb5Class1LastItem", 5, Cpus::class1, 44, 0, 0, 9, 6, 188, 4, 0, 4},
    {"Tb5Class1PastLastItem", 5, Cpus::class1, 45, 0, -1, 0, 0, 0, 0, 0, 0},
    {"Tb5FourFieldSection1", 5, Cpus::fourField, 14, 0, 0, 6, 1, 216, 4, 0, 4},
    {"Tb5SlotCount0Section1", 5, Cpus::noSecondary, 14, 0, 0, 6, 1, 0, 4, 0, 4},
    {"Tb5SplitW0", 5, Cpus::class0, 0, 0, 0, 6, 4, 8, 0, 0, 0},
    {"Tb5SplitW128", 5, Cpus::class0, 0, 0, 0, 6, 4, 8, 128, 0, 128},
    {"Tb5SplitW256", 5, Cpus::class0, 0, 0, 0, 6, 4, 8, 256, 1, 1},
    {"Tb5SplitW257", 5, Cpus::class0, 0, 0, 0, 6, 4, 8, 257, 1, 1},
};

struct Run {
    BitCase c;
    Cpu cpu;
};

std::vector<Run> runs() {
    std::vector<Run> all;
    for (const BitCase& c : kCases) {
        switch (c.cpus) {
            case Cpus::class0:
                all.push_back({c, zel::testing::kClass0MsbFirst});
                all.push_back({c, zel::testing::kClass0LsbFirst});
                break;
            case Cpus::class1:
                all.push_back({c, zel::testing::kClass1});
                break;
            case Cpus::fourField:
                all.push_back({c, zel::testing::kFourField});
                break;
            case Cpus::noSecondary:
                all.push_back({c, zel::testing::kNoSecondarySlots});
                break;
        }
    }
    return all;
}

short call(CZelComFuncDbase& db, int reader, const Cpu& cpu, short item, short entry, DbBAd* out) {
    return reader == 4 ? db.CDbTb4(cpu.model, cpu.osNumber, item, entry, out)
                       : db.CDbTb5(cpu.model, cpu.osNumber, item, out);
}

void expectRecord(const DbBAd& out, const DbBAd& expected) {
    EXPECT_EQ(out.address, expected.address);
    EXPECT_EQ(out.bitMask, expected.bitMask);
}

class BitAddressTest : public ::testing::TestWithParam<Run> {};

TEST_P(BitAddressTest, ReadsTheMappedSlotOrRefuses) {
    const BitCase& c = GetParam().c;
    const Cpu& cpu = GetParam().cpu;
    TempDir dir;
    AddressFile file(c.bound0, c.bound1);
    if (c.result == 0) file.section(c.table, c.section).u32(c.at, c.v).u16(c.at + 4, c.storedMask);
    file.writeTo(dir, cpu.cpuCode, static_cast<short>(cpu.osNumber - 1));
    CZelComFuncDbase db(dir.path().c_str());
    DbBAd out = kUntouched;
    EXPECT_EQ(call(db, c.reader, cpu, c.item, c.entry, &out), c.result);
    expectRecord(
        out, c.result == 0 ? DbBAd{zel::asSigned32(c.v + c.addressStep), c.bitMask} : kUntouched);
}

INSTANTIATE_TEST_SUITE_P(Items, BitAddressTest, ::testing::ValuesIn(runs()), [](const auto& info) {
    return std::string(info.param.c.name) + "_" + info.param.cpu.label;
});

// Section 4 of table 6 holds the 12-byte rows of CDbTb5 from offset 8 and the
// slots of CDbTb4 from offset 272: each reader finds its own field in the one
// section.
TEST(BitAddressSection4Test, BothReadersReadAtTheirOwnLeadIn) {
    TempDir dir;
    AddressFile file;
    file.section(6, 4).u32(8, 0x1000).u16(12, 0x01).u32(272, 0x2000).u16(276, 0x02);
    file.writeTo(dir, 2, 0);
    CZelComFuncDbase db(dir.path().c_str());
    DbBAd tb4 = kUntouched, tb5 = kUntouched;
    ASSERT_EQ(db.CDbTb4(1, 1, 81, 1, &tb4), 0);
    ASSERT_EQ(db.CDbTb5(1, 1, 0, &tb5), 0);
    expectRecord(tb4, {0x2000, 0x02});
    expectRecord(tb5, {0x1000, 0x01});
}

// Which check answers when several would fail, with no file at all.
struct OrderCase {
    const char* name;
    int reader;
    short model, osNumber, item, entry;
    short result;
};

const OrderCase kOrderCases[] = {
    {"Tb4ItemRangeBeforeMissingFile", 4, 11, 1, 116, 1, -1},
    {"Tb4AbsentBeforeMissingFile", 4, 1, 1, 49, 1, -2},
    {"Tb4AbsentRowBeforeMissingFile", 4, 11, 1, 96, 1, -2},
    {"Tb4AbsentNeedsFileName", 4, 1, 5, 49, 1, -1},
    {"Tb4MissingFileInCpuSpecBeforeEntry0", 4, 1, 1, 0, 0, 102},
    {"Tb4MissingFile", 4, 1, 1, 83, 1, 102},
    {"Tb4ModelIndexNegative", 4, -1, 1, 0, 1, -1},
    {"Tb5ItemRangeBeforeMissingFile", 5, 1, 1, 28, 0, -1},
    {"Tb5NoFileNameBeforeMissingFile", 5, 0, 3, 0, 0, -1},
    {"Tb5MissingFile", 5, 1, 1, 0, 0, 102},
    {"Tb5OsNumber8", 5, 1, 8, 0, 0, -1},
};

class BitCheckOrderTest : public ::testing::TestWithParam<OrderCase> {};

TEST_P(BitCheckOrderTest, WithoutAnyFile) {
    const OrderCase& c = GetParam();
    TempDir dir;
    CZelComFuncDbase db(dir.path().c_str());
    DbBAd out = kUntouched;
    EXPECT_EQ(call(db, c.reader, Cpu{"", c.model, c.osNumber, 0}, c.item, c.entry, &out), c.result);
    expectRecord(out, kUntouched);
}

INSTANTIATE_TEST_SUITE_P(Order, BitCheckOrderTest, ::testing::ValuesIn(kOrderCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Damaged files of CPU code 2, read with CDbTb4 item 0 entry 1 (section 0
// offset 0) or CDbTb5 item 0 (section 4 offset 8).
struct DamageCase {
    const char* name;
    int reader;
    short entry;
    bool cutInMask;     // the file ends inside W
    unsigned badEntry;  // directory entry made negative, or 99 for none
    short result;
};

const DamageCase kDamageCases[] = {
    {"Tb4FileEndsInMask", 4, 1, true, 99, 114},       {"Tb5FileEndsInMask", 5, 0, true, 99, 114},
    {"Tb4NegativeTable6", 4, 1, false, 6, 109},       {"Tb5NegativeTable6", 5, 0, false, 6, 109},
    {"Tb4CpuSpecTableNegative", 4, 0, false, 0, 109},
};

class BitDamageTest : public ::testing::TestWithParam<DamageCase> {};

TEST_P(BitDamageTest, FailsWithTheFileErrorAndLeavesTheRecord) {
    const DamageCase& c = GetParam();
    TempDir dir;
    AddressFile file;
    if (c.badEntry != 99) file.layout.entryOverrides[c.badEntry] = 0x80000000u;
    zel::writer::Placement where;
    zel::writer::Bytes bytes = file.bytes(2, &where);
    if (c.cutInMask)
        bytes.resize(c.reader == 4 ? where.sectionStart.at(6)[0] + 5
                                   : where.sectionStart.at(6)[4] + 13);
    dir.write("OSDB2D.BIN", bytes);
    CZelComFuncDbase db(dir.path().c_str());
    DbBAd out = kUntouched;
    EXPECT_EQ(call(db, c.reader, zel::testing::kClass0MsbFirst, 0, c.entry, &out), c.result);
    expectRecord(out, kUntouched);
}

INSTANTIATE_TEST_SUITE_P(Damage, BitDamageTest, ::testing::ValuesIn(kDamageCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
