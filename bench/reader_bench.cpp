// Per-call cost of every reader family through the library, against
//  - the original access pattern replayed with raw system calls (open, a seek
//    and a read per field, close; the OSDB file opened twice by DbTb2/DbTb4),
//  - the floor: per distinct file, open + one 4 KiB read per distinct aligned
//    block holding a field of the call + close,
//  - the checked floor: the same with the fstat after the open that tells a
//    regular file from a FIFO or a device, which the library must not read,
// on two layouts of the database (compact and scattered), each also padded
// to 16 MiB, plus heap allocations and system calls (opens, reads, closes,
// others: fstat and fcntl) per call of the library and of the floors. Prints
// the ratios at the end; all figures come from one run. Times are CPU time (user + system) per
// call: on a machine shared with other work they do not count the time the
// process waits for a processor.
#include <ZelComFuncDbase.h>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <new>
#include <set>
#include <string>
#include <vector>

#include "bench/bench_database.h"
#include "tests/plain/plain_accessor.h"
#include "tests/support/member_call.h"

// Counting allocator: every heap allocation of the process is counted.
namespace {
std::atomic<long> g_allocations{0};

// System calls made by this program's own code and the library linked into
// it (the link wraps these symbols, see CMakeLists.txt).
struct SystemCalls {
    long opens = 0, reads = 0, closes = 0, others = 0;
};
SystemCalls g_calls;

// A field read: `width` bytes at `pos`.
struct FieldRead {
    std::int64_t pos;
    std::size_t width;
};

// One open of a file and the fields read through it.
struct OpenReads {
    std::string path;
    std::vector<FieldRead> fields;
};

// While set, the opens and reads of the process are logged here: the slow
// twin of the library (tests/plain) reads each field on its own, so its
// reads are the fields of a call.
std::vector<OpenReads>* g_recording = nullptr;
}  // namespace

extern "C" {
int __real_open64(const char* path, int flags, ...);
ssize_t __real_pread64(int fd, void* buf, std::size_t n, off_t offset);
ssize_t __real_read(int fd, void* buf, std::size_t n);
int __real_close(int fd);
int __real_fstat64(int fd, struct stat* st);
int __real_fcntl64(int fd, int command, ...);

int __wrap_open64(const char* path, int flags, ...) {
    ++g_calls.opens;
    if (g_recording) g_recording->push_back({path, {}});
    return __real_open64(path, flags);  // read-only opens: no mode argument
}
ssize_t __wrap_pread64(int fd, void* buf, std::size_t n, off_t offset) {
    ++g_calls.reads;
    if (g_recording && !g_recording->empty()) g_recording->back().fields.push_back({offset, n});
    return __real_pread64(fd, buf, n, offset);
}
ssize_t __wrap_read(int fd, void* buf, std::size_t n) {
    ++g_calls.reads;
    return __real_read(fd, buf, n);
}
int __wrap_close(int fd) {
    ++g_calls.closes;
    return __real_close(fd);
}
int __wrap_fstat64(int fd, struct stat* st) {
    ++g_calls.others;
    return __real_fstat64(fd, st);
}
int __wrap_fcntl64(int fd, int command, ...) {
    ++g_calls.others;
    std::va_list args;
    va_start(args, command);
    const long argument = va_arg(args, long);  // the commands used take an int or nothing
    va_end(args);
    return __real_fcntl64(fd, command, argument);
}
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
    ZelCall call;
    // The original read the CPU specification values through an open of
    // their own before opening the OSDB file again (DbTb2, DbTb4).
    bool cpuSpecOwnOpen = false;

    template <class Db>
    short on(Db& db) const {
        ZelOutput out;
        return zel::testing::callMember(db, call, &out);
    }
};

