// Writes the seed corpora of the fuzz targets: valid OSDB files in both byte
// orders for several CPU models, and valid JQWDB files with several record
// sizes, each with selector bytes in its first 8 bytes that the fuzz targets
// turn into the questions they ask (see harness.h).
//
// Usage: make_seeds OUTDIR  (writes OUTDIR/osdb/*.bin and OUTDIR/jqwdb/*.bin)
#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#include "fuzz/sample_files.h"
#include "writer/db_writer.h"
#include "writer/random_layout.h"

namespace {

using zel::ByteOrder;
using zel::writer::Bytes;

struct OsdbSeed {
    const char* name;
    ByteOrder order;
    std::int32_t value0, value1;
    bool directoryLast;
    std::uint32_t sectionBytes;
    std::uint8_t selectors[8];  // byte 7 picks the models (harness.h)
};

constexpr ByteOrder kMsbFirst = ByteOrder::mostSignificantFirst;
constexpr ByteOrder kLsbFirst = ByteOrder::leastSignificantFirst;

// The large-section seed and the JQWDB seed with its directory at 20000 put
// fields beyond the first 16 KiB of the file, which a call's first read takes,
// so that the blocks read one by one after it are fuzzed too.
constexpr OsdbSeed kOsdbSeeds[] = {
    {"msb-first-class1.bin", kMsbFirst, 20, 10, false, 256, {30, 5, 3, 85, 9, 2, 6, 0}},
    {"msb-first-four-field.bin", kMsbFirst, 8, 3, false, 256, {2, 3, 14, 87, 5, 22, 3, 1}},
    {"msb-first-no-secondary-slots.bin", kMsbFirst, 12, 0, false, 256, {10, 1, 7, 40, 2, 4, 10, 2}},
    {"msb-first-directory-last.bin", kMsbFirst, 16, 4, true, 256, {45, 8, 20, 110, 17, 33, 5, 3}},
    {"msb-first-large-sections.bin", kMsbFirst, 20, 10, false, 2048, {30, 5, 3, 85, 9, 2, 6, 0}},
    {"lsb-first.bin", kLsbFirst, 20, 10, false, 256, {30, 5, 3, 85, 9, 2, 6, 0}},
    {"lsb-first-lower-case-name.bin",
     kLsbFirst,
     32,
     12,
     false,
     256,
     {12, 20, 9, 60, 34, 27, 11, 4}},
};

struct JqwdbSeed {
    const char* name;
    std::int32_t recordSize;
    std::uint32_t directoryBase;
    std::uint8_t selectors[8];
};

constexpr JqwdbSeed kJqwdbSeeds[] = {
    {"record-size-16.bin", 16, 16, {2, 3, 4, 5, 3, 4, 5, 0}},
    {"record-size-20.bin", 20, 16, {5, 2, 3, 4, 6, 7, 8, 5}},
    {"record-size-8.bin", 8, 16, {4, 5, 2, 3, 2, 3, 4, 2}},
    {"directory-base-64.bin", 12, 64, {3, 4, 5, 2, 5, 9, 6, 7}},
    {"directory-base-20000.bin", 16, 20000, {2, 3, 4, 5, 3, 4, 5, 0}},
};

// Files of 5 to 40 blocks whose tables and sections start at unaligned
// positions, many a few bytes before a block edge, with the directory after
// them (writer/random_layout.h): their fields cross block edges where the
// blocks after the first 16 KiB are read one by one.
struct RandomSeed {
    const char* name;
    std::uint32_t seed;  // one that gives a file of at most 64 KiB
    ByteOrder order;     // OSDB files
    std::uint8_t selectors[8];
};

constexpr RandomSeed kRandomOsdbSeeds[] = {
    {"random-layout-msb-first-5.bin", 5, kMsbFirst, {30, 5, 3, 85, 9, 2, 6, 0}},
    {"random-layout-msb-first-14.bin", 14, kMsbFirst, {10, 1, 7, 40, 2, 4, 10, 2}},
    {"random-layout-lsb-first-13.bin", 13, kLsbFirst, {12, 20, 9, 60, 34, 27, 11, 4}},
    // Asks for a field that starts just before a block the call already holds
    // while the block before it is not held.
    {"random-layout-msb-first-22.bin", 22, kMsbFirst, {1, 2, 3, 4, 5, 6, 7, 5}},
};
constexpr RandomSeed kRandomJqwdbSeeds[] = {
    {"random-layout-6.bin", 6, kLsbFirst, {2, 3, 4, 5, 3, 4, 5, 0}},
    {"random-layout-22.bin", 22, kLsbFirst, {5, 2, 3, 4, 6, 7, 8, 5}},
};

void write(const std::filesystem::path& dir, const char* name, const Bytes& bytes) {
    std::filesystem::create_directories(dir);
    zel::writer::writeFile((dir / name).string(), bytes);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_seeds OUTDIR\n");
        return 2;
    }
    const std::filesystem::path out = argv[1];
    try {
        for (const OsdbSeed& seed : kOsdbSeeds) {
            auto layout = zel::fuzz::sampleOsdb(seed.value0, seed.value1, seed.sectionBytes);
            layout.directoryLast = seed.directoryLast;
            Bytes bytes = zel::writer::buildOsdb(layout, seed.order);
            zel::fuzz::putSelectors(bytes, seed.selectors);
            write(out / "osdb", seed.name, bytes);
        }
        for (const JqwdbSeed& seed : kJqwdbSeeds) {
            auto layout = zel::fuzz::sampleJqwdb(seed.recordSize);
            layout.directoryBase = seed.directoryBase;
            Bytes bytes = zel::writer::buildJqwdb(layout);
            zel::fuzz::putSelectors(bytes, seed.selectors);
            write(out / "jqwdb", seed.name, bytes);
        }
        for (const RandomSeed& seed : kRandomOsdbSeeds) {
            zel::writer::RandomSource random(seed.seed);
            Bytes bytes = zel::writer::randomOsdb(random, seed.order);
            zel::fuzz::putSelectors(bytes, seed.selectors);
            write(out / "osdb", seed.name, bytes);
        }
        for (const RandomSeed& seed : kRandomJqwdbSeeds) {
            zel::writer::RandomSource random(seed.seed);
            Bytes bytes = zel::writer::randomJqwdb(random);
            zel::fuzz::putSelectors(bytes, seed.selectors);
            write(out / "jqwdb", seed.name, bytes);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make_seeds: %s\n", e.what());
        return 1;
    }
    return 0;
}
