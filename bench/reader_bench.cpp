// Per-call cost of every reader family through the library, against
//  - the original access pattern replayed with raw system calls (open, a seek
//    and a read per field, close; the OSDB file opened twice by DbTb2/DbTb4),
//  - the floor: per distinct file, open + one 4 KiB read per distinct aligned
//    block holding a field of the call + close,
// on a normal database and on one padded to 16 MiB, plus heap allocations per
// call. Prints the ratios at the end; all figures come from one run.
#include <ZelComFuncDbase.h>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <new>
#include <set>
#include <string>
#include <vector>

#include "accessor/fault_injector.h"
#include "bench/bench_database.h"

// Counting allocator: every heap allocation of the process is counted.
namespace {
std::atomic<long> g_allocations{0};
}
void* operator new(std::size_t n) {
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

constexpr std::size_t kPaddedSize = 16u << 20;
constexpr std::size_t kCpuSpecFields = 11;

struct Family {
    const char* name;
    std::function<short(CZelComFuncDbase&)> call;
    // The original read the CPU specification values through an open of
    // their own before opening the OSDB file again (DbTb2, DbTb4).
    bool cpuSpecOwnOpen = false;
};

const std::vector<Family>& families() {
    static const std::vector<Family> list = {
        {"CpuSpec_msb",
         [](CZelComFuncDbase& db) {
             ZelLong v[6];
             return db.CpuSpec(2, 0, v);
         }},
        {"CpuSpec_lsb",
         [](CZelComFuncDbase& db) {
             ZelLong v[6];
             return db.CpuSpec(30, 0, v);
         }},
        {"CDbTb2",
         [](CZelComFuncDbase& db) {
             DbAd r;
             return db.CDbTb2(1, 1, 28, 3, &r);
         },
         true},
        {"CDbTb3",
         [](CZelComFuncDbase& db) {
             DbAd r;
             return db.CDbTb3(1, 1, 9, &r);
         }},
        {"CDbTb4",
         [](CZelComFuncDbase& db) {
             DbBAd r;
             return db.CDbTb4(1, 1, 40, 5, &r);
         },
         true},
        {"CDbTb5",
         [](CZelComFuncDbase& db) {
             DbBAd r;
             return db.CDbTb5(1, 1, 20, &r);
         }},
        {"CDbTbMem",
         [](CZelComFuncDbase& db) {
             ZelLong v;
             return db.CDbTbMem(1, 1, 3, 7, &v);
         }},
        {"CPdbTb0",
         [](CZelComFuncDbase& db) {
             PdbJAd r;
             return db.CPdbTb0(1, 1, 30, &r);
         }},
        {"CPdbTb1",
         [](CZelComFuncDbase& db) {
             PdbCAd r;
             return db.CPdbTb1(1, 1, 30, &r);
         }},
        {"CPdbTb2",
         [](CZelComFuncDbase& db) {
             PdbWD r;
             return db.CPdbTb2(1, 1, 30, 7, &r);
         }},
        {"CPdbTb3",
         [](CZelComFuncDbase& db) {
             PdbWD r;
             return db.CPdbTb3(1, 1, 30, &r);
         }},
        {"CPdbTb4",
         [](CZelComFuncDbase& db) {
             PdbBD r;
             return db.CPdbTb4(1, 1, 30, 7, &r);
         }},
        {"CPdbTb5",
         [](CZelComFuncDbase& db) {
             PdbBD r;
             return db.CPdbTb5(1, 1, 30, &r);
         }},
        {"CPdbTb6",
         [](CZelComFuncDbase& db) {
             PdbAnyWD r;
             return db.CPdbTb6(1, 1, 30, &r);
         }},
        {"CPdbTb7",
         [](CZelComFuncDbase& db) {
             PdbAnyBD r;
             return db.CPdbTb7(1, 1, 30, &r);
         }},
        {"CPdbTb8",
         [](CZelComFuncDbase& db) {
             PdbAnyWD r;
             return db.CPdbTb8(1, 1, 30, &r);
         }},
        {"CPdbTb9",
         [](CZelComFuncDbase& db) {
             PdbAnyPBD r;
             return db.CPdbTb9(1, 1, 30, &r);
         }},
        {"CPdbTb10",
         [](CZelComFuncDbase& db) {
             PdbBkup r;
             return db.CPdbTb10(1, 1, 30, &r);
         }},
        {"GetPdbTb10ItemCount",
         [](CZelComFuncDbase& db) {
             ZelLong n;
             return db.GetPdbTb10ItemCount(1, 1, &n);
         }},
    };
    return list;
}

// One open of a file and the fields read through it.
struct OpenReads {
    std::string path;
    std::vector<zel::faults::FieldRead> fields;
};

// The opens and field reads of one call, as the library makes them.
std::vector<OpenReads> recordCall(const Family& f, CZelComFuncDbase& db) {
    zel::faults::Injector injector;
    injector.record = true;
    short result;
    {
        zel::faults::Scope scope(injector);
        result = f.call(db);
    }
    if (result != 0) {
        std::fprintf(stderr, "benchmark call %s failed with %d\n", f.name, result);
        std::exit(1);
    }
    std::vector<OpenReads> opens;
    for (const std::string& path : injector.openedFiles) opens.push_back({path, {}});
    for (const auto& field : injector.fieldReads)
        opens[static_cast<std::size_t>(field.file)].fields.push_back(field);
    return opens;
}

// The original pattern: the CPU specification values read through an open
// of their own where the original did so.
std::vector<OpenReads> originalPattern(const Family& f, std::vector<OpenReads> opens) {
    if (f.cpuSpecOwnOpen && opens.size() == 1 && opens[0].fields.size() > kCpuSpecFields) {
        OpenReads cpuValues{opens[0].path,
                            {opens[0].fields.begin(), opens[0].fields.begin() + kCpuSpecFields}};
        opens[0].fields.erase(opens[0].fields.begin(), opens[0].fields.begin() + kCpuSpecFields);
        opens.insert(opens.begin(), cpuValues);
    }
    return opens;
}

void replayOriginal(const std::vector<OpenReads>& opens) {
    unsigned char buf[16];
    for (const OpenReads& open : opens) {
        const int fd = ::open(open.path.c_str(), O_RDONLY);
        for (const auto& field : open.fields) {
            ::lseek(fd, static_cast<off_t>(field.pos), SEEK_SET);
            benchmark::DoNotOptimize(::read(fd, buf, field.width));
        }
        ::close(fd);
    }
}

// The floor: per distinct file, the distinct 4 KiB blocks its fields touch.
std::map<std::string, std::set<std::uint32_t>> floorBlocks(const std::vector<OpenReads>& opens) {
    std::map<std::string, std::set<std::uint32_t>> blocks;
    for (const OpenReads& open : opens) {
        for (const auto& field : open.fields) {
            blocks[open.path].insert(field.pos / 4096);
            blocks[open.path].insert((field.pos + field.width - 1) / 4096);
        }
    }
    return blocks;
}

void replayFloor(const std::map<std::string, std::set<std::uint32_t>>& files) {
    static unsigned char buf[4096];
    for (const auto& [path, blocks] : files) {
        const int fd = ::open(path.c_str(), O_RDONLY);
        for (std::uint32_t block : blocks)
            benchmark::DoNotOptimize(::pread(fd, buf, 4096, off_t{block} * 4096));
        ::close(fd);
    }
}

struct Databases {
    std::string normal;
    std::string padded;
};

// Collects the per-call time (minimum over the repetitions) of every
// benchmark and prints the ratios after the run.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    RatioReporter() : ConsoleReporter(OO_Tabular) {}

    // Only the minimum over the repetitions is shown and kept: on a shared,
    // noisy machine it is the steadiest estimate of a call's cost.
    void ReportRuns(const std::vector<Run>& runs) override {
        std::vector<Run> kept;
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Aggregate || run.aggregate_name != "min") continue;
            m_nanos[run.run_name.function_name] = run.GetAdjustedRealTime();
            kept.push_back(run);
        }
        if (!kept.empty()) ConsoleReporter::ReportRuns(kept);
    }
    double nanos(const std::string& name) const {
        const auto it = m_nanos.find(name);
        return it == m_nanos.end() ? 0.0 : it->second;
    }

  private:
    std::map<std::string, double> m_nanos;
};

