// Word address tables: DbTb2 delivers slot `entry` of an item's row with the
// row's head word, DbTb3 the one record of an item.
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

// A DbTb3 record: the head word at its start, the address 4 bytes on.
constexpr zel::Pos kRecordAddressAt = 4;

// Distance between the records of DbTb3 in a section. Sections 6 and 7 of
// table 6 have the row shape that DbTb2 reads (a head slot and K slots of 4
// bytes); the other sections of table 6 one record per slot of the section.
// Table 9 section 3 and every section of table 11 hold one 8-byte record per
// row.
zel::Pos recordStride(short cpuCode, const zel::MapRow& row) {
    if (row.table != zel::kGeometryTable) return 8;
    if (row.section == 6 || row.section == 7)
        return 4u * (zel::wide16(zel::slotCountOf(cpuCode, row.table, row.section)) + 1u);
    return zel::table6Geometry(row.section).slotSize;
}

}  // namespace

short CZelComFuncDbase::DbTb2(short cpuCode, short osType, short item, short entry, DbAd* out) {
    const auto row = zel::itemRowOf(zel::AddressReader::word2, zel::mapClassOf(cpuCode), item);
    if (!row) return zel::kRefused;
    zel::NameBuffer name;
    if (dbnamehon(cpuCode, osType, name.units) != zel::kOk) return zel::kRefused;
    if (zel::isAbsent(*row)) return zel::kAbsent;

    const zel::Pos slots = zel::wide16(zel::slotCountOf(cpuCode, row->table, row->section));

    DbAd found{};
    const short result =
        zel::readDatabase(name, zel::osdbByteOrder(cpuCode), [&](zel::FieldReader& r) {
            // The CPU specification values that bound the entry number come
            // from this same file, read through the same open.
            ZelLong spec[zel::kCpuSpecValues];
            zel::readCpuSpecValues(r, spec);
            if (!zel::entryWithinBound(entry, spec, row->table, row->section)) return zel::kRefused;
            const zel::Pos section =
                zel::sectionStartOf(r, zel::tableStartOf(r, row->table), row->section);
            // A row is a head slot and `slots` slots of 4 bytes each.
            const zel::Pos rowStart = section + 4u * (slots + 1u) * zel::wide16(row->row);
            found.headWord = r.u16(rowStart);
            found.address = zel::asSigned32(r.u32(rowStart + 4u * zel::wide(entry)));
            return zel::kOk;
        });
    if (result != zel::kOk) return result;
    out->address = found.address;
    out->headWord = found.headWord;
    return zel::kOk;
}

short CZelComFuncDbase::DbTb3(short cpuCode, short osType, short item, DbAd* out) {
    const auto row = zel::itemRowOf(zel::AddressReader::word3, zel::mapClassOf(cpuCode), item);
    if (!row) return zel::kRefused;
    zel::NameBuffer name;
    if (dbnamehon(cpuCode, osType, name.units) != zel::kOk) return zel::kRefused;
    if (zel::isAbsent(*row)) return zel::kAbsent;
    const zel::Pos stride = recordStride(cpuCode, *row);

    DbAd found{};
    const short result =
        zel::readDatabase(name, zel::osdbByteOrder(cpuCode), [&](zel::FieldReader& r) {
            const zel::Pos section =
                zel::sectionStartOf(r, zel::tableStartOf(r, row->table), row->section);
            const zel::Pos record = section + stride * zel::wide16(row->row);
            found.headWord = r.u16(record);
            found.address = zel::asSigned32(r.u32(record + kRecordAddressAt));
            return zel::kOk;
        });
    if (result != zel::kOk) return result;
    out->address = found.address;
    out->headWord = found.headWord;
    return zel::kOk;
}