const std::vector<Family>& families() {
    static const std::vector<Family> list = {
        {"CpuSpec_msb", {ZEL_CpuSpec, 2, 0, 0, 0, 0}},
        {"CpuSpec_lsb", {ZEL_CpuSpec, 30, 0, 0, 0, 0}},
        {"CDbTb2", {ZEL_CDbTb2, 1, 1, 28, 3, 0}, true},
        {"CDbTb3", {ZEL_CDbTb3, 1, 1, 9, 0, 0}},
        {"CDbTb4", {ZEL_CDbTb4, 1, 1, 40, 5, 0}, true},
        {"CDbTb5", {ZEL_CDbTb5, 1, 1, 20, 0, 0}},
        {"CDbTbMem", {ZEL_CDbTbMem, 1, 1, 3, 7, 0}},
        {"CPdbTb0", {ZEL_CPdbTb0, 1, 1, 30, 0, 0}},
        {"CPdbTb1", {ZEL_CPdbTb1, 1, 1, 30, 0, 0}},
        {"CPdbTb2", {ZEL_CPdbTb2, 1, 1, 30, 7, 0}},
        {"CPdbTb3", {ZEL_CPdbTb3, 1, 1, 30, 0, 0}},
        {"CPdbTb4", {ZEL_CPdbTb4, 1, 1, 30, 7, 0}},
        {"CPdbTb5", {ZEL_CPdbTb5, 1, 1, 30, 0, 0}},
        {"CPdbTb6", {ZEL_CPdbTb6, 1, 1, 30, 0, 0}},
        {"CPdbTb7", {ZEL_CPdbTb7, 1, 1, 30, 0, 0}},
        {"CPdbTb8", {ZEL_CPdbTb8, 1, 1, 30, 0, 0}},
        {"CPdbTb9", {ZEL_CPdbTb9, 1, 1, 30, 0, 0}},
        {"CPdbTb10", {ZEL_CPdbTb10, 1, 1, 30, 0, 0}},
        {"GetPdbTb10ItemCount", {ZEL_GetPdbTb10ItemCount, 1, 1, 0, 0, 0}},
    };
    return list;
}

// The opens and field reads of one call, as the slow twin of the library
// makes them.
std::vector<OpenReads> recordCall(const Family& f, const std::string& directory) {
    ZelPlainComFuncDbase db(directory.c_str());
    std::vector<OpenReads> opens;
    g_recording = &opens;
    const short result = f.on(db);
    g_recording = nullptr;
    if (result != 0) {
        std::fprintf(stderr, "benchmark call %s failed with %d\n", f.name, result);
        std::exit(1);
    }
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

void replayFloor(const std::map<std::string, std::set<std::uint32_t>>& files, bool checked) {
    static unsigned char buf[4096];
    for (const auto& [path, blocks] : files) {
        const int fd = ::open(path.c_str(), O_RDONLY);
        struct stat st;
        if (checked && (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))) std::abort();
        for (std::uint32_t block : blocks)
            benchmark::DoNotOptimize(::pread(fd, buf, 4096, off_t{block} * 4096));
        ::close(fd);
    }
}

// Collects the per-call CPU time (minimum over the repetitions) of every
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
            m_nanos[run.run_name.function_name] = run.GetAdjustedCPUTime();
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

// What one call costs besides time: heap allocations and system calls,
// averaged over many calls.
struct CallCounts {
    long allocations = 0;
    double opens = 0, reads = 0, closes = 0, others = 0;
};

template <class Fn>
CallCounts countsPerCall(Fn call) {
    constexpr int kCalls = 1000;
    call();
    const long allocationsBefore = g_allocations.load();
    const SystemCalls before = g_calls;
    for (int i = 0; i < kCalls; ++i) call();
    CallCounts c;
    c.allocations = (g_allocations.load() - allocationsBefore + kCalls - 1) / kCalls;
    c.opens = static_cast<double>(g_calls.opens - before.opens) / kCalls;
    c.reads = static_cast<double>(g_calls.reads - before.reads) / kCalls;
    c.closes = static_cast<double>(g_calls.closes - before.closes) / kCalls;
    c.others = static_cast<double>(g_calls.others - before.others) / kCalls;
    return c;
}

std::string systemCalls(const CallCounts& c) {
    char text[64];
    std::snprintf(text, sizeof text, "%g/%g/%g/%g", c.opens, c.reads, c.closes, c.others);
    return text;
}

// Opens, reads and closes against the floor, others (the fstat) against the
// checked floor.
bool noMoreCalls(const CallCounts& lib, const CallCounts& floor, const CallCounts& checked) {
    return lib.opens <= floor.opens && lib.reads <= floor.reads && lib.closes <= floor.closes &&
           lib.others <= checked.others;
}

