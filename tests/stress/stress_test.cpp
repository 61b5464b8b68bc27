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

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "fuzz/sample_files.h"
#include "tests/support/temp_dir.h"
#include "writer/db_writer.h"

namespace {

using Clock = std::chrono::steady_clock;
using zel::writer::Bytes;

struct Model {
    short modelIndex;
    short osNumber;
    short cpuCode;
    short osType;
};

// Files replaced only by rename: CPU code 2 (OSDB most significant byte
// first). Files changed in every way: CPU code 30.
constexpr Model kRenamedModel{1, 1, 2, 0};
constexpr Model kChangedModel{20, 1, 30, 0};
constexpr unsigned kVersions = 3;

// A call's result and the bytes of its record.
struct Answer {
    short result = 0;
    std::vector<unsigned char> record;
    bool operator<(const Answer& o) const {
        return result != o.result ? result < o.result : record < o.record;
    }
    bool operator==(const Answer& o) const { return result == o.result && record == o.record; }
};

constexpr unsigned char kFill = 0xA5;
constexpr std::size_t kGuardBytes = 16;

template <class T>
struct Guarded {
    unsigned char front[kGuardBytes];
    T record;
    unsigned char back[kGuardBytes];
};

bool allFill(const void* p, std::size_t n) {
    const auto* b = static_cast<const unsigned char*>(p);
    for (std::size_t i = 0; i < n; ++i)
        if (b[i] != kFill) return false;
    return true;
}

// What a member may answer and write.
enum Rule : unsigned { kReadsFile = 1, kAbsentMark = 2, kWritesAsItGoes = 4 };

// Failures found by any thread; the first few are kept for the report.
class Findings {
  public:
    void add(const std::string& what) {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_kept.size() < 20) m_kept.push_back(what);
        ++m_count;
    }
    unsigned count() const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_count;
    }
    void print() const {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (const std::string& s : m_kept) std::fprintf(stderr, "FAIL: %s\n", s.c_str());
    }

  private:
    mutable std::mutex m_mutex;
    std::vector<std::string> m_kept;
    unsigned m_count = 0;
};

Findings g_findings;

// Calls with a record between guard bytes; checks the rules of every answer.
template <class T, class Call>
Answer guarded(const char* member, unsigned rules, Call call) {
    Guarded<T> g;
    std::memset(static_cast<void*>(&g), kFill, sizeof g);
    const short result = call(&g.record);
    const bool codeOk = result == 0 || result == -1 || (result == -2 && (rules & kAbsentMark)) ||
                        ((rules & kReadsFile) && result >= 100 && result <= 114);
    const std::string tag = std::string(member) + " answered " + std::to_string(result);
    if (!codeOk) g_findings.add(tag + ": result code outside its set");
    if (!allFill(g.front, kGuardBytes) || !allFill(g.back, kGuardBytes))
        g_findings.add(tag + ": bytes written outside the record");
    if (result != 0 && !(rules & kWritesAsItGoes) && !allFill(&g.record, sizeof g.record))
        g_findings.add(tag + ": output written on a failure");
    Answer a;
    a.result = result;
    const auto* bytes = reinterpret_cast<const unsigned char*>(&g.record);
    a.record.assign(bytes, bytes + sizeof g.record);
    return a;
}

using SpecValues = std::array<ZelLong, 6>;

struct Call {
    const char* member;
    std::function<Answer(CZelComFuncDbase&, const Model&)> run;
};

