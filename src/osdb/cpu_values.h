// The CPU specification values of an OSDB file: table 0 (one signed byte per
// value) and the first two sections of table 2.
#ifndef ZEL_OSDB_CPU_VALUES_H
#define ZEL_OSDB_CPU_VALUES_H

#include <ZelComFuncDbase.h>

#include <cstdint>

#include "format/cpu_spec_values.h"
#include "platform/field_reader.h"

namespace zel {

// Reads the six values from an open OSDB file, writing each to values[] as
// soon as its field has been read (order 0, 1, 3, 4, 2, 5), so that a failure
// part-way leaves the values read so far written.
void readCpuSpecValues(FieldReader& reader, ZelLong* values);

// For the readers whose entry numbers the CPU specification values bound
// (DbTb2, DbTb4): reads the values from the open OSDB file and tells whether
// the entry number (1-based) lies within the bound of a section, the low 16
// bits of the value taken as signed, equal accepted. Table 6 sections 1 and 7
// are bounded by value 1, every other section by value 0.
bool entryAdmitted(FieldReader& reader, short entry, std::uint16_t table, std::uint16_t section);

}  // namespace zel

#endif
