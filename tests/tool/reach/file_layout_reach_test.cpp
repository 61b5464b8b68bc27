// The file layout's `reached` against what the library reads. With the test
// seam recording every field the readers ask for, every member is called for
// every model and OS number, item, entry and index the library accepts (an
// index or entry loop ends where the library refuses the next); the bytes
// asked for that lie in the file must be exactly the layout's `reached`, for
// the sample database and for copies damaged where the walk must follow the
// library through failing reads and wrapped positions.
#include <ZelComFuncDbase.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "accessor/file_naming.h"
#include "build.h"
#include "database_dir.h"
#include "file_layout.h"
#include "format/bytes.h"
#include "platform/fault_injector.h"
#include "tests/support/temp_dir.h"
#include "tool_file.h"

namespace {

namespace fs = std::filesystem;
using Bytes = zel::writer::Bytes;
using zel::testing::TempDir;
using zel::tool::ModelOsPair;

constexpr short kRefused = -1;

// Calls `call(i)` for i = from, from + 1, ... until it answers -1 (or -2)
// past `from`, or `last` is passed.
void untilRefused(short from, const std::function<short(short)>& call, int last = 32767) {
    for (int i = from; i <= last; ++i) {
        const short r = call(static_cast<short>(i));
        if ((r == kRefused || r == -2) && i > from) return;
    }
}

// Entry numbers are bounded by CPU specification values of 8 bits (16 for
// some OS types): none above 127 is ever accepted.
constexpr int kLastEntry = 130;

// Every call of every member for one model and OS number.
void callEverything(CZelComFuncDbase& db, const ModelOsPair& p) {
    const short m = p.model, o = p.osNumber;
    ZelLong values[6];
    db.CDbCpuSpec(m, o, values);
    for (short kind = 0; kind < 10; ++kind) {
        ZelLong v;
        untilRefused(0, [&](short i) { return db.CDbTbMem(m, o, kind, i, &v); });
    }
    for (short item = 0; item < 120; ++item) {
        DbAd ad;
        DbBAd bad;
        db.CDbTb3(m, o, item, &ad);
        db.CDbTb5(m, o, item, &bad);
        untilRefused(
            1, [&](short e) { return db.CDbTb2(m, o, item, e, &ad); }, kLastEntry);
        untilRefused(
            1, [&](short e) { return db.CDbTb4(m, o, item, e, &bad); }, kLastEntry);
    }
    ZelLong count;
    db.GetPdbTb10ItemCount(m, o, &count);
    PdbJAd j;
    PdbCAd c;
    PdbWD w;
    PdbBD b;
    PdbAnyWD aw;
    PdbAnyBD ab;
    PdbAnyPBD ap;
    PdbBkup k;
    untilRefused(0, [&](short i) { return db.CPdbTb0(m, o, i, &j); });
    untilRefused(0, [&](short i) { return db.CPdbTb1(m, o, i, &c); });
    untilRefused(0, [&](short i) { return db.CPdbTb3(m, o, i, &w); });
    untilRefused(0, [&](short i) { return db.CPdbTb5(m, o, i, &b); });
    untilRefused(0, [&](short i) { return db.CPdbTb6(m, o, i, &aw); });
    untilRefused(0, [&](short i) { return db.CPdbTb7(m, o, i, &ab); });
    untilRefused(0, [&](short i) { return db.CPdbTb8(m, o, i, &aw); });
    untilRefused(0, [&](short i) { return db.CPdbTb9(m, o, i, &ap); });
    untilRefused(0, [&](short i) { return db.CPdbTb10(m, o, i, &k); });
    // Tables 2 and 4: an index is refused when its first entry is.
    for (const bool words : {true, false}) {
        untilRefused(0, [&](short i) {
            short first = 0;
            untilRefused(
                1,
                [&](short e) {
                    const short r = words ? db.CPdbTb2(m, o, i, e, &w) : db.CPdbTb4(m, o, i, e, &b);
                    if (e == 1) first = r;
                    return r;
                },
                kLastEntry);
            return first;
        });
    }
}

std::string lower(std::string s) {
    for (char& ch : s) ch = static_cast<char>(ch >= 'A' && ch <= 'Z' ? ch - 'A' + 'a' : ch);
    return s;
}

// The bytes of each file of `dir` that the readers ask
// for, one flag per byte of the file.
std::map<std::string, std::vector<bool>> bytesRead(const std::string& dir) {
    zel::faults::Injector recorder;
    recorder.record = true;
    {
        CZelComFuncDbase db(dir.c_str());
        zel::faults::Scope scope(recorder);
        for (const ModelOsPair& p : zel::tool::namedPairs(true))
            if (fs::exists(fs::path(dir) / p.osdbName) || fs::exists(fs::path(dir) / p.jqwdbName))
                callEverything(db, p);
    }
    std::map<std::string, std::vector<bool>> read;
    std::map<std::string, std::string> entryOf;
    for (const auto& e : fs::directory_iterator(dir)) {
        read[e.path().filename().string()].assign(fs::file_size(e.path()), false);
        entryOf[lower(e.path().filename().string())] = e.path().filename().string();
    }
    for (const zel::faults::FieldRead& f : recorder.fieldReads) {
        const std::string name = lower(
            fs::path(recorder.openedFiles[static_cast<std::size_t>(f.file)]).filename().string());
        auto file = read.find(entryOf[name]);
        if (file == read.end() || zel::isNegative(f.pos)) continue;
        for (std::uint64_t at = f.pos;
             at < std::uint64_t{f.pos} + f.width && at < file->second.size(); ++at)
            file->second[at] = true;
    }
    return read;
}

// The ranges of the flags that are set.
std::vector<std::pair<std::uint64_t, std::uint64_t>> ranges(const std::vector<bool>& flags) {
    std::vector<std::pair<std::uint64_t, std::uint64_t>> out;
    for (std::uint64_t i = 0; i < flags.size(); ++i) {
        if (!flags[i]) continue;
        if (!out.empty() && out.back().first + out.back().second == i)
            ++out.back().second;
        else
            out.push_back({i, 1});
    }
    return out;
}

void expectReachedIsRead(const std::string& dir) {
    for (const auto& [name, flags] : bytesRead(dir)) {
        SCOPED_TRACE(name);
        std::vector<std::pair<std::uint64_t, std::uint64_t>> reached;
        for (const zel::tool::ByteRange& r : zel::tool::fileLayout(dir + "/" + name).reached)
            reached.push_back({r.offset, r.length});
        EXPECT_EQ(reached, ranges(flags));
    }
}

Bytes load(const std::string& path) {
    const std::string text = zel::tool::RegularFile(path).readAll(1u << 20);
    return Bytes(text.begin(), text.end());
}

std::uint32_t get32(const Bytes& b, std::uint32_t at) { return zel::loadLE32(b.data() + at); }
void set32(Bytes& b, std::uint32_t at, std::uint32_t v) { zel::storeLE32(b.data() + at, v); }
std::uint32_t tableAt(const Bytes& b, unsigned t) {
    return get32(b, 8) + get32(b, get32(b, 8) + 4 * t);
}

const TempDir& sample() {
    static const TempDir dir;
    static const auto built = zel::tool::buildDatabase(ZELCOMDB_SAMPLE, dir.path());
    (void)built;
    return dir;
}

TEST(Reach, SampleDatabaseIsReadExactlyWhereItsLayoutSays) { expectReachedIsRead(sample().path()); }

TEST(Reach, DamagedFilesAreReadExactlyWhereTheirLayoutsSay) {
    // Model 20 OS number 1 (CPU code 30): both files least significant byte
    // first. Each change to the OSDB file or the JQWDB file.
    const struct {
        const char* what;
        bool osdb;
        std::function<void(Bytes&)> damage;
    } scenes[] = {
        {"OSDB file cut short", true, [](Bytes& b) { b.resize(5000); }},
        {"JQWDB file cut inside its records", false, [](Bytes& b) { b.resize(b.size() - 40); }},
        {"a section starting before the file, its later rows inside it", true,
         [](Bytes& b) { set32(b, tableAt(b, 6) + 4, 0u - tableAt(b, 6) - 8u); }},
        {"records longer than the record buffer, a split item, more records than the file holds",
         false,
         [](Bytes& b) {
             set32(b, tableAt(b, 6) + 4, 20);
             set32(b, tableAt(b, 10) + 8, 2);
             set32(b, tableAt(b, 0), 40);
         }},
        {"a negative record size", false,
         [](Bytes& b) { set32(b, tableAt(b, 7) + 4, 0xFFFFFFF0u); }},
    };
    for (const auto& scene : scenes) {
        SCOPED_TRACE(scene.what);
        Bytes osdb = load(sample().file("OSDB2W.BIN")), jqwdb = load(sample().file("JQWDB2W.BIN"));
        scene.damage(scene.osdb ? osdb : jqwdb);
        const TempDir dir;
        dir.write("OSDB2W.BIN", osdb);
        dir.write("JQWDB2W.BIN", jqwdb);
        expectReachedIsRead(dir.path());
    }
}

}  // namespace
