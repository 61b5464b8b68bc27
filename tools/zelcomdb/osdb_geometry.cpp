#include "osdb_geometry.h"

#include <algorithm>

#include "accessor/byte_codec.h"
#include "osdb/cpu_constants.h"

namespace zel::tool {
namespace {

constexpr std::uint16_t kTwoBitSection = 3;
constexpr int kUnshiftedTwoBitItem = 83;

// Indexed by memory kind.
constexpr MemoryKindInfo kMemoryKindTable[kMemoryKinds] = {
    {true, 1, false, 14},  {true, 10, false, 31}, {false, 0, false, -1}, {true, 9, true, 19},
    {true, 4, false, 38},  {true, 3, false, 22},  {true, 12, false, 19}, {true, 14, false, 31},
    {true, 15, false, 19}, {true, 9, true, 5},
};

Pos table6SlotSize(const MapRow& row) { return table6Geometry(row.section).slotSize; }
Pos table6LeadIn(const MapRow& row) { return table6Geometry(row.section).leadIn; }

}  // namespace

const AddressReaderInfo kAddressReaders[4] = {
    {AddressReader::word2, "CDbTb2", "dbTb2", true},
    {AddressReader::word3, "CDbTb3", "dbTb3", false},
    {AddressReader::bit4, "CDbTb4", "dbTb4", true},
    {AddressReader::bit5, "CDbTb5", "dbTb5", false},
};

const AddressReaderInfo& readerInfo(AddressReader reader) {
    return kAddressReaders[static_cast<int>(reader)];
}

std::optional<MapRow> itemRow(AddressReader reader, short cpuCode, short item) {
    return itemRowOf(reader, mapClassOf(cpuCode), item);
}

short lastItem(AddressReader reader, short cpuCode) {
    return lastItemOf(reader, mapClassOf(cpuCode));
}

Pos slotsOf(short cpuCode, const MapRow& row) {
    return wide16(slotCountOf(cpuCode, row.table, row.section));
}

int entryBound(const MapRow& row, const CpuSpecValues& spec) {
    const std::int32_t value = spec[boundValueIndexOf(row.table, row.section)];
    return asSigned16(static_cast<std::uint16_t>(static_cast<std::uint32_t>(value) & 0xFFFFu));
}

int shownEntries(short cpuCode, const MapRow& row, const CpuSpecValues& spec) {
    const int bound = entryBound(row, spec);
    const int slots = static_cast<int>(slotCountOf(cpuCode, row.table, row.section));
    return std::max(0, std::min(bound, slots));
}

Pos word2Row(short cpuCode, const MapRow& row) {
    return 4u * (slotsOf(cpuCode, row) + 1u) * wide16(row.row);
}

Pos word3Record(short cpuCode, const MapRow& row) {
    Pos stride = 8;  // table 9 section 3 and table 11: 8-byte records
    if (row.table == kGeometryTable) {
        stride = (row.section == 6 || row.section == 7) ? 4u * (slotsOf(cpuCode, row) + 1u)
                                                        : table6SlotSize(row);
    }
    return stride * wide16(row.row);
}

bool isTwoBitRow(const MapRow& row) {
    return row.table == kGeometryTable && row.section == kTwoBitSection;
}

Pos bit4Slot(short cpuCode, const MapRow& row, int entry) {
    const Pos k = slotsOf(cpuCode, row);
    Pos size = 8, stride = 8u * k, leadIn = 0;  // table 11 section 0, table 9 section 1
    if (row.table == kGeometryTable) {
        size = table6SlotSize(row);
        leadIn = table6LeadIn(row);
        switch (row.section) {
            case 6:
            case 7:
                stride = size * k + 4u;
                break;
            case 0:
            case 1:
            case 4:
                stride = size * k;
                break;
            default:
                stride = size;
        }
    }
    const Pos slot = isTwoBitRow(row) ? 0u : (static_cast<Pos>(entry) - 1u) * size;
    return stride * wide16(row.row) + leadIn + slot;
}

Pos bit5Row(short cpuCode, const MapRow& row) {
    // Table 9 section 6 and table 6 sections 4 and 5: 12-byte rows from 8.
    if (row.table != kGeometryTable || row.section == 4) return 12u * wide16(row.row) + 8u;
    const Pos size = table6SlotSize(row);
    const Pos k = slotsOf(cpuCode, row);
    Pos stride = size;
    if (row.section == 6 || row.section == 7) stride = size * k + 4u;
    if (row.section == 0 || row.section == 1) stride = size * k;
    return stride * wide16(row.row) + table6LeadIn(row);
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

}  // namespace zel::tool
