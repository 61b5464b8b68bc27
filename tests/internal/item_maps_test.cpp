// The item maps and per-CPU constants against lists typed from the format's
// own tables in another shape: for the maps the first and last item of every
// run (the items between them follow from their ends), for the per-CPU
// tables the groups of CPU codes that share a value.
#include "osdb/item_maps.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "osdb/cpu_constants.h"

namespace {

using zel::AddressReader;
using zel::MapRow;

constexpr std::uint16_t X = zel::kAbsentMark;

struct Edge {
    short item;
    std::uint16_t table, section, row;
};

struct MapCase {
    const char* name;
    AddressReader reader;
    short lastClass0, lastClass1;
    std::vector<Edge> edges;  // every run's first and last item, class 0 then class 1
};

const MapCase kMaps[] = {
    {"DbTb2", AddressReader::word2, 33, 43, {{0, 6, 6, 0},   {4, 6, 6, 4},   {5, 6, 6, 7},
                                             {6, 6, 6, 6},   {7, 6, 6, 8},   {9, 6, 6, 10},
                                             {10, 6, 6, 13}, {11, 6, 6, 11}, {12, 6, 6, 12},
                                             {13, 6, 6, 14}, {15, 6, 6, 16}, {16, 6, 6, 20},
                                             {21, 6, 6, 25}, {22, 6, 6, 28}, {23, 6, 6, 26},
                                             {24, 6, 6, 27}, {25, 6, 6, 17}, {27, 6, 6, 19},
                                             {28, 6, 7, 0},  {31, 6, 7, 3},  {32, 6, 7, 6},
                                             {33, 6, 6, 5},  {34, 9, 2, 0},  {39, 9, 2, 5},
                                             {40, 9, 2, 7},  {42, 9, 2, 9},  {43, 9, 2, 18}}},
    {"DbTb3", AddressReader::word3, 15, 22, {{0, 6, 8, 0},    {1, 6, 7, 4},   {2, 6, 8, 2},
                                             {3, 6, 8, 1},    {4, 6, 8, 3},   {5, 6, 8, 4},
                                             {6, 6, 8, 6},    {9, 6, 8, 9},   {10, 6, 8, 5},
                                             {11, 6, 7, 5},   {12, 6, 7, 5},  {13, 6, 7, 5},
                                             {14, 6, 8, 10},  {15, 6, 8, 11}, {16, 11, 3, 4},
                                             {17, 11, 3, 13}, {18, 11, 3, 0}, {19, X, X, X},
                                             {20, X, X, X},   {21, 9, 3, 0},  {22, 9, 3, 1}}},
    {"DbTb4",
     AddressReader::bit4,
     95,
     115,
     {{0, 6, 0, 0},    {48, 6, 0, 48}, {49, X, X, X},  {58, X, X, X},   {59, 6, 0, 49},
      {67, 6, 0, 57},  {68, X, X, X},  {69, 6, 0, 59}, {70, X, X, X},   {78, X, X, X},
      {79, 6, 0, 58},  {80, 6, 2, 0},  {81, 6, 4, 0},  {82, 6, 3, 1},   {83, 6, 3, 2},
      {84, 6, 3, 2},   {85, 6, 3, 0},  {86, 6, 1, 0},  {89, 6, 1, 3},   {90, 6, 1, 5},
      {93, 6, 1, 8},   {94, 6, 4, 1},  {95, 11, 0, 0}, {96, 9, 1, X},   {97, 9, 1, X},
      {98, 9, 1, 2},   {99, 9, 1, 3},  {100, 9, 1, X}, {103, 9, 1, X},  {104, 9, 1, 8},
      {111, 9, 1, 15}, {112, 9, 1, X}, {113, 9, 1, X}, {114, 9, 1, 18}, {115, 9, 1, 19}}},
    {"DbTb5", AddressReader::bit5, 27, 44, {{0, 6, 4, 0},   {1, 6, 4, 21},  {2, 6, 4, 10},
                                            {3, 6, 4, 19},  {4, 6, 4, 20},  {5, 6, 4, 4},
                                            {10, 6, 4, 9},  {11, 6, 4, 2},  {12, 6, 4, 1},
                                            {13, 6, 4, 3},  {14, 6, 1, 9},  {15, 6, 1, 9},
                                            {16, 6, 1, 9},  {17, 6, 4, 16}, {19, 6, 4, 18},
                                            {20, 6, 5, 0},  {26, 6, 5, 6},  {27, 6, 4, 11},
                                            {28, 6, 4, 12}, {29, 9, 6, 0},  {44, 9, 6, 15}}},
};

// The whole map expanded from its edges: between two listed items the row
// steps by one, or stays where both ends have the same row.
std::vector<Edge> expand(const std::vector<Edge>& edges) {
    std::vector<Edge> rows;
    for (std::size_t i = 0; i < edges.size(); ++i) {
        rows.push_back(edges[i]);
        if (i + 1 == edges.size()) break;
        const Edge& a = edges[i];
        const Edge& b = edges[i + 1];
        const int span = b.item - a.item;
        const int step = a.row == b.row ? 0 : 1;
        if (span > 1) {
            EXPECT_EQ(b.row - a.row, step * span) << "edges " << a.item << ", " << b.item;
            EXPECT_EQ(a.table, b.table);
            EXPECT_EQ(a.section, b.section);
        }
        for (int k = 1; k < span; ++k)
            rows.push_back({static_cast<short>(a.item + k), a.table, a.section,
                            static_cast<std::uint16_t>(a.row + step * k)});
    }
    return rows;
}

class ItemMapTest : public ::testing::TestWithParam<MapCase> {};

TEST_P(ItemMapTest, EveryItemOfBothClassesHasItsRow) {
    const MapCase& m = GetParam();
    const std::vector<Edge> rows = expand(m.edges);
    ASSERT_EQ(rows.size(), static_cast<std::size_t>(m.lastClass1 + 1));
    for (int mapClass : {0, 1}) {
        const short last = mapClass == 0 ? m.lastClass0 : m.lastClass1;
        EXPECT_EQ(zel::lastItemOf(m.reader, mapClass), last);
        for (short item = 0; item <= last; ++item) {
            const Edge& want = rows[static_cast<std::size_t>(item)];
            ASSERT_EQ(want.item, item);
            const std::optional<MapRow> got = zel::itemRowOf(m.reader, mapClass, item);
            ASSERT_TRUE(got) << "class " << mapClass << " item " << item;
            EXPECT_EQ(got->table, want.table) << "class " << mapClass << " item " << item;
            EXPECT_EQ(got->section, want.section) << "class " << mapClass << " item " << item;
            EXPECT_EQ(got->row, want.row) << "class " << mapClass << " item " << item;
        }
        for (short outside : {short(-32768), short(-1), short(last + 1), short(32767)})
            EXPECT_FALSE(zel::itemRowOf(m.reader, mapClass, outside))
                << "class " << mapClass << " item " << outside;
    }
}

INSTANTIATE_TEST_SUITE_P(Maps, ItemMapTest, ::testing::ValuesIn(kMaps),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ItemMapTest, RowsMarkedAbsentInAnyColumnAreAbsent) {
    EXPECT_TRUE(zel::isAbsent({X, X, X}));
    EXPECT_TRUE(zel::isAbsent({9, 1, X}));
    EXPECT_FALSE(zel::isAbsent({6, 0, 0}));
    EXPECT_FALSE(zel::isAbsent({9, 1, 2}));
}

// CPU codes given as inclusive ranges.
using Ranges = std::initializer_list<std::pair<short, short>>;

template <class Value>
struct Group {
    Value value;
    Ranges codes;
};

// Every CPU code 0..47 lies in exactly one group; returns the value per code.
template <class Value>
std::vector<Value> byCpuCode(std::initializer_list<Group<Value>> groups) {
    std::vector<std::optional<Value>> codes(48);
    for (const auto& g : groups)
        for (auto [from, to] : g.codes)
            for (short c = from; c <= to; ++c) {
                EXPECT_FALSE(codes[c]) << "CPU code " << c << " in two groups";
                codes[c] = g.value;
            }
    std::vector<Value> values;
    for (short c = 0; c < 48; ++c) {
        EXPECT_TRUE(codes[c]) << "CPU code " << c << " in no group";
        values.push_back(codes[c].value_or(Value{}));
    }
    return values;
}

TEST(CpuConstantsTest, MapClass) {
    const auto classes =
        byCpuCode<int>({{1, {{11, 14}, {16, 17}}}, {0, {{0, 10}, {15, 15}, {18, 47}}}});
    for (short c = 0; c < 48; ++c) EXPECT_EQ(zel::mapClassOf(c), classes[c]) << "CPU code " << c;
    for (short c : {-1, 48, 255, 32767}) EXPECT_EQ(zel::mapClassOf(c), 0);
}

TEST(CpuConstantsTest, SlotCounts) {
    const auto counts =
        byCpuCode<std::uint16_t>({{32, {{0, 0}, {2, 7}, {10, 17}, {20, 21}, {30, 34}, {36, 42}}},
                                  {8, {{1, 1}, {8, 9}}},
                                  {0, {{18, 19}, {22, 29}, {35, 35}, {43, 47}}}});
    const auto secondary =
        byCpuCode<std::uint16_t>({{12, {{0, 0}, {2, 6}, {10, 17}, {30, 34}, {36, 42}}},
                                  {3, {{1, 1}, {7, 9}}},
                                  {0, {{18, 29}, {35, 35}, {43, 47}}}});
    for (short c = 0; c < 48; ++c) {
        for (std::uint16_t s : {0, 2, 3, 4, 5, 6, 8})
            EXPECT_EQ(zel::slotCountOf(c, 6, s), counts[c]);
        EXPECT_EQ(zel::slotCountOf(c, 6, 1), secondary[c]) << "CPU code " << c;
        EXPECT_EQ(zel::slotCountOf(c, 6, 7), secondary[c]) << "CPU code " << c;
        EXPECT_EQ(zel::slotCountOf(c, 9, 1), counts[c]) << "CPU code " << c;
        EXPECT_EQ(zel::slotCountOf(c, 11, 7), counts[c]) << "CPU code " << c;
    }
    EXPECT_EQ(zel::slotCountOf(-1, 6, 6), 0);
    EXPECT_EQ(zel::slotCountOf(48, 6, 1), 0);
}

TEST(CpuConstantsTest, BoundValueFollowsTheSecondaryCount) {
    for (std::uint16_t t : {6, 9, 11})
        for (std::uint16_t s = 0; s < 9; ++s) {
            const bool secondary = t == 6 && (s == 1 || s == 7);
            EXPECT_EQ(zel::usesSecondaryCount(t, s), secondary) << t << "/" << s;
            EXPECT_EQ(zel::boundValueIndexOf(t, s), secondary ? 1 : 0) << t << "/" << s;
        }
}

TEST(CpuConstantsTest, SectionGeometryOfTable6) {
    const std::pair<int, int> geometry[9] = {{8, 0},  {8, 0}, {12, 12}, {8, 0}, {12, 272},
                                             {12, 8}, {4, 0}, {4, 0},   {8, 0}};
    for (std::uint16_t s = 0; s < 9; ++s) {
        EXPECT_EQ(zel::table6Geometry(s).slotSize, geometry[s].first) << "section " << s;
        EXPECT_EQ(zel::table6Geometry(s).leadIn, geometry[s].second) << "section " << s;
    }
    EXPECT_EQ(zel::table6Geometry(9).slotSize, 0);
    EXPECT_EQ(zel::table6Geometry(X).leadIn, 0);
}

TEST(CpuConstantsTest, TwoBitPackingAndMasks) {
    const auto fields =
        byCpuCode<int>({{8, {{0, 0}, {2, 7}, {10, 14}, {20, 21}, {30, 34}, {36, 42}}},
                        {4, {{1, 1}, {8, 9}, {15, 19}, {22, 29}, {35, 35}, {43, 47}}}});
    for (short c = 0; c < 48; ++c) {
        ASSERT_EQ(zel::twoBitFieldsPerStep(c), fields[c]) << "CPU code " << c;
        // Past the 32 (or 8) tabled entries the period continues.
        for (short n = 1; n <= 100; ++n)
            EXPECT_EQ(zel::twoBitMask(c, n), 1u << (2 * ((n - 1) % fields[c])))
                << "CPU code " << c << " entry " << n;
        EXPECT_EQ(zel::twoBitMask(c, 32767), 1u << (2 * (32766 % fields[c])));
    }
}

}  // namespace
