// The OSDB address and memory readers on the reading road: which files they
// open, the fields they read in order, and what a failing close or a failing
// read inside CpuSpec leaves behind.
#include <ZelComFuncDbase.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "accessor/road_probe.h"
#include "tests/support/address_file.h"
#include "tests/support/temp_dir.h"

namespace {

using zel::testing::AddressFile;
using zel::testing::TempDir;
using zel::writer::Placement;
using Reads = std::vector<std::pair<zel::Pos, std::uint32_t>>;

constexpr ZelLong kUntouched = 0x5A5A5A5A;

// A call through CPU code 2 (model 1, OS number 1), returning its result and
// whether its output was written.
struct Call {
    const char* name;
    std::function<short(CZelComFuncDbase&, bool& written)> run;
    std::size_t cpuSpecReads;  // 11 where the entry is bounded by CpuSpec, else 0
    std::function<Reads(const Placement&)> reads;  // the reader's own, after CpuSpec's
};

short tb2(CZelComFuncDbase& db, short item, short entry, bool& written) {
    DbAd out{kUntouched, 0x5A5A};
    const short r = db.CDbTb2(1, 1, item, entry, &out);
    written = out.address != kUntouched || out.headWord != 0x5A5A;
    return r;
}
short tb3(CZelComFuncDbase& db, short item, bool& written) {
    DbAd out{kUntouched, 0x5A5A};
    const short r = db.CDbTb3(1, 1, item, &out);
    written = out.address != kUntouched || out.headWord != 0x5A5A;
    return r;
}
short tb4(CZelComFuncDbase& db, short item, short entry, bool& written) {
    DbBAd out{kUntouched, 0x5A5A};
    const short r = db.CDbTb4(1, 1, item, entry, &out);
    written = out.address != kUntouched || out.bitMask != 0x5A5A;
    return r;
}
short tb5(CZelComFuncDbase& db, short item, bool& written) {
    DbBAd out{kUntouched, 0x5A5A};
    const short r = db.CDbTb5(1, 1, item, &out);
    written = out.address != kUntouched || out.bitMask != 0x5A5A;
    return r;
}
short mem(CZelComFuncDbase& db, short kind, short index, bool& written) {
    ZelLong out = kUntouched;
    const short r = db.CDbTbMem(1, 1, kind, index, &out);
    written = out != kUntouched;
    return r;
}

std::uint32_t dir(const Placement& w) { return w.directoryBase; }
std::uint32_t table(const Placement& w, unsigned t) { return w.tableStart.at(t); }
std::uint32_t section(const Placement& w, unsigned t, unsigned s) {
    return w.sectionStart.at(t)[s];
}

const Call kCalls[] = {
    {"Tb2Item29Entry2", [](auto& db, bool& w) { return tb2(db, 29, 2, w); }, 11,
     [](const Placement& p) {
         return Reads{{8, 4},
                      {dir(p) + 24, 4},
                      {table(p, 6) + 4 + 28, 4},
                      {section(p, 6, 7) + 52, 2},
                      {section(p, 6, 7) + 60, 4}};
     }},
    {"Tb3Item1", [](auto& db, bool& w) { return tb3(db, 1, w); }, 0,
     [](const Placement& p) {
         return Reads{{8, 4},
                      {dir(p) + 24, 4},
                      {table(p, 6) + 4 + 28, 4},
                      {section(p, 6, 7) + 208, 2},
                      {section(p, 6, 7) + 212, 4}};
     }},
    {"Tb4TwoBitItem83Entry9", [](auto& db, bool& w) { return tb4(db, 83, 9, w); }, 11,
     [](const Placement& p) {
         return Reads{{8, 4},
                      {dir(p) + 24, 4},
                      {table(p, 6) + 4 + 12, 4},
                      {section(p, 6, 3) + 16, 4},
                      {section(p, 6, 3) + 20, 2}};
     }},
    {"Tb5Item0", [](auto& db, bool& w) { return tb5(db, 0, w); }, 0,
     [](const Placement& p) {
         return Reads{{8, 4},
                      {dir(p) + 24, 4},
                      {table(p, 6) + 4 + 16, 4},
                      {section(p, 6, 4) + 8, 4},
                      {section(p, 6, 4) + 12, 2}};
     }},
    {"MemKind4Index3", [](auto& db, bool& w) { return mem(db, 4, 3, w); }, 0,
     [](const Placement& p) {
         return Reads{{8, 4}, {dir(p) + 16, 4}, {table(p, 4) + 12, 4}};
     }},
    {"MemKind9Index2", [](auto& db, bool& w) { return mem(db, 9, 2, w); }, 0,
     [](const Placement& p) {
         return Reads{{8, 4}, {dir(p) + 36, 4}, {table(p, 9) + 4, 4}, {section(p, 9, 0) + 8, 4}};
     }},
};

class OsdbRoadTest : public ::testing::TestWithParam<Call> {
  protected:
    void SetUp() override { AddressFile().writeTo(files, 2, 0, &where); }
    TempDir files;
    Placement where;
};

TEST_P(OsdbRoadTest, ReadsItsFieldsInOrder) {
    const Call& c = GetParam();
    zel::probe::Probe probe;
    probe.record = true;
    {
        zel::probe::Scope scope(probe);
        CZelComFuncDbase db(files.path().c_str());
        bool written = false;
        ASSERT_EQ(c.run(db, written), 0);
        EXPECT_TRUE(written);
    }
    // CpuSpec may read through its own open or through the reader's: either
    // way its eleven reads come first and the reader's own reads close the
    // call, all in the one file.
    ASSERT_GE(probe.openedFiles.size(), 1u);
    ASSERT_LE(probe.openedFiles.size(), c.cpuSpecReads ? 2u : 1u);
    for (const std::string& f : probe.openedFiles) EXPECT_EQ(f, files.path() + "/OSDB2D.BIN");
    const Reads expected = c.reads(where);
    ASSERT_EQ(probe.fieldReads.size(), c.cpuSpecReads + expected.size());
    Reads own;
    for (std::size_t i = c.cpuSpecReads; i < probe.fieldReads.size(); ++i)
        own.emplace_back(probe.fieldReads[i].pos, probe.fieldReads[i].width);
    EXPECT_EQ(own, expected);
    EXPECT_EQ(probe.fieldReads.front().pos, 8u);
}

// A failing close: the memory value was stored before the close, the
// address records are stored only after it.
TEST_P(OsdbRoadTest, FailingCloseIsReported) {
    const Call& c = GetParam();
    zel::probe::Probe probe;
    probe.failClose = true;
    probe.closeCause = zel::Cause::hardIO;
    zel::probe::Scope scope(probe);
    CZelComFuncDbase db(files.path().c_str());
    bool written = false;
    EXPECT_EQ(c.run(db, written), 110);
    EXPECT_EQ(written, std::string(c.name).rfind("Mem", 0) == 0);
}

INSTANTIATE_TEST_SUITE_P(Readers, OsdbRoadTest, ::testing::ValuesIn(kCalls),
                         [](const auto& info) { return std::string(info.param.name); });

// A failure inside CpuSpec passes through unchanged, before the entry bound.
TEST(OsdbRoadCpuSpecTest, ReadFailureInCpuSpecPassesThrough) {
    TempDir files;
    AddressFile().writeTo(files, 2, 0);
    for (short entry : {0, 1}) {
        zel::probe::Probe probe;
        probe.failingFieldRead = 3;
        probe.readCause = zel::Cause::genericException;
        zel::probe::Scope scope(probe);
        CZelComFuncDbase db(files.path().c_str());
        bool written = false;
        EXPECT_EQ(tb2(db, 0, entry, written), 101);
        EXPECT_FALSE(written);
        EXPECT_EQ(tb4(db, 0, entry, written), 101);
        EXPECT_FALSE(written);
    }
}

}  // namespace
