#include "osdb/cpu_values.h"

#include "accessor/byte_codec.h"
#include "accessor/name_buffer.h"
#include "accessor/reading_path.h"
#include "accessor/result_codes.h"
#include "osdb/cpu_constants.h"

namespace zel {
namespace {

// Table numbers of the OSDB table directory read here.
constexpr Pos kCpuSpecTable = 0;
constexpr Pos kSectionedSpecTable = 2;

// Field positions within table 0, the table of CPU specification values (one
// signed byte each)
// and within sections 0 and 1 of table 2 (signed 16-bit).
constexpr Pos kValue0At = 0, kValue1At = 3, kValue3At = 2, kValue4At = 5;
constexpr Pos kValue2AtInSection0 = 22, kValue5AtInSection1 = 18;

}  // namespace

void readCpuSpecValues(FieldReader& r, ZelLong* values) {
    const Pos directory = r.u32(8);
    const Pos cpuTable = directory + r.u32(directory + 4 * kCpuSpecTable);
    values[0] = asSigned8(r.u8(cpuTable + kValue0At));
    values[1] = asSigned8(r.u8(cpuTable + kValue1At));
    values[3] = asSigned8(r.u8(cpuTable + kValue3At));
    values[4] = asSigned8(r.u8(cpuTable + kValue4At));
    const Pos table2 = directory + r.u32(directory + 4 * kSectionedSpecTable);
    const Pos section0 = table2 + r.u32(table2 + 4);
    values[2] = asSigned16(r.u16(section0 + kValue2AtInSection0));
    const Pos section1 = table2 + r.u32(table2 + 8);
    values[5] = asSigned16(r.u16(section1 + kValue5AtInSection1));
}

bool entryAdmitted(FieldReader& reader, short entry, std::uint16_t table, std::uint16_t section) {
    ZelLong values[kCpuSpecValues];
    readCpuSpecValues(reader, values);
    const ZelLong value = values[boundValueIndexOf(table, section)];
    const short bound = asSigned16(static_cast<std::uint16_t>(value));
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
