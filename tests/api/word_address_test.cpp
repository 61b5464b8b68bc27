// Word address tables (CDbTb2, CDbTb3): the slot that an item and entry
// number reach in each section shape, the entry bounds and the byte order of
// the fields. Offsets are worked out by hand from the item maps and slot
// counts, relative to the start of the section. The order of the checks and
// damaged files: tests/internal/osdb_reading_path_test.cpp.
#include <ZelComFuncDbase.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

#include "tests/support/address_file.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace zel::testing;

constexpr std::int32_t kAddress = -0x12345679;  // 0xEDCBA987
constexpr unsigned short kHead = 0xBEEF;
constexpr DbAd kUntouched{0x5A5A5A5A, 0x5A5A};

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

// Slot counts 32 / 12 (class 0 and 1), 8 / 3 (four fields), 32 / 0.
const WordCase kCases[] = {
    // CDbTb2: rows of a head slot and K slots of 4 bytes; table 6 section 6
    // and table 9 section 2 take the slot count, section 7 the secondary one.
    {"Tb2FirstItem", 2, Cpus::class0, 0, 1, 0, 6, 6, 0, 4},
    {"Tb2LastClass0ItemRow5", 2, Cpus::class0, 33, 32, 0, 6, 6, 660, 788},
    {"Tb2Section7Row6", 2, Cpus::class0, 32, 2, 0, 6, 7, 312, 320},
    {"Tb2FourFieldSection6", 2, Cpus::fourField, 1, 8, 0, 6, 6, 36, 68},
    {"Tb2FourFieldSection7", 2, Cpus::fourField, 29, 2, 0, 6, 7, 16, 24},
    {"Tb2NoSecondarySlots", 2, Cpus::noSecondary, 31, 2, 0, 6, 7, 12, 20},
    {"Tb2Class1Table9Row18", 2, Cpus::class1, 43, 1, 0, 9, 2, 2376, 2380},
    // The entry bound is CPU value 0, value 1 in section 7;
    // equal is accepted, even past the slot count.
    {"Tb2EntryAtBoundPastSlotCount", 2, Cpus::class0, 0, 40, 0, 6, 6, 0, 160},
    {"Tb2EntryAboveBound", 2, Cpus::class0, 0, 41, -1, 0, 0, 0, 0},
    {"Tb2Entry0", 2, Cpus::class0, 0, 0, -1, 0, 0, 0, 0},
    {"Tb2EntryNegative", 2, Cpus::class0, 0, -1, -1, 0, 0, 0, 0},
    {"Tb2NegativeBoundRefusesAll", 2, Cpus::class0, 0, 1, -1, 0, 0, 0, 0, -3, 20},
    {"Tb2Section6AboveValue1", 2, Cpus::class0, 27, 21, 0, 6, 6, 2508, 2592},
    {"Tb2Section7AboveValue1", 2, Cpus::class0, 28, 21, -1, 0, 0, 0, 0},
    {"Tb2Section7AboveValue0", 2, Cpus::class0, 28, 3, 0, 6, 7, 0, 12, 2, 3},
    {"Tb2Section7BoundIsValue1", 2, Cpus::class0, 28, 3, -1, 0, 0, 0, 0, 3, 2},
    // CDbTb3: one record per row, the head word at its start and the address
    // 4 bytes on; section 7 rows as CDbTb2's, section 8 and tables 9 and 11
    // rows of 8 bytes.
    {"Tb3Section8Row0", 3, Cpus::class0, 0, 0, 0, 6, 8, 0, 4},
    {"Tb3Section8Row5", 3, Cpus::class0, 10, 0, 0, 6, 8, 40, 44},
    {"Tb3Section7Row4", 3, Cpus::class0, 1, 0, 0, 6, 7, 208, 212},
    {"Tb3FourFieldSection7", 3, Cpus::fourField, 1, 0, 0, 6, 7, 64, 68},
    {"Tb3NoSecondarySlots", 3, Cpus::noSecondary, 11, 0, 0, 6, 7, 20, 24},
    {"Tb3Class1Table11Row13", 3, Cpus::class1, 17, 0, 0, 11, 3, 104, 108},
    {"Tb3Class1Table9Row1", 3, Cpus::class1, 22, 0, 0, 9, 3, 8, 12},
};

short call(CZelComFuncDbase& db, int reader, const Cpu& cpu, short item, short entry, DbAd* out) {
    return reader == 2 ? db.CDbTb2(cpu.model, cpu.osNumber, item, entry, out)
                       : db.CDbTb3(cpu.model, cpu.osNumber, item, out);
}

class WordAddressTest : public ::testing::TestWithParam<Run<WordCase>> {};

TEST_P(WordAddressTest, ReadsTheMappedSlotOrRefuses) {
    const auto& [c, cpu] = GetParam();
    TempDir dir;
    AddressFile file(c.bound0, c.bound1);
    if (c.result == 0)
        file.section(c.table, c.section)
            .u16(c.headAt, kHead)
            .u32(c.addressAt, static_cast<std::uint32_t>(kAddress));
    file.writeTo(dir, cpu.cpuCode, static_cast<short>(cpu.osNumber - 1));
    CZelComFuncDbase db(dir.path().c_str());
    DbAd out = kUntouched;
    EXPECT_EQ(call(db, c.reader, cpu, c.item, c.entry, &out), c.result);
    const DbAd expected = c.result == 0 ? DbAd{kAddress, kHead} : kUntouched;
    EXPECT_EQ(out.address, expected.address);
    EXPECT_EQ(out.headWord, expected.headWord);
}

INSTANTIATE_TEST_SUITE_P(Items, WordAddressTest, ::testing::ValuesIn(runsOf(kCases)), RunName());

// The bytes of the fields as the file stores them, set by hand: CPU codes
// below 30 store the most significant byte first.
TEST(WordAddressByteOrderTest, MostSignificantByteFirstBelowCpuCode30) {
    for (const Cpu& cpu : {kClass0MsbFirst, kClass0LsbFirst}) {
        SCOPED_TRACE(cpu.label);
        TempDir dir;
        zel::writer::Placement where;
        zel::writer::Bytes bytes = AddressFile().bytes(cpu.cpuCode, &where);
        const std::uint8_t row0[] = {0x12, 0x34, 0, 0, 0x11, 0x22, 0x33, 0x44};
        std::copy(std::begin(row0), std::end(row0), bytes.begin() + where.sectionStart.at(6)[6]);
        dir.write(zel::testing::osdbFileName(cpu.cpuCode, 0), bytes);
        CZelComFuncDbase db(dir.path().c_str());
        DbAd out = kUntouched;
        ASSERT_EQ(db.CDbTb2(cpu.model, 1, 0, 1, &out), 0);
        const bool msbFirst = cpu.cpuCode < 30;
        EXPECT_EQ(out.headWord, msbFirst ? 0x1234 : 0x3412);
        EXPECT_EQ(out.address, msbFirst ? 0x11223344 : 0x44332211);
    }
}

}  // namespace
