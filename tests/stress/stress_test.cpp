// Eight threads ask every public member of one shared accessor and of copies
// of it, while another thread changes the database files underneath:
//
// - the files of one CPU model are only ever replaced by an atomic rename,
//   each time by one of three complete versions; a reader that opens one of
//   them sees one version or the other, so every answer about that model must
//   equal the answer of one of the versions;
// - the files of another model are truncated, grown, overwritten in place
//   and replaced by rename, with valid and damaged contents; every answer
//   about that model must merely obey the rules of every answer.
//
// The rules of every answer: a result code of the member's set (0, -1, -2
// from the address table readers, 100..114 from the members that read
// files), nothing written outside the caller's record, nothing written on a
// failure (the CPU specification values excepted). Built under
// ThreadSanitizer (preset tsan), which also checks that the calls share
// nothing unguarded.
//
// Usage: stress_test [SECONDS]   (default 3)
#include <ZelComFuncDbase.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "fuzz/sample_files.h"
#include "tests/support/database_names.h"
#include "tests/support/member_call.h"
#include "tests/support/temp_dir.h"
#include "writer/db_writer.h"

namespace {

using Clock = std::chrono::steady_clock;
using DB = CZelComFuncDbase;
using zel::writer::Bytes;

struct Model {
    short index, os, cpu, osType;
};

// Files replaced only by rename: CPU code 2 (OSDB most significant byte
// first). Files changed in every way: CPU code 30.
constexpr Model kRenamed{1, 1, 2, 0};
constexpr Model kChanged{20, 1, 30, 0};
constexpr unsigned kVersions = 3;

// Failures found by any thread; the first few are kept for the report.
std::mutex g_mutex;
std::vector<std::string> g_findings;
unsigned g_failures = 0;

void fail(const std::string& what) {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (g_findings.size() < 20) g_findings.push_back(what);
    ++g_failures;
}

// A call's result and the bytes of its record.
using Answer = std::pair<short, std::vector<unsigned char>>;

// What a member may answer and write.
enum Rule : unsigned { kReadsFile = 1, kAbsentMark = 2, kWritesAsItGoes = 4 };
constexpr unsigned kFile = kReadsFile, kAddress = kReadsFile | kAbsentMark;

// Every public member, with selectors that the files of every version
// accept (entry numbers within CPU specification values 0 and 1 of all
// versions), so that each version gives its own answer. The model's index
// and OS number (CpuSpec: CPU code and OS type) come first.
struct Call {
    const char* member;
    unsigned rules;
    ZelCall call;
};
const Call kCalls[] = {
    {"CDbCpuOsType", 0, {ZEL_CDbCpuOsType, 0, 0, 0, 0, 0}},
    {"CpuSpec", kReadsFile | kWritesAsItGoes, {ZEL_CpuSpec, 0, 0, 0, 0, 0}},
    {"CDbCpuSpec", kWritesAsItGoes, {ZEL_CDbCpuSpec, 0, 0, 0, 0, 0}},
    {"CDbTb2", kAddress, {ZEL_CDbTb2, 0, 0, 28, 3, 0}},
    {"CDbTb3", kAddress, {ZEL_CDbTb3, 0, 0, 1, 0, 0}},
    {"CDbTb4", kAddress, {ZEL_CDbTb4, 0, 0, 5, 2, 0}},
    {"CDbTb4 two-bit", kAddress, {ZEL_CDbTb4, 0, 0, 83, 5, 0}},
    {"CDbTb5", kAddress, {ZEL_CDbTb5, 0, 0, 2, 0, 0}},
    {"CDbTbMem", kFile, {ZEL_CDbTbMem, 0, 0, 9, 2, 0}},
    {"CPdbPMem", 0, {ZEL_CPdbPMem, 0, 0, 3, 0, 123456}},
    {"CPdbTb0", kFile, {ZEL_CPdbTb0, 0, 0, 1, 0, 0}},
    {"CPdbTb1", kFile, {ZEL_CPdbTb1, 0, 0, 2, 0, 0}},
    {"CPdbTb2", kFile, {ZEL_CPdbTb2, 0, 0, 1, 2, 0}},
    {"CPdbTb3", kFile, {ZEL_CPdbTb3, 0, 0, 3, 0, 0}},
    {"CPdbTb4", kFile, {ZEL_CPdbTb4, 0, 0, 2, 3, 0}},
    {"CPdbTb5", kFile, {ZEL_CPdbTb5, 0, 0, 0, 0, 0}},
    {"CPdbTb6", kFile, {ZEL_CPdbTb6, 0, 0, 1, 0, 0}},
    {"CPdbTb7", kFile, {ZEL_CPdbTb7, 0, 0, 3, 0, 0}},
    {"CPdbTb8", kFile, {ZEL_CPdbTb8, 0, 0, 2, 0, 0}},
    {"CPdbTb9", kFile, {ZEL_CPdbTb9, 0, 0, 0, 0, 0}},
    {"CPdbTb10", kFile, {ZEL_CPdbTb10, 0, 0, 3, 0, 0}},
    {"GetPdbTb10ItemCount", kFile, {ZEL_GetPdbTb10ItemCount, 0, 0, 0, 0, 0}},
};
constexpr std::size_t kCallCount = std::size(kCalls);

// Makes a call about a model with its record between guard bytes, and
// checks the answer against the rules of every answer.
Answer ask(DB& db, const Call& c, const Model& m) {
    ZelCall call = c.call;
    const bool byCpuCode = call.member == ZEL_CpuSpec;
    call.first = byCpuCode ? m.cpu : m.index;
    call.second = byCpuCode ? m.osType : m.os;
    constexpr unsigned char kFill = 0xA5;
    struct {
        unsigned char front[16];
        ZelOutput out;
        unsigned char back[16];
    } g;
    std::memset(static_cast<void*>(&g), kFill, sizeof g);
    const short result = zel::testing::callMember(db, call, &g.out);
    const auto filled = [&](const void* p, std::size_t n) {
        const auto* b = static_cast<const unsigned char*>(p);
        return std::all_of(b, b + n, [&](unsigned char x) { return x == kFill; });
    };
    const auto* record = reinterpret_cast<const unsigned char*>(&g.out);
    const std::size_t size = zel::testing::outputSize(call.member);
    const bool codeOk = result == 0 || result == -1 || (result == -2 && (c.rules & kAbsentMark)) ||
                        ((c.rules & kReadsFile) && result >= 100 && result <= 114);
    const std::string tag = std::string(c.member) + " answered " + std::to_string(result);
    if (!codeOk) fail(tag + ": result code outside its set");
    if (!filled(g.front, sizeof g.front) || !filled(g.back, sizeof g.back) ||
        !filled(record + size, sizeof g.out - size))
        fail(tag + ": bytes written outside the record");
    if (result != 0 && !(c.rules & kWritesAsItGoes) && !filled(record, size))
        fail(tag + ": output written on a failure");
    return Answer{result, std::vector<unsigned char>(record, record + size)};
}

// Version v of a model's files. CPU specification values 0 and 1 stay at
// least 8 and 4 in every version, above the entry numbers asked.
Bytes osdbVersion(const Model& m, unsigned v) {
    const auto layout = zel::fuzz::sampleOsdb(static_cast<std::int32_t>(8 + v),
                                              static_cast<std::int32_t>(4 + v), 1024, v + 1);
    return zel::writer::buildOsdb(layout, zel::osdbByteOrder(m.cpu));
}
Bytes jqwdbVersion(unsigned v) {
    return zel::writer::buildJqwdb(zel::fuzz::sampleJqwdb(16, v + 1));
}

std::string osdbName(const Model& m) { return zel::testing::osdbFileName(m.cpu, m.osType); }
std::string jqwdbName(const Model& m) { return zel::testing::jqwdbFileName(m.cpu, m.osType); }

// Writes a file next to its final name, then renames it over that name.
void replaceByRename(const zel::testing::TempDir& dir, const std::string& name, const Bytes& bytes,
                     unsigned serial) {
    const std::string temp = name + ".new" + std::to_string(serial);
    dir.write(temp, bytes);
    std::filesystem::rename(dir.file(temp), dir.file(name));
}

// The thread that changes the files until the deadline; the number of
// changes made.
unsigned changeFiles(const zel::testing::TempDir& dir, Clock::time_point deadline) {
    std::mt19937 rng(12345);
    const Bytes changedOsdb = osdbVersion(kChanged, 0), changedJqwdb = jqwdbVersion(0);
    unsigned changes = 0;
    for (; Clock::now() < deadline; ++changes) {
        const unsigned action = rng() % 8, v = rng() % kVersions;
        const bool osdb = rng() % 2 == 0;
        const std::string changed = osdb ? osdbName(kChanged) : jqwdbName(kChanged);
        const Bytes& valid = osdb ? changedOsdb : changedJqwdb;
        std::error_code ec;
        if (action < 2) {  // the renamed model: a new complete version
            if (osdb)
                replaceByRename(dir, osdbName(kRenamed), osdbVersion(kRenamed, v), changes);
            else
                replaceByRename(dir, jqwdbName(kRenamed), jqwdbVersion(v), changes);
        } else if (action == 2) {  // truncated in place
            std::filesystem::resize_file(dir.file(changed), rng() % (valid.size() + 1), ec);
        } else if (action == 3) {  // grown in place
            std::filesystem::resize_file(dir.file(changed), valid.size() + rng() % 70000, ec);
        } else if (action == 4) {  // rewritten in place (truncated to 0, then written)
            dir.write(changed, valid);
        } else if (action == 5) {  // bytes overwritten in place
            Bytes damaged = valid;
            for (int i = 0; i < 16; ++i) damaged[rng() % damaged.size()] ^= 0xFF;
            dir.write(changed, damaged);
        } else if (action == 6) {  // replaced by rename with a valid file
            replaceByRename(dir, changed, valid, changes);
        } else {  // replaced by rename with a truncated file
            const Bytes cut(valid.begin(), valid.begin() + static_cast<long>(rng() % valid.size()));
            replaceByRename(dir, changed, cut, changes);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return changes;
}

// A reader thread: all calls about both models, over and over, on `db`
// (assigned anew from `shared` on every round if `reassign`); checks the
// renamed model's answers against the versions. The number of calls made.
unsigned long askUntil(DB& db, const DB& shared, bool reassign,
                       const std::vector<std::vector<Answer>>& versions,
                       Clock::time_point deadline) {
    unsigned long calls = 0;
    while (Clock::now() < deadline) {
        if (reassign) db = shared;
        for (std::size_t c = 0; c < kCallCount; ++c, calls += 2) {
            const Answer renamed = ask(db, kCalls[c], kRenamed);
            ask(db, kCalls[c], kChanged);
            if (std::find(versions[c].begin(), versions[c].end(), renamed) == versions[c].end()) {
                fail(std::string(kCalls[c].member) + " answered " + std::to_string(renamed.first) +
                     " about a file replaced by rename, unlike every version of it");
            }
        }
    }
    return calls;
}

}  // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 3.0;
    // The answers of each call about the renamed model, one per version.
    std::vector<std::vector<Answer>> versions(kCallCount);
    for (unsigned v = 0; v < kVersions; ++v) {
        zel::testing::TempDir dir;
        dir.write(osdbName(kRenamed), osdbVersion(kRenamed, v));
        dir.write(jqwdbName(kRenamed), jqwdbVersion(v));
        DB db(dir.path().c_str());
        for (std::size_t c = 0; c < kCallCount; ++c) {
            versions[c].push_back(ask(db, kCalls[c], kRenamed));
            if (versions[c].back().first != 0)
                fail(std::string(kCalls[c].member) + " fails on version " + std::to_string(v));
        }
    }

    zel::testing::TempDir dir;
    for (const Model& m : {kRenamed, kChanged}) {
        dir.write(osdbName(m), osdbVersion(m, 0));
        dir.write(jqwdbName(m), jqwdbVersion(0));
    }
    DB shared(dir.path().c_str());
    const auto deadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                             std::chrono::duration<double>(seconds));
    constexpr int kReaders = 8;
    std::array<unsigned long, kReaders> calls{};
    std::vector<std::thread> threads;
    for (int t = 0; t < kReaders; ++t) {
        threads.emplace_back([&, t] {
            // Threads 0 to 3 share one accessor; 4 to 7 ask copies of it,
            // and 6 and 7 assign theirs anew on every round.
            if (t < 4) {
                calls[t] = askUntil(shared, shared, false, versions, deadline);
            } else {
                DB copy(shared);
                calls[t] = askUntil(copy, shared, t >= 6, versions, deadline);
            }
        });
    }
    unsigned changes = 0;
    threads.emplace_back([&] { changes = changeFiles(dir, deadline); });
    for (std::thread& t : threads) t.join();

    unsigned long callsMade = 0;
    for (unsigned long c : calls) callsMade += c;
    std::printf("%lu calls by %d threads, %u file changes\n", callsMade, kReaders, changes);
    for (const std::string& s : g_findings) std::fprintf(stderr, "FAIL: %s\n", s.c_str());
    if (callsMade == 0 || changes == 0) {
        std::fprintf(stderr, "FAIL: the threads made no calls or no file changes\n");
        return 1;
    }
    std::printf("%s\n", g_failures == 0 ? "stress test passed" : "stress test FAILED");
    return g_failures == 0 ? 0 : 1;
}
