// The library against its slow twin (tests/support/both_ways.h) on random
// databases laid out the way no tool lays them out: every table, section and
// directory at an unaligned position, often a few bytes before a block edge,
// the directory after the tables, files of 5 to 40 blocks, and random bytes
// everywhere else. Every member is asked with selectors in and around their
// ranges; each call must give the same result and output both ways.
//
// ZEL_RANDOM_CALLS sets the number of calls (default below, fewer in the
// builds whose calls cost more), ZEL_RANDOM_SEED the seed of the first
// database. A failure names the seed of its database and the call, which
// ZEL_RANDOM_SEED=seed replays first.
#include <ZelComFuncDbase.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <random>
#include <string>

#include "accessor/file_naming.h"
#include "format/cpu_spec_values.h"
#include "tests/support/both_ways.h"
#include "tests/support/temp_dir.h"

#ifndef ZEL_RANDOM_CALLS_DEFAULT
#define ZEL_RANDOM_CALLS_DEFAULT 100000
#endif

namespace {

using zel::testing::TempDir;
using zel::writer::Bytes;
using Rng = std::mt19937;

constexpr std::uint32_t kBlock = 4096;
constexpr int kCallsPerDatabase = 250;

long fromEnvironment(const char* name, long fallback) {
    const char* text = std::getenv(name);
    return text && *text ? std::strtol(text, nullptr, 10) : fallback;
}

int uniform(Rng& rng, int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }

// A model with database files, as the host names it and as the files do.
struct Model {
    short modelIndex, osNumber, cpuCode, osType;
};
// Big-endian CPU codes of both item map classes, little-endian ones.
constexpr Model kModels[] = {{13, 5, 16, 4}, {4, 1, 1, 0},   {18, 1, 20, 0},
                             {11, 2, 11, 1}, {20, 1, 30, 0}, {27, 2, 38, 1}};

class RandomFile {
  public:
    RandomFile(Rng& rng, bool mostSignificantFirst)
        : m_rng(rng),
          m_msb(mostSignificantFirst),
          m_bytes(static_cast<std::size_t>(uniform(rng, 4 * kBlock + 1, 40 * kBlock))) {
        for (auto& b : m_bytes) b = static_cast<std::uint8_t>(rng());
    }

    // A position for a table or section: anywhere, or half the time up to 24
    // bytes before a block edge, so that its fields straddle the edge.
    std::uint32_t place(std::uint32_t before) {
        if (uniform(m_rng, 0, 1) == 0)
            return static_cast<std::uint32_t>(uniform(m_rng, 16, static_cast<int>(before)));
        const int edges = static_cast<int>(before / kBlock);
        const int at = uniform(m_rng, 1, edges) * static_cast<int>(kBlock) - uniform(m_rng, 0, 24);
        return static_cast<std::uint32_t>(at);
    }
    // The directory after the tables: in the last 512 bytes before its end.
    std::uint32_t directoryAt(unsigned entries) {
        const auto end = static_cast<std::uint32_t>(m_bytes.size()) - 4 * entries;
        const std::uint32_t at = end - static_cast<std::uint32_t>(uniform(m_rng, 0, 512));
        put(8, 4, at);
        return at;
    }
    std::uint32_t tablesBefore(std::uint32_t directory) const { return directory - 600; }

    void put(std::uint32_t at, unsigned width, std::uint32_t value) {
        for (unsigned i = 0; i < width && at + i < m_bytes.size(); ++i) {
            const unsigned shift = 8 * (m_msb ? width - 1 - i : i);
            m_bytes[at + i] = static_cast<std::uint8_t>(value >> shift);
        }
    }
    int number(int lo, int hi) { return uniform(m_rng, lo, hi); }
    const Bytes& bytes() const { return m_bytes; }

