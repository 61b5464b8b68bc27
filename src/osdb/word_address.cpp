// Word address tables: DbTb2 delivers slot `entry` of an item's row with the
// row's head word, DbTb3 the one record of an item.
#include <ZelComFuncDbase.h>

#include <cstdint>

#include "accessor/byte_codec.h"
#include "accessor/database_read.h"
#include "accessor/name_buffer.h"
#include "accessor/position.h"
#include "accessor/result_codes.h"
#include "osdb/address_geometry.h"
#include "osdb/cpu_constants.h"
#include "osdb/cpu_spec.h"
#include "osdb/item_maps.h"
#include "osdb/table_directory.h"

short CZelComFuncDbase::DbTb2(short cpuCode, short osType, short item, short entry, DbAd* out) {
    const auto row = zel::itemRowOf(zel::AddressReader::word2, zel::mapClassOf(cpuCode), item);
    if (!row) return zel::kRefused;
    zel::NameBuffer name;
    if (dbnamehon(cpuCode, osType, name.units) != zel::kOk) return zel::kRefused;
    if (zel::isAbsent(*row)) return zel::kAbsent;

    const zel::Pos rowOffset = zel::word2Row(cpuCode, *row);

    DbAd found{};
    const short result =
        zel::readDatabase(name, zel::osdbByteOrder(cpuCode), [&](zel::FieldReader& r) {
            // The CPU specification values that bound the entry number come
            // from this same file, read through the same open.
            ZelLong values[zel::kCpuSpecValues];
            zel::readCpuSpecValues(r, values);
            if (!zel::entryWithinBound(entry, values, row->table, row->section))
                return zel::kRefused;
            const zel::Pos section =
                zel::sectionStartOf(r, zel::tableStartOf(r, row->table), row->section);
            found.headWord = r.u16(section + rowOffset);
            found.address = zel::asSigned32(r.u32(section + zel::word2Address(rowOffset, entry)));
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
    const zel::Pos recordOffset = zel::word3Record(cpuCode, *row);

    DbAd found{};
    const short result =
        zel::readDatabase(name, zel::osdbByteOrder(cpuCode), [&](zel::FieldReader& r) {
            const zel::Pos section =
                zel::sectionStartOf(r, zel::tableStartOf(r, row->table), row->section);
            const zel::Pos record = section + recordOffset;
            found.headWord = r.u16(record);
            found.address = zel::asSigned32(r.u32(record + zel::kRecordAddressAt));
            return zel::kOk;
        });
    if (result != zel::kOk) return result;
    out->address = found.address;
    out->headWord = found.headWord;
    return zel::kOk;
}
