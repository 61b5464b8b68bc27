// Bit address tables: DbTb4 delivers slot `entry` of an item's row, DbTb5 the
// one row of an item. Both read a byte address V and a 16-bit mask W whose
// low byte belongs to V and whose high byte to V + 1, and reduce them to one
// byte address and an 8-bit mask. DbTb4 also serves the two-bit field section
// (table 6, section 3), where a row names the first address of a run of
// two-bit fields and the entry number picks the field.
#include <ZelComFuncDbase.h>

#include <cstdint>
#include <optional>

#include "accessor/reading_path.h"
#include "accessor/result_codes.h"
#include "accessor/table_directory.h"
#include "format/address_geometry.h"
#include "format/position.h"
#include "osdb/address_item.h"
#include "osdb/cpu_values.h"

namespace {

struct BitField {
    zel::Pos address = 0;
    std::uint16_t mask = 0;
};

// Reads V and W at an offset from the start of the item's section; with an
// entry number, only when the CPU specification values admit it.
short readBitField(const zel::AddressItem& item, short cpuCode, zel::Pos offset,
                   std::optional<short> entry, BitField& found) {
    return zel::readDatabase(item.name, zel::osdbByteOrder(cpuCode), [&](zel::FieldReader& r) {
        // The CPU specification values that bound an entry number come from
        // this same file, read through the same open.
        if (entry && !zel::entryAdmitted(r, *entry, item.row.table, item.row.section))
            return zel::kRefused;
        const zel::Pos section =
            zel::sectionStartOf(r, zel::tableStartOf(r, item.row.table), item.row.section);
        found.address = r.u32(section + offset);
        found.mask = r.u16(section + offset + zel::kMaskAt);
        return zel::kOk;
    });
}

void store(const BitField& field, DbBAd* out) {
    const zel::BitAddress split = zel::splitBytes(field.address, field.mask);
    out->address = split.address;
    out->bitMask = split.bitMask;
}

}  // namespace

short CZelComFuncDbase::DbTb4(short cpuCode, short osType, short item, short entry, DbBAd* out) {
    zel::AddressItem found;
    short result =
        zel::findAddressItem(*this, zel::AddressReader::bit4, cpuCode, osType, item, found);
    if (result != zel::kOk) return result;
    BitField field;
    result = readBitField(found, cpuCode, zel::bit4Slot(cpuCode, found.row, entry), entry, field);
    if (result != zel::kOk) return result;
    if (zel::isTwoBitRow(found.row)) {
        // The entry number picks a two-bit field; the W of the file is unused.
        field.address += zel::twoBitAddressStep(cpuCode, entry);
        field.mask = zel::twoBitItemMask(cpuCode, item, entry);
    }
    store(field, out);
    return zel::kOk;
}

short CZelComFuncDbase::DbTb5(short cpuCode, short osType, short item, DbBAd* out) {
    zel::AddressItem found;
    short result =
        zel::findAddressItem(*this, zel::AddressReader::bit5, cpuCode, osType, item, found);
    if (result != zel::kOk) return result;
    BitField field;
    result = readBitField(found, cpuCode, zel::bit5Row(cpuCode, found.row), std::nullopt, field);
    if (result == zel::kOk) store(field, out);
    return result;
}
