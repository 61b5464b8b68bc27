// The CPU specification values of an OSDB file: table 0 (the CPU
// specification table) and the first two sections of table 2.
#ifndef ZEL_OSDB_CPU_SPEC_H
#define ZEL_OSDB_CPU_SPEC_H

#include <ZelComFuncDbase.h>

#include "accessor/field_reader.h"

namespace zel {

constexpr int kCpuSpecValues = 6;

// Reads the six values from an open OSDB file, writing each to values[] as
// soon as its field has been read (order 0, 1, 3, 4, 2, 5), so that a failure
// part-way leaves the values read so far written.
void readCpuSpecValues(FieldReader& reader, ZelLong* values);

}  // namespace zel

#endif
