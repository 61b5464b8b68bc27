#include "format/address_geometry.h"

#include "format/bytes.h"
#include "format/cpu_constants.h"

namespace zel {
namespace {

constexpr std::uint16_t kTwoBitSection = 3;
constexpr int kUnshiftedTwoBitItem = 83;

// Indexed by memory kind.
constexpr MemoryKindInfo kMemoryKindTable[kMemoryKinds] = {
    {true, 1, false, 14},  {true, 10, false, 31}, {false, 0, false, -1}, {true, 9, true, 19},
    {true, 4, false, 38},  {true, 3, false, 22},  {true, 12, false, 19}, {true, 14, false, 31},
    {true, 15, false, 19}, {true, 9, true, 5},
};

// Row stride of the sections of table 6 whose rows scale with the slot
// count: sections 6 and 7 carry a head slot of 4 bytes, sections 0, 1 and 4
// (DbTb4 only) none; every other section holds one slot per row.
Pos table6Stride(const MapRow& row, Pos slotSize, Pos slots, bool scaledSection4) {
    switch (row.section) {
        case 6:
        case 7:
            return slotSize * slots + 4u;
        case 0:
        case 1:
            return slotSize * slots;
        case 4:
            return scaledSection4 ? slotSize * slots : slotSize;
        default:
            return slotSize;
    }
}

}  // namespace

Pos slotsOf(short cpuCode, const MapRow& row) {
    return wide16(slotCountOf(cpuCode, row.table, row.section));
}

Pos word2Row(short cpuCode, const MapRow& row) {
    return 4u * (slotsOf(cpuCode, row) + 1u) * wide16(row.row);
}

Pos word3Record(short cpuCode, const MapRow& row) {
    Pos stride = 8;  // table 9 section 3 and table 11: 8-byte records
    if (row.table == kGeometryTable) {
        stride = (row.section == 6 || row.section == 7) ? 4u * (slotsOf(cpuCode, row) + 1u)
                                                        : table6Geometry(row.section).slotSize;
    }
    return stride * wide16(row.row);
}

bool isTwoBitRow(const MapRow& row) {
    return row.table == kGeometryTable && row.section == kTwoBitSection;
}

Pos bit4Slot(short cpuCode, const MapRow& row, int entry) {
    const Pos slots = slotsOf(cpuCode, row);
    // Table 11 section 0 and table 9 section 1: rows of K slots of 8 bytes.
    Pos size = 8, stride = 8u * slots, leadIn = 0;
    if (row.table == kGeometryTable) {
        const SectionGeometry g = table6Geometry(row.section);
        size = g.slotSize;
        leadIn = g.leadIn;
        stride = table6Stride(row, size, slots, true);
    }
    const Pos slot = isTwoBitRow(row) ? 0u : (static_cast<Pos>(entry) - 1u) * size;
    return stride * wide16(row.row) + leadIn + slot;
}

Pos bit5Row(short cpuCode, const MapRow& row) {
    // Table 9 section 6 and the rows at the front of table 6 section 4:
    // 12-byte rows from offset 8.
    if (row.table != kGeometryTable || row.section == 4) return 12u * wide16(row.row) + 8u;
    const SectionGeometry g = table6Geometry(row.section);
    const Pos stride = table6Stride(row, g.slotSize, slotsOf(cpuCode, row), false);
    return stride * wide16(row.row) + g.leadIn;
}

SectionSpan readerSpan(AddressReader reader, short cpuCode, const MapRow& row, int entries) {
    switch (reader) {
        case AddressReader::word2: {
            const Pos first = word2Row(cpuCode, row);
            return {first, word2Address(first, entries > 0 ? entries : 0) + kAddressBytes};
        }
        case AddressReader::word3: {
            const Pos first = word3Record(cpuCode, row);
            return {first, first + kRecordAddressAt + kAddressBytes};
        }
        case AddressReader::bit4:
            return {bit4Slot(cpuCode, row, 1),
                    bit4Slot(cpuCode, row, entries > 1 ? entries : 1) + kMaskAt + kMaskBytes};
        case AddressReader::bit5:
            break;
    }
    const Pos first = bit5Row(cpuCode, row);
    return {first, first + kMaskAt + kMaskBytes};
}

std::uint16_t twoBitItemMask(short cpuCode, short item, int entry) {
    const int shift = item - kUnshiftedTwoBitItem;
    if (shift < 0 || shift >= 16) return 0;
    const std::uint32_t mask = twoBitMask(cpuCode, static_cast<short>(entry));
    return static_cast<std::uint16_t>((mask << shift) & 0xFFFFu);
}

Pos twoBitAddressStep(short cpuCode, int entry) {
    const auto perStep = static_cast<Pos>(twoBitFieldsPerStep(cpuCode));
    return 4u * ((static_cast<Pos>(entry) - 1u) / perStep);
}

BitAddress splitBytes(Pos v, std::uint16_t w) {
    if (w & 0xFF00u) return {asSigned32(v + 1u), static_cast<std::uint16_t>(w >> 8)};
    return {asSigned32(v), w};
}

const MemoryKindInfo& memoryKind(int kind) { return kMemoryKindTable[kind]; }

}  // namespace zel
