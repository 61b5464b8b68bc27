// The library against its slow twin (tests/support/both_ways.h) on random
// databases laid out the way no tool lays them out (writer/random_layout.h):
// unaligned tables and sections, often just before a block edge, directories
// after the tables, files of 5 to 40 blocks. Every member is asked with
// selectors in and around their ranges; each call must give the same result
// and output both ways.
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
#include <string>

#include "accessor/file_naming.h"
#include "tests/support/both_ways.h"
#include "tests/support/temp_dir.h"
#include "writer/random_layout.h"

#ifndef ZEL_RANDOM_CALLS_DEFAULT
#define ZEL_RANDOM_CALLS_DEFAULT 100000
#endif

namespace {

using zel::testing::TempDir;
using Rng = zel::writer::RandomSource;

constexpr int kCallsPerDatabase = 250;

long fromEnvironment(const char* name, long fallback) {
    const char* text = std::getenv(name);
    return text && *text ? std::strtol(text, nullptr, 10) : fallback;
}

// A model with database files, as the host names it and as the files do.
struct Model {
    short modelIndex, osNumber, cpuCode, osType;
};
// Big-endian CPU codes of both item map classes, little-endian ones.
constexpr Model kModels[] = {{13, 5, 16, 4}, {4, 1, 1, 0},   {18, 1, 20, 0},
                             {11, 2, 11, 1}, {20, 1, 30, 0}, {27, 2, 38, 1}};

// The highest in-range third and fourth selector of each member, in the order
// of tests/support/members.h: items, entries, memory kind and index, record
// indices of the random JQWDB tables.
constexpr short kHighest[ZEL_MEMBER_COUNT][2] = {
    {0, 0},  {0, 0},  {0, 0},  {43, 40}, {22, 0},  {115, 40}, {44, 0},
    {9, 38}, {3, 0},  {24, 0}, {24, 0},  {24, 40}, {24, 0},   {24, 40},
    {24, 0}, {24, 0}, {24, 0}, {24, 0},  {24, 0},  {24, 0},   {0, 0}};

// One call of any member for the model, with selectors from just below to
// just above their ranges.
ZelCall randomCall(Rng& rng, const Model& m) {
    const auto member = static_cast<ZelMember>(rng.between(0, ZEL_MEMBER_COUNT - 1));
    const bool internal = member == ZEL_CpuSpec;
    const auto pick = [&](int i) {
        return static_cast<short>(rng.between(-2, kHighest[member][i] + 2));
    };
    return {member,  internal ? m.cpuCode : m.modelIndex, internal ? m.osType : m.osNumber, pick(0),
            pick(1), static_cast<ZelLong>(rng.next())};
}

TEST(RandomLayoutTest, LibraryAndPlainReadsAgreeOnEveryMember) {
    const long calls = fromEnvironment("ZEL_RANDOM_CALLS", ZEL_RANDOM_CALLS_DEFAULT);
    const long firstSeed = fromEnvironment("ZEL_RANDOM_SEED", 1);
    TempDir dir;
    CZelComFuncDbase fast(dir.path().c_str());
    ZelPlainComFuncDbase plain(dir.path().c_str());
    long made = 0;
    for (long seed = firstSeed; made < calls; ++seed) {
        Rng rng(static_cast<std::uint32_t>(seed));
        const Model& model = kModels[rng.between(0, static_cast<int>(std::size(kModels)) - 1)];
        dir.write(zel::databaseFileName(zel::kOsdbPrefix, model.cpuCode, model.osType),
                  zel::writer::randomOsdb(rng, zel::osdbByteOrder(model.cpuCode)));
        dir.write(zel::databaseFileName(zel::kJqwdbPrefix, model.cpuCode, model.osType),
                  zel::writer::randomJqwdb(rng));
        for (int i = 0; i < kCallsPerDatabase && made < calls; ++i, ++made) {
            const std::string differ =
                zel::testing::bothWaysDiffer(fast, plain, randomCall(rng, model));
            ASSERT_EQ(differ, "") << "database seed " << seed << ", call " << i
                                  << " (replay: ZEL_RANDOM_SEED=" << seed << ")";
        }
    }
}

}  // namespace
