// The item maps and per-CPU constants: the item range and absent items of
// each map, and the per-CPU values as groups of CPU codes that share one.
// The rows that items reach are read through files in the address table
// tests.
#include "format/item_maps.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "format/cpu_constants.h"

namespace {

using zel::AddressReader;
using Ranges = std::vector<std::pair<short, short>>;  // inclusive

bool within(const Ranges& ranges, int value) {
    for (auto [from, to] : ranges)
        if (value >= from && value <= to) return true;
    return false;
}

struct MapCase {
    const char* name;
    AddressReader reader;
    short lastClass0, lastClass1;
    Ranges absent0, absent1;  // items marked absent in class 0, in class 1
};

// Printed by its name: GoogleTest would print the bytes, padding included.
void PrintTo(const MapCase& c, std::ostream* out) { *out << c.name; }

const MapCase kMaps[] = {
    {"DbTb2", AddressReader::word2, 33, 43, {}, {}},
    {"DbTb3", AddressReader::word3, 15, 22, {}, {{19, 20}}},
    {"DbTb4",
     AddressReader::bit4,
     95,
     115,
     {{49, 58}, {68, 68}, {70, 78}},
     {{49, 58}, {68, 68}, {70, 78}, {96, 97}, {100, 103}, {112, 113}}},
    {"DbTb5", AddressReader::bit5, 27, 44, {}, {}},
};

class ItemMapTest : public ::testing::TestWithParam<MapCase> {};

// Class 1 begins with the whole class-0 map; every item from 0 to the last
// has a row, absent or not, and no other item has one.
TEST_P(ItemMapTest, ItemRangeAndAbsentItemsOfBothClasses) {
    const MapCase& m = GetParam();
    for (int mapClass : {0, 1}) {
        const short last = mapClass == 0 ? m.lastClass0 : m.lastClass1;
        EXPECT_EQ(zel::lastItemOf(m.reader, mapClass), last);
        for (short item = 0; item <= last; ++item) {
            SCOPED_TRACE("class " + std::to_string(mapClass) + " item " + std::to_string(item));
            const auto row = zel::itemRowOf(m.reader, mapClass, item);
            ASSERT_TRUE(row);
            EXPECT_EQ(zel::isAbsent(*row), within(mapClass == 0 ? m.absent0 : m.absent1, item));
            if (mapClass == 0 || item > m.lastClass0) continue;
            const auto inClass0 = zel::itemRowOf(m.reader, 0, item);
            EXPECT_EQ(inClass0->table, row->table);
            EXPECT_EQ(inClass0->section, row->section);
            EXPECT_EQ(inClass0->row, row->row);
        }
        for (short outside : {short(-32768), short(-1), short(last + 1), short(32767)})
            EXPECT_FALSE(zel::itemRowOf(m.reader, mapClass, outside)) << outside;
    }
}

INSTANTIATE_TEST_SUITE_P(Maps, ItemMapTest, ::testing::ValuesIn(kMaps),
                         [](const auto& info) { return std::string(info.param.name); });

// The value of each CPU code 0..47 from groups; every code in exactly one.
std::vector<int> byCpuCode(std::initializer_list<std::pair<int, Ranges>> groups) {
    std::vector<int> values(48, -1);
    for (const auto& [value, codes] : groups)
        for (short c = 0; c < 48; ++c)
            if (within(codes, c)) {
                EXPECT_EQ(values[c], -1) << "CPU code " << c << " in two groups";
                values[c] = value;
            }
    for (short c = 0; c < 48; ++c) EXPECT_NE(values[c], -1) << "CPU code " << c << " in no group";
    return values;
}

TEST(CpuConstantsTest, ValuesByCpuCode) {
    const auto mapClass =
        byCpuCode({{1, {{11, 14}, {16, 17}}}, {0, {{0, 10}, {15, 15}, {18, 47}}}});
    const auto slots = byCpuCode({{32, {{0, 0}, {2, 7}, {10, 17}, {20, 21}, {30, 34}, {36, 42}}},
                                  {8, {{1, 1}, {8, 9}}},
                                  {0, {{18, 19}, {22, 29}, {35, 35}, {43, 47}}}});
    const auto secondary = byCpuCode({{12, {{0, 0}, {2, 6}, {10, 17}, {30, 34}, {36, 42}}},
                                      {3, {{1, 1}, {7, 9}}},
                                      {0, {{18, 29}, {35, 35}, {43, 47}}}});
    const auto fields = byCpuCode({{8, {{0, 0}, {2, 7}, {10, 14}, {20, 21}, {30, 34}, {36, 42}}},
                                   {4, {{1, 1}, {8, 9}, {15, 19}, {22, 29}, {35, 35}, {43, 47}}}});
    for (short c = 0; c < 48; ++c) {
        SCOPED_TRACE("CPU code " + std::to_string(c));
        EXPECT_EQ(zel::mapClassOf(c), mapClass[c]);
        // Table 6 sections 1 and 7 take the secondary count and bound value 1.
        for (std::uint16_t t : {6, 9, 11})
            for (std::uint16_t s = 0; s < 9; ++s) {
                const bool second = t == 6 && (s == 1 || s == 7);
                EXPECT_EQ(zel::slotCountOf(c, t, s), second ? secondary[c] : slots[c]);
                EXPECT_EQ(zel::boundValueIndexOf(t, s), second ? 1 : 0);
            }
        ASSERT_EQ(zel::twoBitFieldsPerStep(c), fields[c]);
        // Field n has mask 4^((n - 1) mod F); past the tabled fields the
        // period continues.
        for (short n : {1, 2, 4, 5, 8, 9, 33, 100, 32767})
            EXPECT_EQ(zel::twoBitMask(c, n), 1u << (2 * ((n - 1) % fields[c]))) << "field " << n;
    }
    // CPU codes beyond the tables have a defined answer.
    for (short c : {-1, 48, 32767}) {
        EXPECT_EQ(zel::mapClassOf(c), 0);
        EXPECT_EQ(zel::slotCountOf(c, 6, 1), 0);
        EXPECT_EQ(zel::twoBitFieldsPerStep(c), 4);
    }
}

}  // namespace
