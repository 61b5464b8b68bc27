// The OSDB address readers as the tool shows them, and how many entries of a
// row it shows. Where the readers find their fields (the offsets, the
// two-bit field section, the memory kinds) comes from the library's
// format/address_geometry.h, so that the dump knows how far to ask, the
// builder where to place fields and the checker what a reader can reach.
#ifndef ZELCOMDB_OSDB_GEOMETRY_H
#define ZELCOMDB_OSDB_GEOMETRY_H

#include <cstdint>
#include <optional>

#include "format/address_geometry.h"
#include "format/cpu_spec_values.h"
#include "format/item_maps.h"
#include "format/position.h"

namespace zel::tool {

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

// The highest entry number a reader accepts for a row: the low 16 bits of
// CPU specification value 0 or 1, taken as signed.
int entryBound(const MapRow& row, const CpuSpecValues& values);
// Entries the tool shows: 1 to the bound, capped at the slot count so that a
// row is not shown again as the tail of the one before it.
int shownEntries(short cpuCode, const MapRow& row, const CpuSpecValues& values);

}  // namespace zel::tool

#endif
