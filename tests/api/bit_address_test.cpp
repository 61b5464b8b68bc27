// Bit address tables (CDbTb4, CDbTb5): the slot or row that an item reaches
// in each section shape, the byte split of the mask, the two-bit field
// section and the entry bounds. Offsets are worked out by hand from the item
// maps, slot counts and section geometry, relative to the section start. The
// order of the checks and damaged files: tests/internal/osdb_reading_path_test.cpp.
#include <ZelComFuncDbase.h>
#include <gtest/gtest.h>

#include <cstdint>

#include "format/bytes.h"
#include "tests/support/address_file.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace zel::testing;

constexpr DbBAd kUntouched{0x5A5A5A5A, 0x5A5A};

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
    std::uint32_t v = 0x00123450;
};

// Slot counts 32 / 12 (class 0 and 1), 8 / 3 (four fields), 32 / 0. A mask
// with bits in its high byte gives the next byte and drops its low byte.
const BitCase kCases[] = {
    // CDbTb4, table 6 section 0: rows of K slots of 8 bytes; bounded by CPU
    // value 0, equal accepted even past the slot count.
    {"Tb4Row1Slot3", 4, Cpus::class0, 1, 3, 0, 6, 0, 272, 0x8000, 1, 0x80},
    {"Tb4FourFieldRow1", 4, Cpus::fourField, 1, 2, 0, 6, 0, 72, 4, 0, 4},
    {"Tb4EntryAtBoundPastSlotCount", 4, Cpus::class0, 0, 40, 0, 6, 0, 312, 128, 0, 128},
    {"Tb4EntryAboveBound", 4, Cpus::class0, 0, 41, -1, 0, 0, 0, 0, 0, 0},
    {"Tb4Entry0", 4, Cpus::class0, 0, 0, -1, 0, 0, 0, 0, 0, 0},
    {"Tb4AddressWraps", 4, Cpus::class0, 0, 1, 0, 6, 0, 0, 256, 1, 1, 0x7FFFFFFF},
    // Section 2: one slot of 12 bytes per row after a lead-in of 12; section
    // 4: rows of K slots of 12 bytes after a lead-in of 272.
    {"Tb4Section2", 4, Cpus::class0, 80, 5, 0, 6, 2, 60, 257, 1, 1},
    {"Tb4Section4Row1", 4, Cpus::class0, 94, 3, 0, 6, 4, 680, 0, 0, 0},
    // Section 1: rows of K' slots of 8 bytes, bounded by value 1.
    {"Tb4Section1Row5", 4, Cpus::class0, 90, 2, 0, 6, 1, 488, 256, 1, 1},
    {"Tb4Section1AtBound1", 4, Cpus::class0, 93, 20, 0, 6, 1, 920, 4, 0, 4},
    {"Tb4Section1AboveBound1", 4, Cpus::class0, 93, 21, -1, 0, 0, 0, 0, 0, 0},
    {"Tb4FourFieldSection1", 4, Cpus::fourField, 87, 2, 0, 6, 1, 32, 4, 0, 4},
    {"Tb4NoSecondarySlots", 4, Cpus::noSecondary, 89, 2, 0, 6, 1, 8, 4, 0, 4},
    // Table 11 section 0 and (class 1) table 9 section 1: rows of K slots of 8.
    {"Tb4Table11", 4, Cpus::class0, 95, 4, 0, 11, 0, 24, 4, 0, 4},
    {"Tb4Class1Table9Row8", 4, Cpus::class1, 104, 2, 0, 9, 1, 2056, 4, 0, 4},
    // Two-bit field section (section 3, rows of 8 bytes; items 82, 83/84 and
    // 85 read rows 1, 2 and 0): W in the file is ignored. Field n lies
    // (n - 1) / F steps of 4 bytes on with mask 4^((n - 1) mod F), F = 8 or
    // 4 fields per step, shifted by item - 83 and cut to 16 bits.
    {"TwoBit83Entry1", 4, Cpus::class0, 83, 1, 0, 6, 3, 16, 0xFFFF, 0, 1},
    {"TwoBit83Entry8", 4, Cpus::class0, 83, 8, 0, 6, 3, 16, 0xFFFF, 1, 64},
    {"TwoBit83Entry9", 4, Cpus::class0, 83, 9, 0, 6, 3, 16, 0xFFFF, 4, 1},
    {"TwoBit84Entry8", 4, Cpus::class0, 84, 8, 0, 6, 3, 16, 0xFFFF, 1, 128},
    {"TwoBit85Entry4", 4, Cpus::class0, 85, 4, 0, 6, 3, 0, 0xFFFF, 1, 1},
    {"TwoBit85Entry8ShiftsOut", 4, Cpus::class0, 85, 8, 0, 6, 3, 0, 0xFFFF, 0, 0},
    {"TwoBit82Entry9", 4, Cpus::class0, 82, 9, 0, 6, 3, 8, 0xFFFF, 4, 0},
    {"TwoBitPast32Fields", 4, Cpus::class0, 83, 38, 0, 6, 3, 16, 0xFFFF, 17, 4},
    {"TwoBit4x83Entry5", 4, Cpus::fourField, 83, 5, 0, 6, 3, 16, 0xFFFF, 4, 1},
    {"TwoBit4x85Entry4", 4, Cpus::fourField, 85, 4, 0, 6, 3, 0, 0xFFFF, 1, 1},
    {"TwoBit4xPast8Fields", 4, Cpus::fourField, 83, 12, 0, 6, 3, 16, 0xFFFF, 8, 64},
    // CDbTb5: table 6 sections 4 and 5 and (class 1) table 9 section 6 rows
    // of 12 bytes after a lead-in of 8; section 1 rows of K' slots of 8.
    {"Tb5Section4Row0", 5, Cpus::class0, 0, 0, 0, 6, 4, 8, 257, 1, 1},
    {"Tb5Section4Row21", 5, Cpus::class0, 1, 0, 0, 6, 4, 260, 4, 0, 4},
    {"Tb5Section5Row6", 5, Cpus::class0, 26, 0, 0, 6, 5, 80, 128, 0, 128},
    {"Tb5Class1Table9Row15", 5, Cpus::class1, 44, 0, 0, 9, 6, 188, 4, 0, 4},
    {"Tb5Section1Row9", 5, Cpus::class0, 14, 0, 0, 6, 1, 864, 4, 0, 4},
    {"Tb5FourFieldSection1", 5, Cpus::fourField, 14, 0, 0, 6, 1, 216, 4, 0, 4},
    {"Tb5NoSecondarySlots", 5, Cpus::noSecondary, 14, 0, 0, 6, 1, 0, 4, 0, 4},
};

