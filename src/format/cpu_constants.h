// Per-CPU constants of the OSDB address table readers: which item maps a CPU
// code uses, how many slots a row holds, the geometry of the sections of
// table 6 and the packing of the two-bit field section. Lookups of static
// data; any CPU code gives a defined answer.
// Layout described in doc/file_format.md#per-cpu-constants.
#ifndef ZEL_FORMAT_CPU_CONSTANTS_H
#define ZEL_FORMAT_CPU_CONSTANTS_H

#include <cstdint>

namespace zel {

// The table whose sections the geometry table describes, and its sections
// whose rows scale with the secondary slot count.
constexpr std::uint16_t kGeometryTable = 6;

// Map class of a CPU code: 1 (the longer item maps) or 0.
int mapClassOf(short cpuCode);

// Table 6 sections 1 and 7 take the secondary slot count, and their entry
// numbers are bounded by CPU specification value 1 instead of value 0.
bool usesSecondaryCount(std::uint16_t table, std::uint16_t section);

// Slots per row for a CPU code in a section: the secondary count where
// usesSecondaryCount, else the slot count. 0 for CPU codes beyond the tables.
std::uint16_t slotCountOf(short cpuCode, std::uint16_t table, std::uint16_t section);

// Index of the CPU specification value that bounds the entry numbers of a
// section: 1 where usesSecondaryCount, else 0.
int boundValueIndexOf(std::uint16_t table, std::uint16_t section);

// The highest entry number DbTb2 and DbTb4 accept: the low 16 bits of that
// CPU specification value, taken as signed.
short entryBoundOf(std::int32_t boundValue);

// Slot size and lead-in (bytes) of a section of table 6; both 0 for a section
// the table does not have.
struct SectionGeometry {
    std::uint16_t slotSize;
    std::uint16_t leadIn;
};
SectionGeometry table6Geometry(std::uint16_t section);

// Two-bit fields per 4-byte address step of the two-bit field section: 8 or 4.
int twoBitFieldsPerStep(short cpuCode);

// Mask of two-bit field `entry` (1-based, at least 1) within its address
// step: 4 to the power ((entry - 1) mod fields per step).
std::uint16_t twoBitMask(short cpuCode, short entry);

}  // namespace zel

#endif
