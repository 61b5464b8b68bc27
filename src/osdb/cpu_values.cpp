#include "osdb/cpu_values.h"

#include "accessor/reading_path.h"
#include "accessor/result_codes.h"
#include "format/bytes.h"
#include "format/cpu_constants.h"
#include "format/cpu_spec_values.h"
#include "format/directory.h"
#include "platform/name_buffer.h"

namespace zel {

void readCpuSpecValues(FieldReader& r, ZelLong* values) {
    // The directory base is read once, a table's start when its first value
    // is due (the read order takes the values table by table), a section's
    // start for its one value: eleven reads.
    const Pos directory = r.u32(kDirectoryBaseAt);
    int table = -1;
    Pos tableStart = 0;
    for (const int value : kCpuSpecReadOrder) {
        const CpuSpecPlace& place = kCpuSpecPlaces[value];
        if (place.table != table) {
            table = place.table;
            tableStart = directory + r.u32(tableEntryAt(directory, place.table));
        }
        Pos at = tableStart;
        if (place.section != kPlain)
            at += r.u32(sectionEntryAt(tableStart, static_cast<std::uint16_t>(place.section)));
        values[value] = place.width == 1 ? asSigned8(r.u8(at + place.offset))
                                         : asSigned16(r.u16(at + place.offset));
    }
}

bool entryAdmitted(FieldReader& reader, short entry, std::uint16_t table, std::uint16_t section) {
    ZelLong values[kCpuSpecValues];
    readCpuSpecValues(reader, values);
    const short bound =
        entryBoundOf(static_cast<std::int32_t>(values[boundValueIndexOf(table, section)]));
    return entry >= 1 && entry <= bound;
}

}  // namespace zel

short CZelComFuncDbase::CpuSpec(short cpuCode, short osType, ZelLong* values) {
    zel::NameBuffer name;
    if (dbnamehon(cpuCode, osType, name.units) != zel::kOk) return zel::kRefused;
    return zel::readDatabase(name, zel::osdbByteOrder(cpuCode), [&](zel::FieldReader& r) {
        zel::readCpuSpecValues(r, values);
        return zel::kOk;
    });
}