class BitAddressTest : public ::testing::TestWithParam<Run<BitCase>> {};

TEST_P(BitAddressTest, ReadsTheMappedSlotOrRefuses) {
    const auto& [c, cpu] = GetParam();
    TempDir dir;
    AddressFile file;
    if (c.result == 0) file.section(c.table, c.section).u32(c.at, c.v).u16(c.at + 4, c.storedMask);
    file.writeTo(dir, cpu.cpuCode, static_cast<short>(cpu.osNumber - 1));
    CZelComFuncDbase db(dir.path().c_str());
    DbBAd out = kUntouched;
    EXPECT_EQ(c.reader == 4 ? db.CDbTb4(cpu.model, cpu.osNumber, c.item, c.entry, &out)
                            : db.CDbTb5(cpu.model, cpu.osNumber, c.item, &out),
              c.result);
    const DbBAd expected =
        c.result == 0 ? DbBAd{zel::asSigned32(c.v + c.addressStep), c.bitMask} : kUntouched;
    EXPECT_EQ(out.address, expected.address);
    EXPECT_EQ(out.bitMask, expected.bitMask);
}

INSTANTIATE_TEST_SUITE_P(Items, BitAddressTest, ::testing::ValuesIn(runsOf(kCases)), RunName());

}  // namespace