// One layout of the database, written normal and padded to 16 MiB.
struct Database {
    zel::bench::Layout layout;
    const char* name;
    std::unique_ptr<CZelComFuncDbase> normal, padded;
    std::map<std::string, CallCounts> lib, floor, checked;
};

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

    static Database databases[] = {
        {zel::bench::Layout::compact, "compact", {}, {}, {}, {}, {}},
        {zel::bench::Layout::scattered, "scattered", {}, {}, {}, {}, {}}};
    for (Database& db : databases) {
        const auto normal = root / db.name / "normal", padded = root / db.name / "padded";
        std::filesystem::create_directories(normal);
        std::filesystem::create_directories(padded);
        zel::bench::writeBenchDatabase(normal.string(), db.layout, 0);
        zel::bench::writeBenchDatabase(padded.string(), db.layout, kPaddedSize);
        db.normal = std::make_unique<CZelComFuncDbase>(normal.string().c_str());
        db.padded = std::make_unique<CZelComFuncDbase>(padded.string().c_str());
        for (const Family& f : families()) {
            const std::string n = std::string(db.name) + "/" + f.name;
            CZelComFuncDbase& lib = *db.normal;
            CZelComFuncDbase& big = *db.padded;
            const auto original = originalPattern(f, recordCall(f, normal.string()));
            const auto floor = floorBlocks(recordCall(f, normal.string()));
            add("lib/" + n, [&f, &lib] { benchmark::DoNotOptimize(f.on(lib)); });
            add("lib16MiB/" + n, [&f, &big] { benchmark::DoNotOptimize(f.on(big)); });
            add("original/" + n, [original] { replayOriginal(original); });
            add("floor/" + n, [floor] { replayFloor(floor, false); });
            add("checked/" + n, [floor] { replayFloor(floor, true); });
            db.lib[f.name] = countsPerCall([&f, &lib] { f.on(lib); });
            db.floor[f.name] = countsPerCall([floor] { replayFloor(floor, false); });
            db.checked[f.name] = countsPerCall([floor] { replayFloor(floor, true); });
        }
    }

    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    bool met = true;
    for (const Database& db : databases) {
        std::printf(
            "\n%s layout (CPU ns per call; system calls per call as opens/reads/closes/others)\n",
            db.name);
        std::printf("%-20s %7s %8s %8s %9s %8s %6s %8s %8s %9s %11s %6s\n", "family", "lib ns",
                    "floor ns", "lib/floor", "checked ns", "lib/chk", "16MiB", "original",
                    "speedup", "lib calls", "floor calls", "allocs");
        for (const Family& f : families()) {
            const std::string n = std::string(db.name) + "/" + f.name;
            const double lib = reporter.nanos("lib/" + n), floor = reporter.nanos("floor/" + n);
            const double checked = reporter.nanos("checked/" + n);
            const double big = reporter.nanos("lib16MiB/" + n);
            const double orig = reporter.nanos("original/" + n);
            if (lib <= 0 || floor <= 0 || checked <= 0 || big <= 0) continue;  // filtered out
            const CallCounts& libCalls = db.lib.at(f.name);
            const double toChecked = lib / checked, toNormal = big / lib;
            const bool ok = toChecked <= 1.10 && toNormal <= 1.05 && libCalls.allocations == 0 &&
                            noMoreCalls(libCalls, db.floor.at(f.name), db.checked.at(f.name));
            met = met && ok;
            std::printf("%-20s %7.0f %8.0f %9.2f %10.0f %7.2f %6.2f %8.0f %7.2fx %9s %11s %6ld%s\n",
                        f.name, lib, floor, lib / floor, checked, toChecked, toNormal, orig,
                        orig > 0 ? orig / lib : 0.0, systemCalls(libCalls).c_str(),
                        systemCalls(db.floor.at(f.name)).c_str(), libCalls.allocations,
                        ok ? "" : "  <-- target missed");
        }
    }
    std::printf(
        "\nTargets (lib/checked floor <= 1.10, 16MiB/normal <= 1.05, 0 allocations, opens, reads "
        "and closes <= the floor's, one fstat per open): %s\n",
        met ? "met" : "MISSED");
    std::filesystem::remove_all(root);
    return 0;
}