// Every public member, with selectors that the files of every version
// accept (entry numbers within CPU specification values 0 and 1 of all
// versions), so that each version gives its own answer.
std::vector<Call> everyMember() {
    const unsigned file = kReadsFile, address = kReadsFile | kAbsentMark;
    using DB = CZelComFuncDbase;
    return {
        {"CDbCpuOsType",
         [](DB& db, const Model& m) {
             return guarded<std::array<short, 2>>("CDbCpuOsType", 0, [&](auto* o) {
                 return db.CDbCpuOsType(&(*o)[0], &(*o)[1], m.modelIndex, m.osNumber);
             });
         }},
        {"CpuSpec",
         [](DB& db, const Model& m) {
             return guarded<SpecValues>("CpuSpec", kReadsFile | kWritesAsItGoes, [&](auto* v) {
                 return db.CpuSpec(m.cpuCode, m.osType, v->data());
             });
         }},
        {"CDbCpuSpec",
         [](DB& db, const Model& m) {
             return guarded<SpecValues>("CDbCpuSpec", kWritesAsItGoes, [&](auto* v) {
                 return db.CDbCpuSpec(m.modelIndex, m.osNumber, v->data());
             });
         }},
        {"CDbTb2",
         [=](DB& db, const Model& m) {
             return guarded<DbAd>("CDbTb2", address, [&](DbAd* o) {
                 return db.CDbTb2(m.modelIndex, m.osNumber, 28, 3, o);
             });
         }},
        {"CDbTb3",
         [=](DB& db, const Model& m) {
             return guarded<DbAd>("CDbTb3", address, [&](DbAd* o) {
                 return db.CDbTb3(m.modelIndex, m.osNumber, 1, o);
             });
         }},
        {"CDbTb4",
         [=](DB& db, const Model& m) {
             return guarded<DbBAd>("CDbTb4", address, [&](DbBAd* o) {
                 return db.CDbTb4(m.modelIndex, m.osNumber, 5, 2, o);
             });
         }},
        {"CDbTb4 two-bit",
         [=](DB& db, const Model& m) {
             return guarded<DbBAd>("CDbTb4", address, [&](DbBAd* o) {
                 return db.CDbTb4(m.modelIndex, m.osNumber, 83, 5, o);
             });
         }},
        {"CDbTb5",
         [=](DB& db, const Model& m) {
             return guarded<DbBAd>("CDbTb5", address, [&](DbBAd* o) {
                 return db.CDbTb5(m.modelIndex, m.osNumber, 2, o);
             });
         }},
        {"CDbTbMem",
         [=](DB& db, const Model& m) {
             return guarded<ZelLong>("CDbTbMem", file, [&](ZelLong* o) {
                 return db.CDbTbMem(m.modelIndex, m.osNumber, 9, 2, o);
             });
         }},
        {"CPdbPMem",
         [](DB& db, const Model& m) {
             return guarded<ZelLong>("CPdbPMem", 0, [&](ZelLong* o) {
                 return db.CPdbPMem(m.modelIndex, m.osNumber, 3, 123456, o);
             });
         }},
        {"CPdbTb0",
         [=](DB& db, const Model& m) {
             return guarded<PdbJAd>("CPdbTb0", file, [&](PdbJAd* o) {
                 return db.CPdbTb0(m.modelIndex, m.osNumber, 1, o);
             });
         }},
        {"CPdbTb1",
         [=](DB& db, const Model& m) {
             return guarded<PdbCAd>("CPdbTb1", file, [&](PdbCAd* o) {
                 return db.CPdbTb1(m.modelIndex, m.osNumber, 2, o);
             });
         }},
        {"CPdbTb2",
         [=](DB& db, const Model& m) {
             return guarded<PdbWD>("CPdbTb2", file, [&](PdbWD* o) {
                 return db.CPdbTb2(m.modelIndex, m.osNumber, 1, 2, o);
             });
         }},
        {"CPdbTb3",
         [=](DB& db, const Model& m) {
             return guarded<PdbWD>("CPdbTb3", file, [&](PdbWD* o) {
                 return db.CPdbTb3(m.modelIndex, m.osNumber, 3, o);
             });
         }},
        {"CPdbTb4",
         [=](DB& db, const Model& m) {
             return guarded<PdbBD>("CPdbTb4", file, [&](PdbBD* o) {
                 return db.CPdbTb4(m.modelIndex, m.osNumber, 2, 3, o);
             });
         }},
        {"CPdbTb5",
         [=](DB& db, const Model& m) {
             return guarded<PdbBD>("CPdbTb5", file, [&](PdbBD* o) {
                 return db.CPdbTb5(m.modelIndex, m.osNumber, 0, o);
             });
         }},
        {"CPdbTb6",
         [=](DB& db, const Model& m) {
             return guarded<PdbAnyWD>("CPdbTb6", file, [&](PdbAnyWD* o) {
                 return db.CPdbTb6(m.modelIndex, m.osNumber, 1, o);
             });
         }},
        {"CPdbTb7",
         [=](DB& db, const Model& m) {
             return guarded<PdbAnyBD>("CPdbTb7", file, [&](PdbAnyBD* o) {
                 return db.CPdbTb7(m.modelIndex, m.osNumber, 3, o);
             });
         }},
        {"CPdbTb8",
         [=](DB& db, const Model& m) {
             return guarded<PdbAnyWD>("CPdbTb8", file, [&](PdbAnyWD* o) {
                 return db.CPdbTb8(m.modelIndex, m.osNumber, 2, o);
             });
         }},
        {"CPdbTb9",
         [=](DB& db, const Model& m) {
             return guarded<PdbAnyPBD>("CPdbTb9", file, [&](PdbAnyPBD* o) {
                 return db.CPdbTb9(m.modelIndex, m.osNumber, 0, o);
             });
         }},
        {"CPdbTb10",
         [=](DB& db, const Model& m) {
             return guarded<PdbBkup>("CPdbTb10", file, [&](PdbBkup* o) {
                 return db.CPdbTb10(m.modelIndex, m.osNumber, 3, o);
             });
         }},
        {"GetPdbTb10ItemCount",
         [=](DB& db, const Model& m) {
             return guarded<ZelLong>("GetPdbTb10ItemCount", file, [&](ZelLong* o) {
                 return db.GetPdbTb10ItemCount(m.modelIndex, m.osNumber, o);
             });
         }},
    };
}

