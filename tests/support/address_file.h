// OSDB files for the address and memory table readers: every table that the
// item maps and memory kinds reach, each section or plain table filled with
// noise words that tell where a read landed, and the fields of a test put on
// top. CPU values 0 and 1 (table 0) are the entry bounds.
#ifndef ZEL_TESTS_SUPPORT_ADDRESS_FILE_H
#define ZEL_TESTS_SUPPORT_ADDRESS_FILE_H

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "tests/support/database_names.h"
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
        const std::int32_t values[6] = {bound0, bound1, 0, 0, 0, 0};
        writer::setCpuSpecValues(layout, values);
        // Table 6 section 0 and table 9 section 1 hold up to 60 rows of 32 slots.
        for (unsigned s = 0; s < 9; ++s) fill(section(6, s), 6, s, s == 0 ? 16384 : 4096);
        for (unsigned s = 0; s < 7; ++s) fill(section(9, s), 9, s, s == 1 ? 16384 : 4096);
        for (unsigned s = 0; s < 4; ++s) fill(section(11, s), 11, s, 4096);
        for (unsigned t : {1u, 3u, 4u, 10u, 12u, 14u, 15u}) fill(plain(t), t, kPlain, 256);
    }

    writer::Region& section(unsigned table, unsigned s) {
        auto& sections = layout.tables[table].sections;
        if (sections.size() <= s) sections.resize(s + 1);
        return sections[s];
    }
    writer::Region& plain(unsigned table) { return layout.tables[table].plain; }

    // Writes the file of a CPU code and OS type, in the CPU code's byte order.
    void writeTo(const TempDir& dir, short cpuCode, short osType,
                 writer::Placement* where = nullptr) const {
        dir.write(osdbFileName(cpuCode, osType), osdbBytes(layout, cpuCode, where));
    }
    writer::Bytes bytes(short cpuCode, writer::Placement* where = nullptr) const {
        return osdbBytes(layout, cpuCode, where);
    }

    writer::OsdbLayout layout;

  private:
    static void fill(writer::Region& region, unsigned table, unsigned s, std::uint32_t size) {
        for (std::uint32_t at = 0; at < size; at += 4) region.u32(at, noiseWord(table, s, at));
    }
};

// A model index and OS number, the CPU code they stand for, and a label for
// test names.
struct Cpu {
    const char* label;
    short model;
    short osNumber;
    short cpuCode;
};

// Class 0, eight two-bit fields per step, slot counts 32 and 12, in both byte
// orders; class 1 (most significant byte first only); four fields per step
// with slot counts 8 and 3; and one with secondary slot count 0.
constexpr Cpu kClass0MsbFirst{"Cpu2", 1, 1, 2};
constexpr Cpu kClass0LsbFirst{"Cpu30", 20, 1, 30};
constexpr Cpu kClass1{"Cpu11", 11, 2, 11};
constexpr Cpu kFourField{"Cpu1", 4, 1, 1};
constexpr Cpu kNoSecondarySlots{"Cpu20", 18, 1, 20};

// The CPUs of a table case: class 0 runs in both byte orders.
enum class Cpus { class0, class1, fourField, noSecondary };

template <class Case>
struct Run {
    Case c;
    Cpu cpu;
};

// A run's name: the case's name and the CPU's label.
template <class Case>
std::string runName(const Run<Case>& run) {
    return std::string(run.c.name) + "_" + run.cpu.label;
}

// A run prints as its name: without this, GoogleTest prints a parameter byte
// by byte, the uninitialised padding of the case included.
template <class Case>
void PrintTo(const Run<Case>& run, std::ostream* out) {
    *out << runName(run);
}

template <class Case, std::size_t N>
std::vector<Run<Case>> runsOf(const Case (&cases)[N]) {
    std::vector<Run<Case>> all;
    for (const Case& c : cases) {
        if (c.cpus == Cpus::class0) all.push_back({c, kClass0LsbFirst});
        all.push_back({c, c.cpus == Cpus::class0      ? kClass0MsbFirst
                          : c.cpus == Cpus::class1    ? kClass1
                          : c.cpus == Cpus::fourField ? kFourField
                                                      : kNoSecondarySlots});
    }
    return all;
}

// Names the test of a Run.
struct RunName {
    template <class Info>
    std::string operator()(const Info& info) const {
        return runName(info.param);
    }
};

}  // namespace zel::testing

#endif
