// The databases that the benchmarks read: OSDB files for a big-endian and a
// little-endian CPU code and a JQWDB file, with every table that the
// benchmarked calls reach, in one of two layouts, optionally padded to 16 MiB.
#ifndef ZEL_BENCH_BENCH_DATABASE_H
#define ZEL_BENCH_BENCH_DATABASE_H

#include <cstddef>
#include <string>

namespace zel::bench {

enum class Layout {
    // As the writer packs them: every table after the directory, a file of a
    // few 4 KiB blocks.
    compact,
    // Each call's fields spread over four or five 4 KiB blocks far apart,
    // none among the first five blocks of the file, visited back and forth in
    // the order the readers walk them: the header in block 0, then places
    // ordered back to front (OSDB: directory, CPU specification table,
    // section offset lists, rows; JQWDB: directory, table header, records).
    scattered,
};

// Writes the database into dir; with padTo > 0 every file is padded with
// zero bytes to that size.
void writeBenchDatabase(const std::string& dir, Layout layout, std::size_t padTo);

}  // namespace zel::bench

#endif
