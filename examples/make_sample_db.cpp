// Writes a small sample database: the OSDB files of a few CPU models in both
// byte orders, holding their CPU specification values.
#include <cstdio>
#include <filesystem>
#include <string>

#include "writer/db_writer.h"

namespace {

struct SampleModel {
    short cpuCode;
    short osType;
    std::int32_t spec[6];
};

// Plausible values: entry counts, a secondary count, memory sizes and flags.
constexpr SampleModel kSamples[] = {
    {2, 0, {32, 12, 4096, 2, 1, 256}},    {2, 1, {32, 12, 8192, 2, 1, 256}},
    {8, 0, {8, 3, 1024, 1, 0, 64}},       {12, 0, {32, 12, 16384, 4, 1, 512}},
    {30, 0, {32, 12, 32767, 4, 2, 1024}}, {36, 1, {32, 12, -1, 8, 3, 2048}},
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_sample_db OUTDIR\n");
        return 2;
    }
    const std::string out = argv[1];
    try {
        std::filesystem::create_directories(out);
        for (const SampleModel& m : kSamples) {
            zel::writer::OsdbLayout layout;
            zel::writer::setCpuSpecValues(layout, m.spec);
            const auto bytes = zel::writer::buildOsdb(layout, zel::osdbByteOrder(m.cpuCode));
            zel::writer::writeFile(out + "/" + zel::writer::osdbFileName(m.cpuCode, m.osType),
                                   bytes);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make_sample_db: %s\n", e.what());
        return 1;
    }
    return 0;
}
