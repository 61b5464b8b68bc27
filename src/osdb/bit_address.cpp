// Bit address tables: DbTb4 delivers slot `entry` of an item's row, DbTb5 the
// one row of an item. Both read a byte address V and a 16-bit mask W whose
// low byte belongs to V and whose high byte to V + 1, and reduce them to one
// byte address and an 8-bit mask. DbTb4 also serves the two-bit field section
// (table 6, section 3), where a row names the first address of a run of
// two-bit fields and the entry number picks the field.
#include <ZelComFuncDbase.h>

#include <cstdint>

#include "accessor/byte_codec.h"
#include "accessor/database_read.h"
#include "accessor/name_buffer.h"
#include "accessor/position.h"
#include "accessor/result_codes.h"
#include "osdb/cpu_constants.h"
#include "osdb/cpu_spec.h"
#include "osdb/item_maps.h"
#include "osdb/table_directory.h"

namespace {

using zel::Pos;

// W follows V in every slot and row.
constexpr Pos kMaskAt = 4;

constexpr std::uint16_t kTwoBitSection = 3;
// The item whose two-bit mask is not shifted: item 84 gives the high bit of
// each field, item 85 the mask two places up, item 82 (below it) no bit.
constexpr int kUnshiftedTwoBitItem = 83;

struct BitPlace {
    Pos slotSize;
    Pos rowStride;
    Pos leadIn;
};

// Where DbTb4 finds the slots of a row with `slots` slots.
BitPlace slotPlace(Pos slots, const zel::MapRow& row) {
    // Table 11 section 0 and table 9 section 1: rows of 8-byte slots.
    if (row.table != zel::kGeometryTable) return {8, 8u * slots, 0};
    const zel::SectionGeometry g = zel::table6Geometry(row.section);
    const Pos size = g.slotSize;
    switch (row.section) {
        case 6:
        case 7:
            return {size, size * slots + 4u, g.leadIn};
        case 0:
        case 1:
        case 4:
            return {size, size * slots, g.leadIn};
        default:
            return {size, size, g.leadIn};
    }
}

// Where DbTb5 finds the one record of a row.
BitPlace rowPlace(Pos slots, const zel::MapRow& row) {
    // Table 9 section 6 and the 12-byte rows at the front of table 6 section 4.
    if (row.table != zel::kGeometryTable || row.section == 4) return {12, 12, 8};
    const zel::SectionGeometry g = zel::table6Geometry(row.section);
    const Pos size = g.slotSize;
    switch (row.section) {
        case 6:
        case 7:
            return {size, size * slots + 4u, g.leadIn};
        case 0:
        case 1:
            return {size, size * slots, g.leadIn};
        default:
            return {size, size, g.leadIn};
    }
}

bool isTwoBitSection(const zel::MapRow& row) {
    return row.table == zel::kGeometryTable && row.section == kTwoBitSection;
}

// The mask of two-bit field `entry` for an item of the two-bit field section,
// kept to 16 bits.
std::uint16_t twoBitItemMask(short cpuCode, short item, short entry) {
    const int shift = item - kUnshiftedTwoBitItem;
    if (shift < 0 || shift >= 16) return 0;
    return static_cast<std::uint16_t>((std::uint32_t{zel::twoBitMask(cpuCode, entry)} << shift) &
                                      0xFFFFu);
}

// A mask with bits in its high byte addresses the next byte; the bits of its
// low byte are then dropped.
DbBAd splitBytes(Pos address, std::uint16_t mask) {
    if (mask & 0xFF00u)
        return {zel::asSigned32(address + 1u), static_cast<unsigned short>(mask >> 8)};
    return {zel::asSigned32(address), mask};
}

struct BitField {
    Pos address = 0;
    std::uint16_t mask = 0;
};

BitField readBitField(zel::FieldReader& r, const zel::MapRow& row, Pos offset) {
    const Pos section = zel::sectionStartOf(r, zel::tableStartOf(r, row.table), row.section);
    BitField field;
    field.address = r.u32(section + offset);
    field.mask = r.u16(section + offset + kMaskAt);
    return field;
}

}  // namespace

short CZelComFuncDbase::DbTb4(short cpuCode, short osType, short item, short entry, DbBAd* out) {
    const auto row = zel::itemRowOf(zel::AddressReader::bit4, zel::mapClassOf(cpuCode), item);
    if (!row) return zel::kRefused;
    zel::NameBuffer name;
    if (dbnamehon(cpuCode, osType, name.units) != zel::kOk) return zel::kRefused;
    if (zel::isAbsent(*row)) return zel::kAbsent;

    const Pos slots = zel::wide16(zel::slotCountOf(cpuCode, row->table, row->section));
    const BitPlace place = slotPlace(slots, *row);
    const bool twoBit = isTwoBitSection(*row);
    const Pos field = zel::wide(entry) - 1u;
    // In the two-bit field section the entry number picks a field, not a slot.
    const Pos offset = place.rowStride * zel::wide16(row->row) + place.leadIn +
                       (twoBit ? 0u : field * place.slotSize);

    BitField found;
    const short result =
        zel::readDatabase(name, zel::osdbByteOrder(cpuCode), [&](zel::FieldReader& r) {
            // The CPU specification values that bound the entry number come
            // from this same file, read through the same open.
            ZelLong spec[zel::kCpuSpecValues];
            zel::readCpuSpecValues(r, spec);
            if (!zel::entryWithinBound(entry, spec, row->table, row->section)) return zel::kRefused;
            found = readBitField(r, *row, offset);
            return zel::kOk;
        });
    if (result != zel::kOk) return result;

    if (twoBit) {
        const auto fieldsPerStep = static_cast<Pos>(zel::twoBitFieldsPerStep(cpuCode));
        found.address += 4u * (field / fieldsPerStep);
        found.mask = twoBitItemMask(cpuCode, item, entry);
    }
    const DbBAd split = splitBytes(found.address, found.mask);
    out->address = split.address;
    out->bitMask = split.bitMask;
    return zel::kOk;
}

short CZelComFuncDbase::DbTb5(short cpuCode, short osType, short item, DbBAd* out) {
    const auto row = zel::itemRowOf(zel::AddressReader::bit5, zel::mapClassOf(cpuCode), item);
    if (!row) return zel::kRefused;
    zel::NameBuffer name;
    if (dbnamehon(cpuCode, osType, name.units) != zel::kOk) return zel::kRefused;
    if (zel::isAbsent(*row)) return zel::kAbsent;

    const Pos slots = zel::wide16(zel::slotCountOf(cpuCode, row->table, row->section));
    const BitPlace place = rowPlace(slots, *row);
    const Pos offset = place.rowStride * zel::wide16(row->row) + place.leadIn;

    BitField found;
    const short result =
        zel::readDatabase(name, zel::osdbByteOrder(cpuCode), [&](zel::FieldReader& r) {
            found = readBitField(r, *row, offset);
            return zel::kOk;
        });
    if (result != zel::kOk) return result;
    const DbBAd split = splitBytes(found.address, found.mask);
    out->address = split.address;
    out->bitMask = split.bitMask;
    return zel::kOk;
}
