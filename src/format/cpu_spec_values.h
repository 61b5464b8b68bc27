// Where an OSDB file keeps the six CPU specification values: four signed bytes
// of table 0 and two signed 16-bit words in sections 0 and 1 of table 2. Each
// value is its field widened with its sign.
// Layout described in doc/file_format.md#cpu-specification-values.
#ifndef ZEL_FORMAT_CPU_SPEC_VALUES_H
#define ZEL_FORMAT_CPU_SPEC_VALUES_H

#include <cstdint>

#include "format/directory.h"

namespace zel {

constexpr int kCpuSpecValues = 6;

struct CpuSpecPlace {
    std::uint16_t table;
    int section;  // kPlain for a plain table
    Pos offset;   // from the table or section start
    unsigned width;
};

// Indexed by value number.
constexpr CpuSpecPlace kCpuSpecPlaces[kCpuSpecValues] = {
    {0, kPlain, 0, 1}, {0, kPlain, 3, 1}, {2, 0, 22, 2},
    {0, kPlain, 2, 1}, {0, kPlain, 5, 1}, {2, 1, 18, 2},
};

// The order in which CpuSpec reads the values and writes each one, so that a
// failure part-way leaves the values read so far written.
constexpr int kCpuSpecReadOrder[kCpuSpecValues] = {0, 1, 3, 4, 2, 5};

// The lowest and highest value a field of a width can give.
constexpr std::int32_t lowestCpuSpecValue(unsigned width) { return width == 1 ? -128 : -32768; }
constexpr std::int32_t highestCpuSpecValue(unsigned width) { return width == 1 ? 127 : 32767; }

}  // namespace zel

#endif
