// The database that the benchmarks read: OSDB files for a big-endian and a
// little-endian CPU code and a JQWDB file, with every table that the
// benchmarked calls reach, optionally padded to 16 MiB.
#ifndef ZEL_BENCH_BENCH_DATABASE_H
#define ZEL_BENCH_BENCH_DATABASE_H

#include <cstddef>
#include <string>

namespace zel::bench {

// Writes the database into dir; with padTo > 0 every file is padded with
// zero bytes to that size.
void writeBenchDatabase(const std::string& dir, std::size_t padTo);

}  // namespace zel::bench

#endif
