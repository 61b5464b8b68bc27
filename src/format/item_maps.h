// Item maps of the OSDB address table readers (DbTb2 to DbTb5): a caller's
// item number becomes a place in the file, a table of the table directory, a
// section of that table and a row of that section. Each reader has a map for
// map class 0 and a longer one for map class 1 that begins with the whole
// class-0 map.
// Layout described in doc/file_format.md#item-maps.
#ifndef ZEL_FORMAT_ITEM_MAPS_H
#define ZEL_FORMAT_ITEM_MAPS_H

#include <cstdint>
#include <optional>

namespace zel {

// Marks an item that the map class does not have: in the table column (all
// three columns then carry it) or, in the class-1 bit map, in the row column
// alone.
constexpr std::uint16_t kAbsentMark = 0xFFFF;

// The reader a map belongs to.
enum class AddressReader { word2, word3, bit4, bit5 };

struct MapRow {
    std::uint16_t table;
    std::uint16_t section;
    std::uint16_t row;
};

// The highest item number of a reader's map for a map class (0 or 1).
short lastItemOf(AddressReader reader, int mapClass);

// The row of an item: none when the item number is negative or above the last
// item number of the map.
std::optional<MapRow> itemRowOf(AddressReader reader, int mapClass, short item);

// Absent items are refused with -2 once the file name has been built. A row
// whose table is real but whose row number carries the mark has no place in
// its section either, so it counts as absent too.
inline bool isAbsent(const MapRow& row) {
    return row.table == kAbsentMark || row.row == kAbsentMark;
}

}  // namespace zel

#endif