double minimum(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }

template <class Fn>
void add(const std::string& name, Fn fn) {
    benchmark::RegisterBenchmark(name.c_str(),
                                 [fn](benchmark::State& state) {
                                     for (auto _ : state) fn();
                                 })
        ->Unit(benchmark::kNanosecond)
        ->MinTime(0.02)
        ->Repetitions(9)
        ->ComputeStatistics("min", minimum)
        ->DisplayAggregatesOnly(true);
}

long allocationsPerCall(const Family& f, CZelComFuncDbase& db) {
    constexpr int kCalls = 1000;
    f.call(db);
    const long before = g_allocations.load();
    for (int i = 0; i < kCalls; ++i) f.call(db);
    return (g_allocations.load() - before + kCalls - 1) / kCalls;
}

}  // namespace

int main(int argc, char** argv) {
    // Benchmarks run interleaved in random order, so that a burst of load on
    // the machine spreads over all of them instead of skewing one ratio.
    std::vector<char*> args(argv, argv + argc);
    std::string interleave = "--benchmark_enable_random_interleaving=true";
    args.insert(args.begin() + 1, interleave.data());
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    const auto root =
        std::filesystem::temp_directory_path() / ("zeldb-bench-" + std::to_string(::getpid()));
    const Databases dbs{(root / "normal").string(), (root / "padded").string()};
    std::filesystem::create_directories(dbs.normal);
    std::filesystem::create_directories(dbs.padded);
    zel::bench::writeBenchDatabase(dbs.normal, 0);
    zel::bench::writeBenchDatabase(dbs.padded, kPaddedSize);

    static CZelComFuncDbase normal(dbs.normal.c_str());
    static CZelComFuncDbase padded(dbs.padded.c_str());
    std::map<std::string, long> allocations;
    for (const Family& f : families()) {
        const auto original = originalPattern(f, recordCall(f, normal));
        const auto floor = floorBlocks(recordCall(f, normal));
        add(std::string("lib/") + f.name, [&f] { benchmark::DoNotOptimize(f.call(normal)); });
        add(std::string("lib16MiB/") + f.name, [&f] { benchmark::DoNotOptimize(f.call(padded)); });
        add(std::string("original/") + f.name, [original] { replayOriginal(original); });
        add(std::string("floor/") + f.name, [floor] { replayFloor(floor); });
        allocations[f.name] = allocationsPerCall(f, normal);
    }

    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("\n%-20s %9s %9s %9s %10s %10s %10s %7s\n", "family", "lib ns", "floor ns",
                "lib/floor", "16MiB/norm", "original", "speedup", "allocs");
    bool met = true;
    for (const Family& f : families()) {
        const std::string n = f.name;
        const double lib = reporter.nanos("lib/" + n), floor = reporter.nanos("floor/" + n);
        const double big = reporter.nanos("lib16MiB/" + n), orig = reporter.nanos("original/" + n);
        if (lib <= 0 || floor <= 0) continue;  // filtered out
        const double toFloor = lib / floor, toNormal = big / lib;
        const bool ok = toFloor <= 1.25 && toNormal <= 1.2 && allocations[n] == 0;
        met = met && ok;
        std::printf("%-20s %9.0f %9.0f %9.2f %10.2f %10.0f %9.2fx %7ld %s\n", n.c_str(), lib, floor,
                    toFloor, toNormal, orig, orig / lib, allocations[n],
                    ok ? "" : "  <-- target missed");
    }
    std::printf("\nTargets (lib/floor <= 1.25, 16MiB/normal <= 1.2, 0 allocations): %s\n",
                met ? "met" : "MISSED");
    std::filesystem::remove_all(root);
    return 0;
}
