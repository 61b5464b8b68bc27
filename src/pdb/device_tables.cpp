// JQWDB tables 2 to 5, the word and bit device tables. A record is a row of
// 4-byte device entries (format/jqwdb_tables.h). Tables 2 and 4 read the
// entry that the caller's entry number picks, bounded by CPU specification
// value 0 of the same CPU code and OS type; tables 3 and 5 read the first
// entry of a record.
#include <ZelComFuncDbase.h>

#include <cstdint>

#include "accessor/accessor_internals.h"
#include "accessor/result_codes.h"
#include "format/bytes.h"
#include "format/cpu_spec_values.h"
#include "format/jqwdb_tables.h"
#include "pdb/record_buffer.h"
#include "pdb/table_reading.h"
#include "platform/name_buffer.h"

namespace {

// CpuSpec for the same CPU code and OS type, then the entry number against
// its value 0: 0 when the entry may be read, -1 for a refused entry number,
// or CpuSpec's own failure unchanged.
short checkEntryNumber(CZelComFuncDbase& db, short cpuCode, short osType, short entry) {
    ZelLong values[zel::kCpuSpecValues] = {};
    const short result = db.CpuSpec(cpuCode, osType, values);
    if (result != zel::kOk) return result;
    const std::int32_t bound = zel::deviceEntryBound(static_cast<std::int32_t>(values[0]), osType);
    return entry >= 1 && entry <= bound ? zel::kOk : zel::kRefused;
}

// The file name, for tables 2 and 4 the entry number, the procedure with the
// read of one device entry, and the output record decoded from the entry by
// the table's layout.
template <int Table, class Out>
short readDeviceEntryOf(CZelComFuncDbase& db, short cpuCode, short osType, short index, short entry,
                        Out* out) {
    constexpr const zel::JqwdbTableShape& table = zel::kJqwdbTables[Table];
    static_assert(table.deviceEntries, "a table of device entries");
    zel::NameBuffer name;
    if (ZelAccessorInternals::dbname(db, cpuCode, osType, name.units) != zel::kOk)
        return zel::kRefused;
    if (table.entryNumber) {
        const short checked = checkEntryNumber(db, cpuCode, osType, entry);
        if (checked != zel::kOk) return checked;
    }
    unsigned char stored[zel::kDeviceEntryBytes] = {};
    const short result =
        zel::readJqwdbTable(name, table, index, [&](zel::FieldReader& r, const zel::OpenTable& t) {
            zel::storeLE32(stored, r.u32(t.record(index) + zel::deviceEntryAt(entry)));
        });
    if (result == zel::kOk)
        zel::storeDecodedRecord<Out, table.layout.count>(out, stored, table.layout.fields);
    return result;
}

constexpr short kFirstEntry = 1;

}  // namespace

short CZelComFuncDbase::PdbTb2(short cpuCode, short osType, short index, short entry, PdbWD* out) {
    return readDeviceEntryOf<2>(*this, cpuCode, osType, index, entry, out);
}

short CZelComFuncDbase::PdbTb3(short cpuCode, short osType, short index, PdbWD* out) {
    return readDeviceEntryOf<3>(*this, cpuCode, osType, index, kFirstEntry, out);
}

short CZelComFuncDbase::PdbTb4(short cpuCode, short osType, short index, short entry, PdbBD* out) {
    return readDeviceEntryOf<4>(*this, cpuCode, osType, index, entry, out);
}

short CZelComFuncDbase::PdbTb5(short cpuCode, short osType, short index, PdbBD* out) {
    return readDeviceEntryOf<5>(*this, cpuCode, osType, index, kFirstEntry, out);
}