// Version v of a model's files. CPU specification values 0 and 1 stay at
// least 8 and 4 in every version, above the entry numbers asked.
Bytes osdbVersion(const Model& m, unsigned v) {
    const auto layout = zel::fuzz::sampleOsdb(static_cast<std::int32_t>(8 + v),
                                              static_cast<std::int32_t>(4 + v), 1024, v + 1);
    return zel::writer::buildOsdb(layout, zel::osdbByteOrder(m.cpuCode));
}
Bytes jqwdbVersion(unsigned v) {
    return zel::writer::buildJqwdb(zel::fuzz::sampleJqwdb(16, v + 1));
}

std::string osdbName(const Model& m) { return zel::writer::osdbFileName(m.cpuCode, m.osType); }
std::string jqwdbName(const Model& m) { return zel::writer::jqwdbFileName(m.cpuCode, m.osType); }

// The answers of each call about the renamed model, one per version.
std::vector<std::vector<Answer>> answersOfVersions(const std::vector<Call>& calls) {
    std::vector<std::vector<Answer>> answers(calls.size());
    for (unsigned v = 0; v < kVersions; ++v) {
        zel::testing::TempDir dir;
        dir.write(osdbName(kRenamedModel), osdbVersion(kRenamedModel, v));
        dir.write(jqwdbName(kRenamedModel), jqwdbVersion(v));
        CZelComFuncDbase db(dir.path().c_str());
        for (std::size_t c = 0; c < calls.size(); ++c) {
            answers[c].push_back(calls[c].run(db, kRenamedModel));
            if (answers[c].back().result != 0) {
                g_findings.add(std::string(calls[c].member) + " fails on version " +
                               std::to_string(v) + " of the files");
            }
        }
    }
    return answers;
}

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
    const Bytes changedOsdb = osdbVersion(kChangedModel, 0);
    const Bytes changedJqwdb = jqwdbVersion(0);
    unsigned changes = 0;
    while (Clock::now() < deadline) {
        const unsigned action = rng() % 8;
        const bool osdb = rng() % 2 == 0;
        const std::string changed = osdb ? osdbName(kChangedModel) : jqwdbName(kChangedModel);
        const Bytes& valid = osdb ? changedOsdb : changedJqwdb;
        const std::uintmax_t size = valid.size();
        std::error_code ec;
        switch (action) {
            case 0:
            case 1: {  // the renamed model: a new complete version
                const unsigned v = rng() % kVersions;
                if (osdb) {
                    replaceByRename(dir, osdbName(kRenamedModel), osdbVersion(kRenamedModel, v),
                                    changes);
                } else {
                    replaceByRename(dir, jqwdbName(kRenamedModel), jqwdbVersion(v), changes);
                }
                break;
            }
            case 2:  // truncated in place
                std::filesystem::resize_file(dir.file(changed), rng() % (size + 1), ec);
                break;
            case 3:  // grown in place
                std::filesystem::resize_file(dir.file(changed), size + rng() % 70000, ec);
                break;
            case 4:  // rewritten in place (truncated to 0, then written)
                dir.write(changed, valid);
                break;
            case 5: {  // bytes overwritten in place
                Bytes damaged = valid;
                for (int i = 0; i < 16; ++i) damaged[rng() % damaged.size()] ^= 0xFF;
                dir.write(changed, damaged);
                break;
            }
            case 6:  // replaced by rename with a valid file
                replaceByRename(dir, changed, valid, changes);
                break;
            default: {  // replaced by rename with a truncated file
                const Bytes cut(valid.begin(), valid.begin() + static_cast<long>(rng() % size));
                replaceByRename(dir, changed, cut, changes);
                break;
            }
        }
        ++changes;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return changes;
}

