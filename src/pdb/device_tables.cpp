// JQWDB tables 2 to 5, the word and bit device tables. A record is a row of
// 4-byte device entries: kind (byte 0), number (bytes 1-2), extra (byte 3).
// Tables 2 and 4 read the entry that the caller's entry number picks, bounded
// by CPU specification value 0 of the same CPU code and OS type; tables 3 and
// 5 read the first entry of a record.
#include <ZelComFuncDbase.h>

#include <algorithm>
#include <cstdint>

#include "accessor/name_buffer.h"
#include "accessor/result_codes.h"
#include "format/position.h"
#include "osdb/cpu_values.h"
#include "pdb/jqwdb_table.h"

namespace {

struct DeviceEntry {
    unsigned short number;
    unsigned short kind;   // 0..255, never sign-extended
    unsigned short extra;  // 0..255, never sign-extended
};

DeviceEntry deviceEntry(std::uint32_t stored) {
    return DeviceEntry{static_cast<unsigned short>((stored >> 8) & 0xFFFFu),
                       static_cast<unsigned short>(stored & 0xFFu),
                       static_cast<unsigned short>(stored >> 24)};
}

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

// Reads the device entry `offset` bytes into record `index` of a table.
short readDeviceEntry(const zel::NameBuffer& name, int table, short index, zel::Pos offset,
                      DeviceEntry& entry) {
    return zel::readJqwdbTable(name, zel::kJqwdbTables[table], index,
                               [&](zel::FieldReader& r, const zel::OpenTable& t) {
                                   entry = deviceEntry(r.u32(t.record(index) + offset));
                               });
}

PdbWD toPdbWD(const DeviceEntry& e) { return PdbWD{e.number, e.kind, e.extra}; }
PdbBD toPdbBD(const DeviceEntry& e) { return PdbBD{e.number, e.kind}; }

}  // namespace

short CZelComFuncDbase::PdbTb2(short cpuCode, short osType, short index, short entry, PdbWD* out) {
    zel::NameBuffer name;
    if (dbname(cpuCode, osType, name.units) != zel::kOk) return zel::kRefused;
    const short checked = checkEntryNumber(*this, cpuCode, osType, entry);
    if (checked != zel::kOk) return checked;
    DeviceEntry device{};
    const short result = readDeviceEntry(name, 2, index, zel::deviceEntryAt(entry), device);
    if (result == zel::kOk) *out = toPdbWD(device);
    return result;
}

short CZelComFuncDbase::PdbTb3(short cpuCode, short osType, short index, PdbWD* out) {
    zel::NameBuffer name;
    if (dbname(cpuCode, osType, name.units) != zel::kOk) return zel::kRefused;
    DeviceEntry device{};
    const short result = readDeviceEntry(name, 3, index, 0, device);
    if (result == zel::kOk) *out = toPdbWD(device);
    return result;
}

short CZelComFuncDbase::PdbTb4(short cpuCode, short osType, short index, short entry, PdbBD* out) {
    zel::NameBuffer name;
    if (dbname(cpuCode, osType, name.units) != zel::kOk) return zel::kRefused;
    const short checked = checkEntryNumber(*this, cpuCode, osType, entry);
    if (checked != zel::kOk) return checked;
    DeviceEntry device{};
    const short result = readDeviceEntry(name, 4, index, zel::deviceEntryAt(entry), device);
    if (result == zel::kOk) *out = toPdbBD(device);
    return result;
}

short CZelComFuncDbase::PdbTb5(short cpuCode, short osType, short index, PdbBD* out) {
    zel::NameBuffer name;
    if (dbname(cpuCode, osType, name.units) != zel::kOk) return zel::kRefused;
    DeviceEntry device{};
    const short result = readDeviceEntry(name, 5, index, 0, device);
    if (result == zel::kOk) *out = toPdbBD(device);
    return result;
}
