// Bit address tables: DbTb4 delivers slot `entry` of an item's row, DbTb5 the
// one row of an item. Both read a byte address V and a 16-bit mask W whose
// low byte belongs to V and whose high byte to V + 1, and reduce them to one
// byte address and an 8-bit mask. DbTb4 also serves the two-bit field section
// (table 6, section 3), where a row names the first address of a run of
// two-bit fields and the entry number picks the field.
#include <ZelComFuncDbase.h>

#include <cstdint>

#include "accessor/database_read.h"
#include "accessor/name_buffer.h"
#include "accessor/position.h"
#include "accessor/result_codes.h"
#include "osdb/address_geometry.h"
#include "osdb/cpu_constants.h"
#include "osdb/cpu_spec.h"
#include "osdb/item_maps.h"
#include "osdb/table_directory.h"

namespace {

struct BitField {
    zel::Pos address = 0;
    std::uint16_t mask = 0;
};

// V and W at an offset from the start of the item's section.
BitField readBitField(zel::FieldReader& r, const zel::MapRow& row, zel::Pos offset) {
    const zel::Pos section = zel::sectionStartOf(r, zel::tableStartOf(r, row.table), row.section);
    BitField field;
    field.address = r.u32(section + offset);
    field.mask = r.u16(section + offset + zel::kMaskAt);
    return field;
}

void store(const BitField& field, DbBAd* out) {
    const zel::BitAddress split = zel::splitBytes(field.address, field.mask);
    out->address = split.address;
    out->bitMask = split.bitMask;
}

}  // namespace

short CZelComFuncDbase::DbTb4(short cpuCode, short osType, short item, short entry, DbBAd* out) {
    const auto row = zel::itemRowOf(zel::AddressReader::bit4, zel::mapClassOf(cpuCode), item);
    if (!row) return zel::kRefused;
    zel::NameBuffer name;
    if (dbnamehon(cpuCode, osType, name.units) != zel::kOk) return zel::kRefused;
    if (zel::isAbsent(*row)) return zel::kAbsent;
    const zel::Pos offset = zel::bit4Slot(cpuCode, *row, entry);

    BitField found;
    const short result =
        zel::readDatabase(name, zel::osdbByteOrder(cpuCode), [&](zel::FieldReader& r) {
            // The CPU specification values that bound the entry number come
            // from this same file, read through the same open.
            ZelLong values[zel::kCpuSpecValues];
            zel::readCpuSpecValues(r, values);
            if (!zel::entryWithinBound(entry, values, row->table, row->section))
                return zel::kRefused;
            found = readBitField(r, *row, offset);
            return zel::kOk;
        });
    if (result != zel::kOk) return result;

    if (zel::isTwoBitRow(*row)) {
        // The entry number picks a two-bit field; the W of the file is unused.
        found.address += zel::twoBitAddressStep(cpuCode, entry);
        found.mask = zel::twoBitItemMask(cpuCode, item, entry);
    }
    store(found, out);
    return zel::kOk;
}

short CZelComFuncDbase::DbTb5(short cpuCode, short osType, short item, DbBAd* out) {
    const auto row = zel::itemRowOf(zel::AddressReader::bit5, zel::mapClassOf(cpuCode), item);
    if (!row) return zel::kRefused;
    zel::NameBuffer name;
    if (dbnamehon(cpuCode, osType, name.units) != zel::kOk) return zel::kRefused;
    if (zel::isAbsent(*row)) return zel::kAbsent;
    const zel::Pos offset = zel::bit5Row(cpuCode, *row);

    BitField found;
    const short result =
        zel::readDatabase(name, zel::osdbByteOrder(cpuCode), [&](zel::FieldReader& r) {
            found = readBitField(r, *row, offset);
            return zel::kOk;
        });
    if (result != zel::kOk) return result;
    store(found, out);
    return zel::kOk;
}
