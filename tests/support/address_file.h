// OSDB files for the address and memory table readers: every table that the
// item maps and memory kinds reach, each section or plain table filled with
// noise words that tell where a read landed, and the fields of a test put on
// top. The CPU specification values 0 and 1 are the entry bounds.
#ifndef ZEL_TESTS_SUPPORT_ADDRESS_FILE_H
#define ZEL_TESTS_SUPPORT_ADDRESS_FILE_H

#include <cstdint>
#include <string>

#include "tests/support/osdb_samples.h"
#include "tests/support/temp_dir.h"
#include "writer/db_writer.h"

namespace zel::testing {

// Plain tables carry section number kPlain in their noise.
constexpr unsigned kPlain = 0xF;

// The noise word at a byte offset of a section (or plain table).
inline std::uint32_t noiseWord(unsigned table, unsigned section, std::uint32_t offset) {
    return 0x70000000u | (table << 20) | (section << 16) | (offset & 0xFFFFu);
}

class AddressFile {
  public:
    explicit AddressFile(std::int32_t bound0 = 40, std::int32_t bound1 = 20) {
        const std::int32_t spec[6] = {bound0, bound1, 0, 0, 0, 0};
        writer::setCpuSpecValues(layout, spec);
        addSections(6, 9);
        addSections(9, 7);
        addSections(11, 4);
        for (unsigned t : {1u, 3u, 4u, 10u, 12u, 14u, 15u})
            fill(layout.tables[t].plain, t, kPlain, 256);
    }

    writer::Region& section(unsigned table, unsigned s) {
        return layout.tables.at(table).sections.at(s);
    }
    // The entries of a memory kind: a plain table, or section 0 of table 9.
    writer::Region& plain(unsigned table) { return layout.tables.at(table).plain; }

    // Writes the file of a CPU code and OS type, in the CPU code's byte order.
    void writeTo(const TempDir& dir, short cpuCode, short osType,
                 writer::Placement* where = nullptr) const {
        dir.write(writer::osdbFileName(cpuCode, osType), osdbBytes(layout, cpuCode, where));
    }
    writer::Bytes bytes(short cpuCode, writer::Placement* where = nullptr) const {
        return osdbBytes(layout, cpuCode, where);
    }

    writer::OsdbLayout layout;

  private:
    static void fill(writer::Region& region, unsigned table, unsigned s, std::uint32_t size) {
        for (std::uint32_t at = 0; at < size; at += 4) region.u32(at, noiseWord(table, s, at));
    }
    void addSections(unsigned table, unsigned count) {
        auto& sections = layout.tables[table].sections;
        sections.resize(count);
        for (unsigned s = 0; s < count; ++s) {
            // Table 6 section 0 and table 9 section 1 hold up to 60 rows of 32 slots.
            const bool long_ = (table == 6 && s == 0) || (table == 9 && s == 1);
            fill(sections[s], table, s, long_ ? 16384 : 4096);
        }
    }
};

// A model index and OS number, the CPU code and OS type they stand for, and a
// label for test names.
struct Cpu {
    const char* label;
    short model;
    short osNumber;
    short cpuCode;
};

// Class 0, eight two-bit fields per step, slot counts 32 and 12, in both byte
// orders; class 1 (big-endian only); four-field with slot counts 8 and 3; and
// one with secondary slot count 0.
constexpr Cpu kClass0MsbFirst{"Cpu2", 1, 1, 2};
constexpr Cpu kClass0LsbFirst{"Cpu30", 20, 1, 30};
constexpr Cpu kClass1{"Cpu11", 11, 2, 11};
constexpr Cpu kFourField{"Cpu1", 4, 1, 1};
constexpr Cpu kNoSecondarySlots{"Cpu20", 18, 1, 20};

}  // namespace zel::testing

#endif
