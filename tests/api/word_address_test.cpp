// Word address tables (CDbTb2, CDbTb3): the slot that an item and entry
// number reach, the bounds of items and entries, the order of the checks and
// damaged files. The offsets in the cases are worked out by hand from the
// item maps and slot counts, relative to the start of the section.
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

constexpr std::int32_t kAddress = -0x12345679;  // 0xEDCBA987
constexpr unsigned short kHead = 0xBEEF;
constexpr DbAd kUntouched{0x5A5A5A5A, 0x5A5A};

enum class Cpus { class0, class1, fourField, noSecondary };

struct WordCase {
    const char* name;
    int reader;  // 2: CDbTb2, 3: CDbTb3
    Cpus cpus;
    short item;
    short entry;  // CDbTb2 only
    short result;
    unsigned table, section;
    std::uint32_t headAt, addressAt;
    std::int32_t bound0 = 40, bound1 = 20;
};

// Slot counts 32 / 12 (class 0 and 1), 8 / 3 (four-field), 32 / 0.
const WordCase kCases[] = {
    // CDbTb2: table 6 section 6 rows of 33 slots, section 7 rows of 13.
    {"Tb2FirstItem", 2, Cpus::class0, 0, 1, 0, 6, 6, 0, 4},
    {"Tb2Overview", 2, Cpus::class0, 28, 3, 0, 6, 7, 0, 12, 2, 3},  // bound from value 1
    {"Tb2Overview_BoundIsValue1", 2, Cpus::class0, 28, 3, -1, 0, 0, 0, 0, 3, 2},
    {"Tb2Section7Row1", 2, Cpus::class0, 29, 1, 0, 6, 7, 52, 56},
    {"Tb2Section7Row6", 2, Cpus::class0, 32, 2, 0, 6, 7, 312, 320},
    {"Tb2LastClass0Item", 2, Cpus::class0, 33, 32, 0, 6, 6, 660, 788},
    {"Tb2Item27UsesValue0", 2, Cpus::class0, 27, 21, 0, 6, 6, 2508, 2592},
    {"Tb2Item28RefusesAboveValue1", 2, Cpus::class0, 28, 21, -1, 0, 0, 0, 0},
    {"Tb2Item22Row28", 2, Cpus::class0, 22, 5, 0, 6, 6, 3696, 3716},
    {"Tb2Item10Row13", 2, Cpus::class0, 10, 1, 0, 6, 6, 1716, 1720},
    {"Tb2EntryAtBoundReadsPastSlotCount", 2, Cpus::class0, 0, 40, 0, 6, 6, 0, 160},
    {"Tb2EntryAboveBound", 2, Cpus::class0, 0, 41, -1, 0, 0, 0, 0},
    {"Tb2Entry0", 2, Cpus::class0, 0, 0, -1, 0, 0, 0, 0},
    {"Tb2EntryNegative", 2, Cpus::class0, 0, -1, -1, 0, 0, 0, 0},
    {"Tb2NegativeBoundRefusesAll", 2, Cpus::class0, 0, 1, -1, 0, 0, 0, 0, -3, 20},
    {"Tb2ItemNegative", 2, Cpus::class0, -1, 1, -1, 0, 0, 0, 0},
    {"Tb2Class1ItemRefusedForClass0", 2, Cpus::class0, 34, 1, -1, 0, 0, 0, 0},
    {"Tb2Class1FirstAddedItem", 2, Cpus::class1, 34, 7, 0, 9, 2, 0, 28},
    {"Tb2Class1Item40", 2, Cpus::class1, 40, 1, 0, 9, 2, 924, 928},
    {"Tb2Class1LastItem", 2, Cpus::class1, 43, 1, 0, 9, 2, 2376, 2380},
    {"Tb2Class1PastLastItem", 2, Cpus::class1, 44, 1, -1, 0, 0, 0, 0},
    {"Tb2Class1KeepsClass0Rows", 2, Cpus::class1, 29, 1, 0, 6, 7, 52, 56},
    {"Tb2FourFieldSection7", 2, Cpus::fourField, 29, 2, 0, 6, 7, 16, 24},
    {"Tb2FourFieldSection6", 2, Cpus::fourField, 1, 8, 0, 6, 6, 36, 68},
    {"Tb2SlotCount0Stride4", 2, Cpus::noSecondary, 29, 1, 0, 6, 7, 4, 8},
    {"Tb2SlotCount0Row3", 2, Cpus::noSecondary, 31, 2, 0, 6, 7, 12, 20},
    // CDbTb3: section 8 records of 8 bytes, section 7 rows of 13 slots,
    // table 11 and table 9 section 3 records of 8 bytes.
    {"Tb3FirstItem", 3, Cpus::class0, 0, 0, 0, 6, 8, 0, 4},
    {"Tb3Section7Row4", 3, Cpus::class0, 1, 0, 0, 6, 7, 208, 212},
    {"Tb3Item2", 3, Cpus::class0, 2, 0, 0, 6, 8, 16, 20},
    {"Tb3Item10", 3, Cpus::class0, 10, 0, 0, 6, 8, 40, 44},
    {"Tb3Item11", 3, Cpus::class0, 11, 0, 0, 6, 7, 260, 264},
    {"Tb3Item12SharesRow", 3, Cpus::class0, 12, 0, 0, 6, 7, 260, 264},
    {"Tb3Item13SharesRow", 3, Cpus::class0, 13, 0, 0, 6, 7, 260, 264},
    {"Tb3LastClass0Item", 3, Cpus::class0, 15, 0, 0, 6, 8, 88, 92},
    {"Tb3Class1ItemRefusedForClass0", 3, Cpus::class0, 16, 0, -1, 0, 0, 0, 0},
    {"Tb3ItemNegative", 3, Cpus::class0, -1, 0, -1, 0, 0, 0, 0},
    {"Tb3Table11Row4", 3, Cpus::class1, 16, 0, 0, 11, 3, 32, 36},
    {"Tb3Table11Row13", 3, Cpus::class1, 17, 0, 0, 11, 3, 104, 108},
    {"Tb3Table11Row0", 3, Cpus::class1, 18, 0, 0, 11, 3, 0, 4},
    {"Tb3AbsentItem19", 3, Cpus::class1, 19, 0, -2, 0, 0, 0, 0},
    {"Tb3AbsentItem20", 3, Cpus::class1, 20, 0, -2, 0, 0, 0, 0},
    {"Tb3Table9Row0", 3, Cpus::class1, 21, 0, 0, 9, 3, 0, 4},
    {"Tb3Class1LastItem", 3, Cpus::class1, 22, 0, 0, 9, 3, 8, 12},
    {"Tb3Class1PastLastItem", 3, Cpus::class1, 23, 0, -1, 0, 0, 0, 0},
    {"Tb3FourFieldSection7", 3, Cpus::fourField, 1, 0, 0, 6, 7, 64, 68},
    {"Tb3SlotCount0Stride4", 3, Cpus::noSecondary, 11, 0, 0, 6, 7, 20, 24},
};

