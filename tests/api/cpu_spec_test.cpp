// CPU specification values: both byte orders, sign widening, file failures
// and the values written before a failure.
#include <ZelComFuncDbase.h>
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "accessor/byte_codec.h"
#include "tests/support/osdb_samples.h"
#include "tests/support/temp_dir.h"

namespace {

using zel::testing::cpuSpecLayout;
using zel::testing::kSampleSpec;
using zel::testing::osdbBytes;
using zel::testing::TempDir;
using zel::writer::Bytes;
using zel::writer::Placement;

constexpr ZelLong kSentinel = 0x5A5A5A5A;
using Values = std::array<ZelLong, 6>;

Values sentinels() {
    Values v;
    v.fill(kSentinel);
    return v;
}

// The sample values where `written` lists the indices a call has written.
Values sampleWhere(const std::vector<int>& written) {
    Values v = sentinels();
    for (int i : written) v[i] = kSampleSpec[i];
    return v;
}

class CpuSpecTest : public ::testing::Test {
  protected:
    short cpuSpec(short cpu, short os, Values& v) { return db.CpuSpec(cpu, os, v.data()); }

    TempDir dir;
    CZelComFuncDbase db{dir.path().c_str()};
};

TEST_F(CpuSpecTest, SameDescriptionGivesSameValuesInBothByteOrders) {
    struct Pair {
        short cpu, os, model;
        const char* file;
    };
    const Pair pairs[] = {{2, 0, 1, "OSDB2D.BIN"},  // most significant byte first
                          {8, 6, 7, "OSDB8B.BIN"},
                          {30, 0, 20, "OSDB2W.BIN"},  // least significant byte first
                          {36, 1, 25, "OSDB3Q1.BIN"}};
    for (const Pair& p : pairs) {
        dir.write(p.file, osdbBytes(cpuSpecLayout(), p.cpu));
        Values v = sentinels();
        EXPECT_EQ(cpuSpec(p.cpu, p.os, v), 0) << p.file;
        EXPECT_EQ(v, sampleWhere({0, 1, 2, 3, 4, 5})) << p.file;
        Values viaModel = sentinels();
        EXPECT_EQ(db.CDbCpuSpec(p.model, static_cast<short>(p.os + 1), viaModel.data()), 0);
        EXPECT_EQ(viaModel, v) << p.file;
    }
}

TEST_F(CpuSpecTest, FieldsAreWidenedWithTheirSign) {
    const std::int32_t stored[6] = {128, 255, 65535, 127, 0x80, 32768};
    const Values expected = {-128, -1, -1, 127, -128, -32768};
    for (short cpu : {2, 30}) {
        const std::string file = cpu == 2 ? "OSDB2D.BIN" : "OSDB2W.BIN";
        dir.write(file, osdbBytes(cpuSpecLayout(stored), cpu));
        Values v = sentinels();
        ASSERT_EQ(cpuSpec(cpu, 0, v), 0);
        EXPECT_EQ(v, expected) << file;
    }
}

TEST_F(CpuSpecTest, BytesBesideTheFieldsHaveNoEffect) {
    auto layout = cpuSpecLayout();
    layout.tables[0].plain.u8(1, 0xAA).u8(4, 0xBB);
    layout.tables[2].sections[0].u16(20, 0xCCCC).u16(24, 0xDDDD);
    layout.tables[2].sections[1].u16(16, 0xEEEE).u16(20, 0xFFFF);
    Placement where;
    Bytes bytes = osdbBytes(layout, 2, &where);
    bytes[where.tableStart[2]] = 0x77;  // the unread word of table 2
    bytes[0] = 0x99;                    // the unread file header
    dir.write("OSDB2D.BIN", bytes);
    Values v = sentinels();
    ASSERT_EQ(cpuSpec(2, 0, v), 0);
    EXPECT_EQ(v, sampleWhere({0, 1, 2, 3, 4, 5}));
}

TEST_F(CpuSpecTest, PairsWithoutFileNameAreRefusedBeforeAnyFileAccess) {
    dir.write("OSDB2E.BIN", osdbBytes(cpuSpecLayout(), 0));
    for (auto [cpu, os] :
         {std::pair<short, short>{3, 0}, {0, 7}, {0, -1}, {0, 2}, {43, 0}, {-1, 0}}) {
        Values v = sentinels();
        EXPECT_EQ(cpuSpec(cpu, os, v), -1) << cpu << "/" << os;
        EXPECT_EQ(v, sentinels());
    }
}

TEST_F(CpuSpecTest, MissingFileGives102AndLeavesValuesUntouched) {
    Values v = sentinels();
    EXPECT_EQ(cpuSpec(0, 0, v), 102);
    EXPECT_EQ(v, sentinels());
    EXPECT_EQ(db.CDbCpuSpec(0, 1, v.data()), -1);
    EXPECT_EQ(v, sentinels());
}

TEST_F(CpuSpecTest, DirectoryUnderTheFileNameCountsAsMissing) {
    ASSERT_TRUE(std::filesystem::create_directory(dir.file("OSDB2D.BIN")));
    Values v = sentinels();
    EXPECT_EQ(cpuSpec(2, 0, v), 102);
}

TEST_F(CpuSpecTest, NameIsMatchedWithoutRegardToLetterCase) {
    dir.write("osdb2d.bin", osdbBytes(cpuSpecLayout(), 2));    // served as OSDB2D.BIN
    dir.write("OSDB2Q3.BIN", osdbBytes(cpuSpecLayout(), 38));  // served as OSDB2q3.BIN
    Values v = sentinels();
    EXPECT_EQ(cpuSpec(2, 0, v), 0);
    EXPECT_EQ(v, sampleWhere({0, 1, 2, 3, 4, 5}));
    v = sentinels();
    EXPECT_EQ(cpuSpec(38, 0, v), 0);
    EXPECT_EQ(v, sampleWhere({0, 1, 2, 3, 4, 5}));
}

TEST(CpuSpecNameLimitTest, DirectoryTooLongForTheNameBufferIsRefused) {
    const std::string longDir(600, 'd');
    CZelComFuncDbase db(longDir.c_str());
    Values v = sentinels();
    EXPECT_EQ(db.CpuSpec(0, 0, v.data()), -1);
    EXPECT_EQ(v, sentinels());
}

// A damaged file: the layout, a change to its bytes, and what a call then
// gives.
struct DamageCase {
    const char* name;
    bool directoryLast;
    std::function<void(Bytes&, const Placement&)> damage;
    short result;
    std::vector<int> written;
};

void truncateAt(Bytes& b, std::uint32_t size) { b.resize(size); }
void patch32(Bytes& b, std::uint32_t at,
             std::uint32_t value) {  // CPU code 2: most significant first
    zel::storeLE32(&b[at], value);
    zel::reverse4(&b[at]);
}

class CpuSpecDamageTest : public ::testing::TestWithParam<DamageCase> {};

TEST_P(CpuSpecDamageTest, FailsAtTheDamagedReadWithTheValuesReadSoFarWritten) {
    const DamageCase& c = GetParam();
    TempDir dir;
    auto layout = cpuSpecLayout();
    layout.directoryLast = c.directoryLast;
    Placement where;
    Bytes bytes = osdbBytes(layout, 2, &where);
    c.damage(bytes, where);
    dir.write("OSDB2D.BIN", bytes);
    CZelComFuncDbase db(dir.path().c_str());
    Values v = sentinels();
    EXPECT_EQ(db.CpuSpec(2, 0, v.data()), c.result);
    EXPECT_EQ(v, sampleWhere(c.written));
    Values viaModel = sentinels();
    EXPECT_EQ(db.CDbCpuSpec(1, 1, viaModel.data()), c.result == 0 ? 0 : -1);
}

std::uint32_t table0(const Placement& w) { return w.tableStart.at(0); }
std::uint32_t table2(const Placement& w) { return w.tableStart.at(2); }
std::uint32_t section(const Placement& w, int s) { return w.sectionStart.at(2)[s]; }

// The eleven reads in order: directory base, entry 0, values 0, 1, 3, 4,
// entry 2, section 0 offset, value 2, section 1 offset, value 5. A file
// ending inside the field of a read fails that read (value 3 sits below value
// 1, which is read first, so no truncation reaches it alone).
const DamageCase kDamageCases[] = {
    {"EndsInDirectoryBase", false, [](Bytes& b, const Placement&) { truncateAt(b, 10); }, 114, {}},
    {"EndsInEntry0",
     false,
     [](Bytes& b, const Placement& w) { truncateAt(b, w.directoryBase + 3); },
     114,
     {}},
    {"EndsBeforeValue0",
     false,
     [](Bytes& b, const Placement& w) { truncateAt(b, table0(w)); },
     114,
     {}},
    {"EndsBeforeValue1",
     false,
     [](Bytes& b, const Placement& w) { truncateAt(b, table0(w) + 3); },
     114,
     {0}},
    {"EndsBeforeValue4",
     false,
     [](Bytes& b, const Placement& w) { truncateAt(b, table0(w) + 5); },
     114,
     {0, 1, 3}},
    {"EndsInEntry2",
     true,
     [](Bytes& b, const Placement& w) { truncateAt(b, w.directoryBase + 9); },
     114,
     {0, 1, 3, 4}},
    {"EndsInSection0Offset",
     false,
     [](Bytes& b, const Placement& w) { truncateAt(b, table2(w) + 6); },
     114,
     {0, 1, 3, 4}},
    {"EndsInValue2",
     false,
     [](Bytes& b, const Placement& w) { truncateAt(b, section(w, 0) + 23); },
     114,
     {0, 1, 3, 4}},
    {"EndsInSection1Offset",
     false,
     [](Bytes& b, const Placement& w) {
         // Section 0 moved before the table so that the file can end after it.
         patch32(b, table2(w) + 4, static_cast<std::uint32_t>(-20));
         zel::storeLE16(&b[table2(w) + 2], 0xD204);  // 1234, most significant first
         truncateAt(b, table2(w) + 9);
     },
     114,
     {0, 1, 2, 3, 4}},
    {"EndsInValue5",
     false,
     [](Bytes& b, const Placement& w) { truncateAt(b, section(w, 1) + 19); },
     114,
     {0, 1, 2, 3, 4}},
    {"NegativeDirectoryBase",
     false,
     [](Bytes& b, const Placement&) { patch32(b, 8, 0x80000000u); },
     109,
     {}},
    {"NegativeCpuSpecTable",
     false,
     [](Bytes& b, const Placement& w) { patch32(b, w.directoryBase, 0xFFFFFF00u); },
     109,
     {}},
    {"NegativeTable2",
     false,
     [](Bytes& b, const Placement& w) { patch32(b, w.directoryBase + 8, 0x90000000u); },
     109,
     {0, 1, 3, 4}},
    {"NegativeSection1",
     false,
     [](Bytes& b, const Placement& w) { patch32(b, table2(w) + 8, 0xF0000000u); },
     109,
     {0, 1, 2, 3, 4}},
    {"WrappingOffsetsStillReadTheFields",
     true,
     [](Bytes&, const Placement&) {},
     0,
     {0, 1, 2, 3, 4, 5}},
};

INSTANTIATE_TEST_SUITE_P(Damage, CpuSpecDamageTest, ::testing::ValuesIn(kDamageCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
