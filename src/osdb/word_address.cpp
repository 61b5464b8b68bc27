// Word address tables: DbTb2 delivers slot `entry` of an item's row with the
// row's head word, DbTb3 the one record of an item.
#include <ZelComFuncDbase.h>

#include <optional>

#include "accessor/reading_path.h"
#include "accessor/result_codes.h"
#include "accessor/table_directory.h"
#include "format/address_geometry.h"
#include "format/bytes.h"
#include "format/position.h"
#include "osdb/address_item.h"
#include "osdb/cpu_values.h"

namespace {

// Reads the head word at the row and the address at its offset, both from
// the start of the item's section; with an entry number, only when
// the CPU specification values admit it.
short readWordAddress(const zel::AddressItem& item, short cpuCode, zel::Pos rowOffset,
                      zel::Pos addressOffset, std::optional<short> entry, DbAd* out) {
    DbAd found{};
    const short result =
        zel::readDatabase(item.name, zel::osdbByteOrder(cpuCode), [&](zel::FieldReader& r) {
            // The CPU specification values that bound an entry number come
            // from this same file, read through the same open.
            if (entry && !zel::entryAdmitted(r, *entry, item.row.table, item.row.section))
                return zel::kRefused;
            const zel::Pos section =
                zel::sectionStartOf(r, zel::tableStartOf(r, item.row.table), item.row.section);
            found.headWord = r.u16(section + rowOffset);
            found.address = zel::asSigned32(r.u32(section + addressOffset));
            return zel::kOk;
        });
    if (result == zel::kOk) *out = found;
    return result;
}

}  // namespace

short CZelComFuncDbase::DbTb2(short cpuCode, short osType, short item, short entry, DbAd* out) {
    zel::AddressItem found;
    const short result =
        zel::findAddressItem(*this, zel::AddressReader::word2, cpuCode, osType, item, found);
    if (result != zel::kOk) return result;
    const zel::Pos row = zel::word2Row(cpuCode, found.row);
    return readWordAddress(found, cpuCode, row, zel::word2Address(row, entry), entry, out);
}

short CZelComFuncDbase::DbTb3(short cpuCode, short osType, short item, DbAd* out) {
    zel::AddressItem found;
    const short result =
        zel::findAddressItem(*this, zel::AddressReader::word3, cpuCode, osType, item, found);
    if (result != zel::kOk) return result;
    const zel::Pos record = zel::word3Record(cpuCode, found.row);
    return readWordAddress(found, cpuCode, record, record + zel::kRecordAddressAt, std::nullopt,
                           out);
}