struct ThreadCount {
    unsigned long calls = 0;
    unsigned long compared = 0;
};

// A reader thread: all calls about both models, over and over, on `db`;
// checks the renamed model's answers against the versions.
void askUntil(CZelComFuncDbase& db, const CZelComFuncDbase& shared, bool reassign,
              const std::vector<Call>& calls, const std::vector<std::vector<Answer>>& versions,
              Clock::time_point deadline, ThreadCount& count) {
    while (Clock::now() < deadline) {
        if (reassign) db = shared;
        for (std::size_t c = 0; c < calls.size(); ++c) {
            const Answer renamed = calls[c].run(db, kRenamedModel);
            calls[c].run(db, kChangedModel);
            count.calls += 2;
            bool known = false;
            for (const Answer& v : versions[c]) known = known || v == renamed;
            if (!known) {
                g_findings.add(std::string(calls[c].member) + " answered " +
                               std::to_string(renamed.result) +
                               " about a file replaced by rename, unlike every version of it");
            }
            ++count.compared;
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 3.0;
    const std::vector<Call> calls = everyMember();
    const std::vector<std::vector<Answer>> versions = answersOfVersions(calls);
    for (std::size_t c = 0; c < calls.size(); ++c) {
        std::map<Answer, int> distinct;
        for (const Answer& a : versions[c]) ++distinct[a];
        std::printf("%-20s %zu version answers, %zu distinct\n", calls[c].member,
                    versions[c].size(), distinct.size());
    }

    zel::testing::TempDir dir;
    dir.write(osdbName(kRenamedModel), osdbVersion(kRenamedModel, 0));
    dir.write(jqwdbName(kRenamedModel), jqwdbVersion(0));
    dir.write(osdbName(kChangedModel), osdbVersion(kChangedModel, 0));
    dir.write(jqwdbName(kChangedModel), jqwdbVersion(0));
    CZelComFuncDbase shared(dir.path().c_str());

    const auto deadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                             std::chrono::duration<double>(seconds));
    constexpr int kReaders = 8;
    std::array<ThreadCount, kReaders> counts{};
    std::vector<std::thread> threads;
    for (int t = 0; t < kReaders; ++t) {
        threads.emplace_back([&, t] {
            // Threads 0 to 3 share one accessor; 4 to 7 ask copies of it,
            // and 6 and 7 assign theirs anew on every round.
            if (t < 4) {
                askUntil(shared, shared, false, calls, versions, deadline, counts[t]);
            } else {
                CZelComFuncDbase copy(shared);
                askUntil(copy, shared, t >= 6, calls, versions, deadline, counts[t]);
            }
        });
    }
    unsigned changes = 0;
    std::thread writer([&] { changes = changeFiles(dir, deadline); });
    for (std::thread& t : threads) t.join();
    writer.join();

    unsigned long callsMade = 0, compared = 0;
    for (const ThreadCount& c : counts) callsMade += c.calls, compared += c.compared;
    std::printf(
        "%lu calls by %d threads, %lu answers compared with the versions, %u file changes\n",
        callsMade, kReaders, compared, changes);
    const unsigned failures = g_findings.count();
    g_findings.print();
    if (callsMade == 0 || changes == 0) {
        std::fprintf(stderr, "FAIL: the threads made no calls or no file changes\n");
        return 1;
    }
    std::printf("%s\n", failures == 0 ? "stress test passed" : "stress test FAILED");
    return failures == 0 ? 0 : 1;
}