  private:
    Rng& m_rng;
    bool m_msb;
    Bytes m_bytes;
};

// An OSDB file: sixteen tables, each with a section offset list of nine
// sections anywhere before the directory, and CPU specification values that
// admit most entry numbers.
Bytes randomOsdb(Rng& rng, bool mostSignificantFirst) {
    RandomFile f(rng, mostSignificantFirst);
    const std::uint32_t directory = f.directoryAt(16);
    const std::uint32_t before = f.tablesBefore(directory);
    std::uint32_t tableStart[16];
    for (unsigned t = 0; t < 16; ++t) {
        tableStart[t] = f.place(before);
        f.put(directory + 4 * t, 4, tableStart[t] - directory);
        for (unsigned s = 0; s < 9; ++s)
            f.put(tableStart[t] + 4 + 4 * s, 4, f.place(before) - tableStart[t]);
    }
    for (const zel::CpuSpecPlace& p : zel::kCpuSpecPlaces) {
        if (p.section != zel::kPlain) continue;
        f.put(tableStart[p.table] + p.offset, p.width,
              static_cast<std::uint32_t>(f.number(-2, 60)));
    }
    return f.bytes();
}

// A JQWDB file: eleven tables anywhere before the directory, each with a
// header of a small last index (item count), a record size of 1 to 48 bytes
// and a split index among its items.
Bytes randomJqwdb(Rng& rng) {
    RandomFile f(rng, false);
    const std::uint32_t directory = f.directoryAt(11);
    const std::uint32_t before = f.tablesBefore(directory);
    for (unsigned t = 0; t <= 10; ++t) {
        const std::uint32_t start = f.place(before);
        f.put(directory + 4 * t, 4, start - directory);
        const int last = f.number(-1, 24);
        f.put(start, 4, static_cast<std::uint32_t>(last));
        f.put(start + 4, 4, static_cast<std::uint32_t>(f.number(1, 48)));
        f.put(start + 8, 4, static_cast<std::uint32_t>(f.number(0, last + 1)));
    }
    return f.bytes();
}

// One call of any member for the model, with selectors from just below to
// just above their ranges.
ZelCall randomCall(Rng& rng, const Model& m) {
    ZelCall c{static_cast<ZelMember>(uniform(rng, 0, ZEL_MEMBER_COUNT - 1)),
              m.modelIndex,
              m.osNumber,
              0,
              0,
              0};
    if (c.member == ZEL_CpuSpec) {
        c.first = m.cpuCode;
        c.second = m.osType;
    }
    const auto pick = [&](int hi) { return static_cast<short>(uniform(rng, -2, hi + 2)); };
    switch (c.member) {
        case ZEL_CDbTb2:
            c.third = pick(43);
            c.fourth = pick(40);
            break;
        case ZEL_CDbTb3:
            c.third = pick(22);
            break;
        case ZEL_CDbTb4:
            c.third = pick(115);
            c.fourth = pick(40);
            break;
        case ZEL_CDbTb5:
            c.third = pick(44);
            break;
        case ZEL_CDbTbMem:
            c.third = pick(9);
            c.fourth = pick(38);
            break;
        case ZEL_CPdbTb2:
        case ZEL_CPdbTb4:
            c.third = pick(24);
            c.fourth = pick(40);
            break;
        case ZEL_CPdbPMem:
            c.third = pick(3);
            c.value = static_cast<ZelLong>(rng());
            break;
        default:
            c.third = pick(24);
            break;
    }
    return c;
}

TEST(RandomLayoutTest, LibraryAndPlainReadsAgreeOnEveryMember) {
    const long calls = fromEnvironment("ZEL_RANDOM_CALLS", ZEL_RANDOM_CALLS_DEFAULT);
    const long firstSeed = fromEnvironment("ZEL_RANDOM_SEED", 1);
    TempDir dir;
    CZelComFuncDbase fast(dir.path().c_str());
    ZelPlainComFuncDbase plain(dir.path().c_str());
    long made = 0;
    for (long seed = firstSeed; made < calls; ++seed) {
        Rng rng(static_cast<Rng::result_type>(seed));
        const Model& model = kModels[uniform(rng, 0, static_cast<int>(std::size(kModels)) - 1)];
        dir.write(zel::databaseFileName(zel::kOsdbPrefix, model.cpuCode, model.osType),
                  randomOsdb(rng, model.cpuCode < 30));
        dir.write(zel::databaseFileName(zel::kJqwdbPrefix, model.cpuCode, model.osType),
                  randomJqwdb(rng));
        for (int i = 0; i < kCallsPerDatabase && made < calls; ++i, ++made) {
            const std::string differ =
                zel::testing::bothWaysDiffer(fast, plain, randomCall(rng, model));
            ASSERT_EQ(differ, "") << "database seed " << seed << ", call " << i
                                  << " (replay: ZEL_RANDOM_SEED=" << seed << ")";
        }
    }
}

}  // namespace
