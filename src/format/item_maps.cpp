#include "format/item_maps.h"

#include <cstddef>

namespace zel {
namespace {

// Items firstItem..lastItem of a map, onto rows of one section: item
// firstItem + k has row firstRow + k * rowStep (rowStep 0: the items share
// one row).
struct ItemRun {
    std::uint16_t firstItem;
    std::uint16_t lastItem;
    std::uint16_t table;
    std::uint16_t section;
    std::uint16_t firstRow;
    std::uint16_t rowStep;
};

constexpr ItemRun rows(std::uint16_t first, std::uint16_t last, std::uint16_t table,
                       std::uint16_t section, std::uint16_t firstRow) {
    return {first, last, table, section, firstRow, 1};
}
constexpr ItemRun sharedRow(std::uint16_t first, std::uint16_t last, std::uint16_t table,
                            std::uint16_t section, std::uint16_t row) {
    return {first, last, table, section, row, 0};
}
constexpr ItemRun absent(std::uint16_t first, std::uint16_t last) {
    return {first, last, kAbsentMark, kAbsentMark, kAbsentMark, 0};
}

// DbTb2: word address rows of table 6 sections 6 and 7; class 1 adds table 9
// section 2.
// clang-format off
// Columns: first item, last item, table, section, row of the first item.
constexpr ItemRun kWord2Runs[] = {
    rows(       0,   4,  6,  6,           0),
    rows(       5,   5,  6,  6,           7),
    rows(       6,   6,  6,  6,           6),
    rows(       7,   9,  6,  6,           8),
    rows(      10,  10,  6,  6,          13),
    rows(      11,  12,  6,  6,          11),
    rows(      13,  15,  6,  6,          14),
    rows(      16,  21,  6,  6,          20),
    rows(      22,  22,  6,  6,          28),
    rows(      23,  24,  6,  6,          26),
    rows(      25,  27,  6,  6,          17),
    rows(      28,  31,  6,  7,           0),
    rows(      32,  32,  6,  7,           6),
    rows(      33,  33,  6,  6,           5),  // end of class 0
    rows(      34,  39,  9,  2,           0),
    rows(      40,  42,  9,  2,           7),
    rows(      43,  43,  9,  2,          18),
};
// clang-format on
constexpr std::size_t kWord2ClassZeroRuns = 14;

// DbTb3: word address records of table 6 sections 7 and 8; class 1 adds
// tables 11 and 9.
// clang-format off
// Columns: first item, last item, table, section, row of the first item.
constexpr ItemRun kWord3Runs[] = {
    rows(       0,   0,  6,  8,           0),
    rows(       1,   1,  6,  7,           4),
    rows(       2,   2,  6,  8,           2),
    rows(       3,   3,  6,  8,           1),
    rows(       4,   5,  6,  8,           3),
    rows(       6,   9,  6,  8,           6),
    rows(      10,  10,  6,  8,           5),
    sharedRow( 11,  13,  6,  7,           5),
    rows(      14,  15,  6,  8,          10),  // end of class 0
    rows(      16,  16, 11,  3,           4),
    rows(      17,  17, 11,  3,          13),
    rows(      18,  18, 11,  3,           0),
    absent(    19,  20),
    rows(      21,  22,  9,  3,           0),
};
// clang-format on
constexpr std::size_t kWord3ClassZeroRuns = 9;

// DbTb4: bit address slots of table 6 (section 3 is the two-bit field
// section) and table 11; class 1 adds table 9 section 1, with some rows
// marked absent in the row column only.
// clang-format off
// Columns: first item, last item, table, section, row of the first item.
constexpr ItemRun kBit4Runs[] = {
    rows(       0,  48,  6,  0,           0),
    absent(    49,  58),
    rows(      59,  67,  6,  0,          49),
    absent(    68,  68),
    rows(      69,  69,  6,  0,          59),
    absent(    70,  78),
    rows(      79,  79,  6,  0,          58),
    rows(      80,  80,  6,  2,           0),
    rows(      81,  81,  6,  4,           0),
    rows(      82,  83,  6,  3,           1),
    rows(      84,  84,  6,  3,           2),
    rows(      85,  85,  6,  3,           0),
    rows(      86,  89,  6,  1,           0),
    rows(      90,  93,  6,  1,           5),
    rows(      94,  94,  6,  4,           1),
    rows(      95,  95, 11,  0,           0),  // end of class 0
    sharedRow( 96,  97,  9,  1, kAbsentMark),
    rows(      98,  99,  9,  1,           2),
    sharedRow(100, 103,  9,  1, kAbsentMark),
    rows(     104, 111,  9,  1,           8),
    sharedRow(112, 113,  9,  1, kAbsentMark),
    rows(     114, 115,  9,  1,          18),
};
// clang-format on
constexpr std::size_t kBit4ClassZeroRuns = 16;

// DbTb5: bit address rows of table 6 sections 1, 4 and 5; class 1 adds a row
// of section 4 and table 9 section 6.
// clang-format off
// Columns: first item, last item, table, section, row of the first item.
constexpr ItemRun kBit5Runs[] = {
    rows(       0,   0,  6,  4,           0),
    rows(       1,   1,  6,  4,          21),
    rows(       2,   2,  6,  4,          10),
    rows(       3,   4,  6,  4,          19),
    rows(       5,  10,  6,  4,           4),
    rows(      11,  11,  6,  4,           2),
    rows(      12,  12,  6,  4,           1),
    rows(      13,  13,  6,  4,           3),
    sharedRow( 14,  16,  6,  1,           9),
    rows(      17,  19,  6,  4,          16),
    rows(      20,  26,  6,  5,           0),
    rows(      27,  27,  6,  4,          11),  // end of class 0
    rows(      28,  28,  6,  4,          12),
    rows(      29,  44,  9,  6,           0),
};
// clang-format on
constexpr std::size_t kBit5ClassZeroRuns = 12;

struct ItemMap {
    const ItemRun* runs;
    std::size_t classZeroRuns;
    std::size_t classOneRuns;
};

template <std::size_t N>
constexpr ItemMap mapOf(const ItemRun (&runs)[N], std::size_t classZeroRuns) {
    return {runs, classZeroRuns, N};
}

// Indexed by AddressReader.
constexpr ItemMap kMaps[] = {
    mapOf(kWord2Runs, kWord2ClassZeroRuns),
    mapOf(kWord3Runs, kWord3ClassZeroRuns),
    mapOf(kBit4Runs, kBit4ClassZeroRuns),
    mapOf(kBit5Runs, kBit5ClassZeroRuns),
};

// The runs of a map follow each other without gap from item 0, so that the
// item number alone finds its run and the last run ends the map.
constexpr bool runsAreContiguous(const ItemMap& map) {
    std::uint32_t next = 0;
    for (std::size_t i = 0; i < map.classOneRuns; ++i) {
        const ItemRun& run = map.runs[i];
        if (run.firstItem != next || run.lastItem < run.firstItem || run.rowStep > 1) return false;
        next = run.lastItem + 1u;
    }
    return map.classZeroRuns > 0 && map.classZeroRuns < map.classOneRuns;
}

constexpr short lastItemIn(const ItemMap& map, int mapClass) {
    const std::size_t runs = mapClass == 1 ? map.classOneRuns : map.classZeroRuns;
    return static_cast<short>(map.runs[runs - 1].lastItem);
}

constexpr const ItemMap& mapFor(AddressReader reader) {
    return kMaps[static_cast<std::size_t>(reader)];
}

static_assert(runsAreContiguous(kMaps[0]) && runsAreContiguous(kMaps[1]) &&
                  runsAreContiguous(kMaps[2]) && runsAreContiguous(kMaps[3]),
              "item map runs must cover every item once, in order");
static_assert(lastItemIn(kMaps[0], 0) == 33 && lastItemIn(kMaps[0], 1) == 43);
static_assert(lastItemIn(kMaps[1], 0) == 15 && lastItemIn(kMaps[1], 1) == 22);
static_assert(lastItemIn(kMaps[2], 0) == 95 && lastItemIn(kMaps[2], 1) == 115);
static_assert(lastItemIn(kMaps[3], 0) == 27 && lastItemIn(kMaps[3], 1) == 44);

}  // namespace

short lastItemOf(AddressReader reader, int mapClass) {
    return lastItemIn(mapFor(reader), mapClass);
}

std::optional<MapRow> itemRowOf(AddressReader reader, int mapClass, short item) {
    if (item < 0) return std::nullopt;
    const ItemMap& map = mapFor(reader);
    const std::size_t runs = mapClass == 1 ? map.classOneRuns : map.classZeroRuns;
    const auto wanted = static_cast<std::uint16_t>(item);
    for (std::size_t i = 0; i < runs; ++i) {
        const ItemRun& run = map.runs[i];
        if (wanted > run.lastItem) continue;
        const auto row =
            static_cast<std::uint16_t>(run.firstRow + run.rowStep * (wanted - run.firstItem));
        return MapRow{run.table, run.section, row};
    }
    return std::nullopt;
}

}  // namespace zel
