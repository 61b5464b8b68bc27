// Valid database files for the fuzz targets: the companion files written
// beside the fuzzed one, and the seed corpora.
#ifndef ZEL_FUZZ_SAMPLE_FILES_H
#define ZEL_FUZZ_SAMPLE_FILES_H

#include <cstdint>

#include "writer/db_writer.h"

namespace zel::fuzz {

// An OSDB file with every table that a reader reaches: tables 0 and 2 with
// the CPU specification values (value 0 and value 1 bound the entry
// numbers), the plain memory tables, and sectioned tables 6, 9 and 11 whose
// sections of `sectionBytes` bytes hold words that differ by position.
writer::OsdbLayout sampleOsdb(std::int32_t value0, std::int32_t value1, std::uint32_t sectionBytes);

// A JQWDB file with all eleven tables, four records each (table 10: six
// items, tail items from index 3), with `recordSize` bytes between records
// (tables 2 and 4: twice that).
writer::JqwdbLayout sampleJqwdb(std::int32_t recordSize);

// Puts the 8 selector bytes that the fuzz targets read at the file's start.
void putSelectors(writer::Bytes& file, const std::uint8_t (&selectors)[8]);

}  // namespace zel::fuzz

#endif
