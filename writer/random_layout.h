// Random database files laid out the way no tool lays them out, for the tests
// that compare the library with its slow twin and for the fuzz seeds: every
// table, section and directory at an unaligned position, often a few bytes
// before a 4 KiB block edge so that its fields straddle the edge, the
// directory after the tables, files of 5 to 40 blocks, and random bytes
// everywhere else. The same seed gives the same file on every platform.
#ifndef ZEL_WRITER_RANDOM_LAYOUT_H
#define ZEL_WRITER_RANDOM_LAYOUT_H

#include <cstdint>

#include "writer/db_writer.h"

namespace zel::writer {

// A small generator whose numbers depend on nothing but the seed.
class RandomSource {
  public:
    explicit RandomSource(std::uint32_t seed) : m_state(seed * 2654435761u + 1) {}
    std::uint32_t next();
    // A number from lo to hi, both included.
    int between(int lo, int hi) {
        return lo + static_cast<int>(next() % static_cast<std::uint32_t>(hi - lo + 1));
    }

  private:
    std::uint64_t m_state;
};

// An OSDB file of sixteen tables, each with a section offset list of nine
// sections, and CPU specification values 0 and 1 from -2 to 60.
Bytes randomOsdb(RandomSource& random, ByteOrder order);

// A JQWDB file of eleven tables, each with a last index (item count) from -1
// to 24, a record size of 1 to 48 bytes and a split index among its items.
Bytes randomJqwdb(RandomSource& random);

}  // namespace zel::writer

#endif