struct Run {
    WordCase c;
    Cpu cpu;
};

std::vector<Run> runs() {
    std::vector<Run> all;
    for (const WordCase& c : kCases) {
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

short call(CZelComFuncDbase& db, int reader, const Cpu& cpu, short item, short entry, DbAd* out) {
    return reader == 2 ? db.CDbTb2(cpu.model, cpu.osNumber, item, entry, out)
                       : db.CDbTb3(cpu.model, cpu.osNumber, item, out);
}

void expectRecord(const DbAd& out, const DbAd& expected) {
    EXPECT_EQ(out.address, expected.address);
    EXPECT_EQ(out.headWord, expected.headWord);
}

class WordAddressTest : public ::testing::TestWithParam<Run> {};

TEST_P(WordAddressTest, ReadsTheMappedSlotOrRefuses) {
    const WordCase& c = GetParam().c;
    const Cpu& cpu = GetParam().cpu;
    TempDir dir;
    AddressFile file(c.bound0, c.bound1);
    if (c.result == 0) {
        file.section(c.table, c.section)
            .u16(c.headAt, kHead)
            .u32(c.addressAt, static_cast<std::uint32_t>(kAddress));
    }
    file.writeTo(dir, cpu.cpuCode, static_cast<short>(cpu.osNumber - 1));
    CZelComFuncDbase db(dir.path().c_str());
    DbAd out = kUntouched;
    EXPECT_EQ(call(db, c.reader, cpu, c.item, c.entry, &out), c.result);
    expectRecord(out, c.result == 0 ? DbAd{kAddress, kHead} : kUntouched);
}

INSTANTIATE_TEST_SUITE_P(Items, WordAddressTest, ::testing::ValuesIn(runs()), [](const auto& info) {
    return std::string(info.param.c.name) + "_" + info.param.cpu.label;
});

// Which check answers when several would fail: item range, file name, absent
// mark, CPU specification values, entry bound, file.
struct OrderCase {
    const char* name;
    int reader;
    short model, osNumber, item, entry;
    short result;
};

const OrderCase kOrderCases[] = {
    {"Tb2ItemRangeBeforeMissingFile", 2, 1, 1, 34, 1, -1},
    {"Tb2NoFileNameBeforeMissingFile", 2, 11, 3, 0, 1, -1},
    {"Tb2MissingFileInCpuSpecBeforeEntry0", 2, 1, 1, 0, 0, 102},
    {"Tb2MissingFile", 2, 1, 1, 28, 1, 102},
    {"Tb2ModelIndex48", 2, 48, 1, 0, 1, -1},
    {"Tb2OsNumber0", 2, 1, 0, 0, 1, -1},
    {"Tb3ItemRangeBeforeMissingFile", 3, 1, 1, 16, 0, -1},
    {"Tb3AbsentBeforeMissingFile", 3, 11, 1, 19, 0, -2},
    {"Tb3AbsentNeedsFileName", 3, 11, 3, 19, 0, -1},
    {"Tb3MissingFile", 3, 11, 1, 18, 0, 102},
};

class WordCheckOrderTest : public ::testing::TestWithParam<OrderCase> {};

TEST_P(WordCheckOrderTest, WithoutAnyFile) {
    const OrderCase& c = GetParam();
    TempDir dir;
    CZelComFuncDbase db(dir.path().c_str());
    DbAd out = kUntouched;
    const Cpu cpu{"", c.model, c.osNumber, 0};
    EXPECT_EQ(call(db, c.reader, cpu, c.item, c.entry, &out), c.result);
    expectRecord(out, kUntouched);
}

INSTANTIATE_TEST_SUITE_P(Order, WordCheckOrderTest, ::testing::ValuesIn(kOrderCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A damaged file of CPU code 2: where it is cut or which directory entry is
// bent, and the result of CDbTb2 item 0 entry 1 (or CDbTb3 item 0).
struct DamageCase {
    const char* name;
    int reader;
    short entry;
    bool cutInField;    // cut the file inside the field read last
    unsigned badEntry;  // directory entry made negative, or 99 for none
    short result;
};

const DamageCase kDamageCases[] = {
    {"Tb2FileEndsInAddress", 2, 1, true, 99, 114},
    {"Tb3FileEndsInAddress", 3, 0, true, 99, 114},
    {"Tb2NegativeTable6", 2, 1, false, 6, 109},
    {"Tb3NegativeTable6", 3, 0, false, 6, 109},
    // CpuSpec fails first and its result passes through, even for entry 0.
    {"Tb2CpuSpecTableNegative", 2, 0, false, 0, 109},
};

class WordDamageTest : public ::testing::TestWithParam<DamageCase> {};

TEST_P(WordDamageTest, FailsWithTheFileErrorAndLeavesTheRecord) {
    const DamageCase& c = GetParam();
    TempDir dir;
    AddressFile file;
    if (c.badEntry != 99) file.layout.entryOverrides[c.badEntry] = 0x80000000u;
    zel::writer::Placement where;
    zel::writer::Bytes bytes = file.bytes(2, &where);
    // Item 0 of either reader reads its address at section offset 4.
    if (c.cutInField) bytes.resize(where.sectionStart.at(6)[c.reader == 2 ? 6 : 8] + 6);
    dir.write("OSDB2D.BIN", bytes);
    CZelComFuncDbase db(dir.path().c_str());
    DbAd out = kUntouched;
    EXPECT_EQ(call(db, c.reader, zel::testing::kClass0MsbFirst, 0, c.entry, &out), c.result);
    expectRecord(out, kUntouched);
}

INSTANTIATE_TEST_SUITE_P(Damage, WordDamageTest, ::testing::ValuesIn(kDamageCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
