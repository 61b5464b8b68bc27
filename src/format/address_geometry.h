// Where the OSDB address and memory readers find their fields: offsets from
// the start of an item's section for each reader, the two-bit field section
// of DbTb4, the byte split of bit addresses and the memory kinds. Pure
// functions of the per-CPU constants, shared by the readers and by the tools
// that lay out or check database files. Offsets are formed in 32-bit
// wrap-around arithmetic, map columns entering as signed 16-bit values.
// Layout described in doc/file_format.md#where-the-address-readers-read (and #memory-tables).
#ifndef ZEL_FORMAT_ADDRESS_GEOMETRY_H
#define ZEL_FORMAT_ADDRESS_GEOMETRY_H

#include <cstdint>

#include "format/item_maps.h"
#include "format/position.h"

namespace zel {

// Slots per row (K) of an item's row.
Pos slotsOf(short cpuCode, const MapRow& row);

// Widths of the fields the address readers read.
constexpr unsigned kHeadWordBytes = 2;  // DbTb2, DbTb3: head word
constexpr unsigned kAddressBytes = 4;   // DbTb2, DbTb3: address; DbTb4, DbTb5: V
constexpr unsigned kMaskBytes = 2;      // DbTb4, DbTb5: W

// DbTb2: a row is a head slot and K slots of 4 bytes; the head word (16 bits)
// at the row, the address of entry n (32 bits) at the row + 4 * n.
Pos word2Row(short cpuCode, const MapRow& row);
constexpr Pos word2Address(Pos rowOffset, int entry) {
    return rowOffset + 4u * static_cast<Pos>(entry);
}

// DbTb3: the head word (16 bits) at the record, the address (32 bits) 4
// bytes on.
Pos word3Record(short cpuCode, const MapRow& row);
constexpr Pos kRecordAddressAt = 4;

// DbTb4: V (32 bits) at the slot of entry n, W (16 bits) 4 bytes on. In the
// two-bit field section (table 6, section 3) every entry reads its row's
// first slot.
Pos bit4Slot(short cpuCode, const MapRow& row, int entry);
bool isTwoBitRow(const MapRow& row);
// DbTb5: V and W of the item's one row.
Pos bit5Row(short cpuCode, const MapRow& row);
constexpr Pos kMaskAt = 4;

// The bytes of an item's section that a reader reaches, [first, end), for
// entry numbers 1 to `entries` (DbTb2, DbTb4; fewer than one entry reaches
// the row's head, or first slot) or for its one record (DbTb3, DbTb5).
struct SectionSpan {
    Pos first;
    Pos end;
};
SectionSpan readerSpan(AddressReader reader, short cpuCode, const MapRow& row, int entries);

// The sectioned tables of an OSDB file and how many sections each has as far
// as the readers go: table 2 (CpuSpec), tables 6, 9 and 11 (the item maps,
// memory kinds 3 and 9 in section 0 of table 9).
struct SectionedTable {
    std::uint16_t table;
    std::uint16_t sections;
};
constexpr SectionedTable kSectionedTables[] = {{2, 2}, {6, 9}, {9, 7}, {11, 4}};

// Two-bit field section: the mask of field n for an item (item 83 the low bit
// of the field, 84 the high bit, 85 two places up, 82 none), kept to 16 bits,
// and the address step added to the row's V for field n.
std::uint16_t twoBitItemMask(short cpuCode, short item, int entry);
Pos twoBitAddressStep(short cpuCode, int entry);

// The byte split of a bit address: a mask with bits in its high byte
// addresses the next byte, and the bits of its low byte are then dropped.
struct BitAddress {
    std::int32_t address;
    std::uint16_t bitMask;
};
BitAddress splitBytes(Pos v, std::uint16_t w);

// Memory kinds 0..9: the table of their 32-bit entries (kinds 3 and 9 in
// section 0 of table 9) and the highest index; kind 2 is not served.
struct MemoryKindInfo {
    bool served;
    std::uint16_t table;
    bool inSection0;
    int highestIndex;
};
constexpr int kMemoryKinds = 10;
constexpr unsigned kMemoryEntryBytes = 4;
inline Pos memoryEntryAt(short index) { return kMemoryEntryBytes * wide(index); }
// kind must lie in 0..kMemoryKinds - 1.
const MemoryKindInfo& memoryKind(int kind);

}  // namespace zel

#endif
