// Where the OSDB address readers find the fields of an item, relative to the
// start of the item's section, and how many entries of a row the tool shows.
// The dump uses it to know how far to ask, the builder to place fields, the
// checker to know what a reader can reach. The formulas follow the readers:
// positions are formed in 32-bit wrap-around arithmetic (zel::Pos).
#ifndef ZELCOMDB_OSDB_GEOMETRY_H
#define ZELCOMDB_OSDB_GEOMETRY_H

#include <cstdint>
#include <optional>

#include "accessor/position.h"
#include "osdb/item_maps.h"

namespace zel::tool {

constexpr int kCpuSpecValues = 6;
using CpuSpecValues = std::int32_t[kCpuSpecValues];

// The four address readers with the names the tool shows and the JSON keys.
struct AddressReaderInfo {
    AddressReader reader;
    const char* entryPoint;  // "CDbTb2"
    const char* key;         // "dbTb2"
    bool hasEntries;         // DbTb2, DbTb4: an entry number picks a slot
};
extern const AddressReaderInfo kAddressReaders[4];
const AddressReaderInfo& readerInfo(AddressReader reader);

// The map row of an item for a CPU code's map class; none beyond the map.
std::optional<MapRow> itemRow(AddressReader reader, short cpuCode, short item);
short lastItem(AddressReader reader, short cpuCode);

// Slots per row (K) of an item's row.
Pos slotsOf(short cpuCode, const MapRow& row);

// The highest entry number a reader accepts for a row: the low 16 bits of
// CPU specification value 0 or 1, taken as signed.
int entryBound(const MapRow& row, const CpuSpecValues& spec);
// Entries the tool shows: 1 to the bound, capped at the slot count so that a
// row is not shown again as the tail of the one before it.
int shownEntries(short cpuCode, const MapRow& row, const CpuSpecValues& spec);

// DbTb2: head word (16 bits) at the row, address of entry n (32 bits) at the
// row + 4 * n.
Pos word2Row(short cpuCode, const MapRow& row);
constexpr Pos word2Address(Pos rowOffset, int entry) {
    return rowOffset + 4u * static_cast<Pos>(entry);
}
// DbTb3: head word (16 bits) at the record, address (32 bits) 4 bytes on.
Pos word3Record(short cpuCode, const MapRow& row);
constexpr Pos kRecordAddressAt = 4;

// DbTb4: V (32 bits) at the slot of entry n, W (16 bits) 4 bytes on. In the
// two-bit field section every entry reads the same row.
Pos bit4Slot(short cpuCode, const MapRow& row, int entry);
bool isTwoBitRow(const MapRow& row);
// DbTb5: V and W of the item's one row.
Pos bit5Row(short cpuCode, const MapRow& row);
constexpr Pos kMaskAt = 4;

// Two-bit field section: the mask DbTb4 delivers before the byte split, and
// the address step added to the row's V for entry n.
std::uint16_t twoBitItemMask(short cpuCode, short item, int entry);
Pos twoBitAddressStep(short cpuCode, int entry);

// The byte split of a bit address: V and a 16-bit W become one byte address
// and an 8-bit mask.
struct BitAddress {
    std::int32_t address;
    std::uint16_t bitMask;
};
BitAddress splitBytes(Pos v, std::uint16_t w);

// Memory kinds 0..9: the table of their entries (kinds 3 and 9 in section 0
// of table 9) and the highest index; kind 2 is not served.
struct MemoryKindInfo {
    bool served;
    std::uint16_t table;
    bool inSection0;
    int highestIndex;
};
constexpr int kMemoryKinds = 10;
const MemoryKindInfo& memoryKind(int kind);

}  // namespace zel::tool

#endif
