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
// sections of `sectionBytes` bytes hold words that differ by position. The
// stamp (0 to 15) goes into every word and the values 2 to 5, so that files
// of one shape give different answers.
writer::OsdbLayout sampleOsdb(std::int32_t value0, std::int32_t value1, std::uint32_t sectionBytes,
                              unsigned stamp = 0);

// A JQWDB file with all eleven tables, four records each (table 10: six
// items, tail items from index 3), with `recordSize` bytes between records
// (tables 2 and 4: twice that). The stamp is added to every record byte.
writer::JqwdbLayout sampleJqwdb(std::int32_t recordSize, unsigned stamp = 0);

// Puts the 8 selector bytes that the fuzz targets read at the file's start.
void putSelectors(writer::Bytes& file, const std::uint8_t (&selectors)[8]);

}  // namespace zel::fuzz

#endif
