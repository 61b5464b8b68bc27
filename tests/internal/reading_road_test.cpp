// The reading road: the read-ahead window serves exactly the bytes of the
// file, and injected file-layer failures end a call with 100 + cause.
#include <ZelComFuncDbase.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "accessor/database_read.h"
#include "accessor/road_probe.h"
#include "tests/support/osdb_samples.h"
#include "tests/support/temp_dir.h"

namespace {

using zel::testing::TempDir;
using zel::writer::Bytes;

zel::NameBuffer nameOf(const std::string& path) {
    zel::NameBuffer name;
    for (std::size_t i = 0; i < path.size(); ++i)
        name.units[i] = static_cast<unsigned char>(path[i]);
    return name;
}

// A file whose byte at position p is (p * 7 + p / 251) mod 256, so that every
// window position is told apart.
Bytes patterned(std::size_t size) {
    Bytes b(size);
    for (std::size_t p = 0; p < size; ++p) b[p] = static_cast<std::uint8_t>(p * 7 + p / 251);
    return b;
}

struct Field {
    zel::Pos pos;
    std::uint32_t width;  // 1, 2, 4 or a record of up to 16
};

// Reads the fields in order through one reader; the bytes of each, or the
// result code of the call when one fails.
short readFields(const std::string& path, const std::vector<Field>& fields,
                 std::vector<Bytes>& out) {
    out.clear();
    return zel::readDatabase(nameOf(path), zel::ByteOrder::leastSignificantFirst,
                             [&](zel::FieldReader& r) {
                                 for (const Field& f : fields) {
                                     unsigned char buf[16];
                                     r.bytes(f.pos, buf, f.width, f.width);
                                     out.emplace_back(buf, buf + f.width);
                                 }
                                 return zel::kOk;
                             });
}

TEST(ReadAheadTest, FieldsAnywhereInTheFileReadTheirOwnBytes) {
    TempDir dir;
    const Bytes file = patterned(3 * 4096 + 100);
    dir.write("f.bin", file);
    const std::vector<Field> fields = {
        {8, 4},      {4090, 4},  {4094, 4},  {4096, 2}, {0, 1},    {8190, 16},
        {12288, 16}, {12383, 1}, {4095, 16}, {100, 16}, {8192, 4}, {12384, 4},
    };
    std::vector<Bytes> got;
    ASSERT_EQ(readFields(dir.file("f.bin"), fields, got), 0);
    ASSERT_EQ(got.size(), fields.size());
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const Bytes expected(file.begin() + fields[i].pos,
                             file.begin() + fields[i].pos + fields[i].width);
        EXPECT_EQ(got[i], expected) << "field at " << fields[i].pos;
    }
}

struct EndCase {
    std::size_t fileSize;
    Field field;
    short result;
};

class FileEndTest : public ::testing::TestWithParam<EndCase> {};

TEST_P(FileEndTest, FieldMustLieWhollyInsideTheFile) {
    TempDir dir;
    dir.write("f.bin", patterned(GetParam().fileSize));
    std::vector<Bytes> got;
    // A first field in block 0 fills the window before the tested field.
    EXPECT_EQ(readFields(dir.file("f.bin"), {{0, 1}, GetParam().field}, got), GetParam().result);
}

INSTANTIATE_TEST_SUITE_P(
    Boundaries, FileEndTest,
    ::testing::Values(EndCase{100, {96, 4}, 0}, EndCase{100, {97, 4}, 114},
                      EndCase{100, {100, 1}, 114}, EndCase{4098, {4094, 4}, 0},
                      EndCase{4097, {4094, 4}, 114}, EndCase{5000, {4999, 1}, 0},
                      EndCase{5000, {70000, 1}, 114}, EndCase{100, {0x7FFFFFFF, 1}, 114},
                      EndCase{100, {0x80000000u, 1}, 109}, EndCase{100, {0xFFFFFFFFu, 4}, 109}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

// CpuSpec through injected failures: a failing k-th field read leaves exactly
// the values read before it written; a failing close leaves all written.
class InjectedFaultTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir.write("OSDB2D.BIN", zel::testing::osdbBytes(zel::testing::cpuSpecLayout(), 2));
    }
    TempDir dir;
};

TEST_F(InjectedFaultTest, ReadFailureAtEachFieldStopsTheCall) {
    // Field reads: base, entry 0, values 0, 1, 3, 4, entry 2, section 0
    // offset, value 2, section 1 offset, value 5.
    const std::vector<std::vector<int>> writtenBefore = {{},
                                                         {},
                                                         {},
                                                         {0},
                                                         {0, 1},
                                                         {0, 1, 3},
                                                         {0, 1, 3, 4},
                                                         {0, 1, 3, 4},
                                                         {0, 1, 3, 4},
                                                         {0, 1, 2, 3, 4},
                                                         {0, 1, 2, 3, 4}};
    for (int k = 1; k <= 11; ++k) {
        for (zel::Cause cause :
             {zel::Cause::hardIO, zel::Cause::genericException, zel::Cause::none}) {
            zel::probe::Probe plan;
            plan.failingFieldRead = k;
            plan.readCause = cause;
            zel::probe::Scope scope(plan);
            CZelComFuncDbase db(dir.path().c_str());
            std::array<ZelLong, 6> v;
            v.fill(77);
            EXPECT_EQ(db.CpuSpec(2, 0, v.data()), zel::fileFailureResult(cause)) << k;
            for (int i = 0; i < 6; ++i) {
                const bool written =
                    std::count(writtenBefore[k - 1].begin(), writtenBefore[k - 1].end(), i);
                EXPECT_EQ(v[i], written ? zel::testing::kSampleSpec[i] : 77)
                    << "read " << k << " value " << i;
            }
            EXPECT_EQ(db.CDbCpuSpec(1, 1, v.data()), -1);
        }
    }
}

TEST_F(InjectedFaultTest, CloseFailureIsReportedAfterTheValuesAreWritten) {
    zel::probe::Probe plan;
    plan.failClose = true;
    plan.closeCause = zel::Cause::hardIO;
    zel::probe::Scope scope(plan);
    CZelComFuncDbase db(dir.path().c_str());
    std::array<ZelLong, 6> v{};
    EXPECT_EQ(db.CpuSpec(2, 0, v.data()), 110);
    EXPECT_EQ(v[5], zel::testing::kSampleSpec[5]);
}

}  // namespace

namespace {

TEST(RoadProbeTest, RecordsTheFileAndEveryFieldOfACall) {
    TempDir dir;
    zel::writer::Placement where;
    dir.write("OSDB2D.BIN", zel::testing::osdbBytes(zel::testing::cpuSpecLayout(), 2, &where));
    zel::probe::Probe probe;
    probe.record = true;
    {
        zel::probe::Scope scope(probe);
        CZelComFuncDbase db(dir.path().c_str());
        ZelLong v[6];
        ASSERT_EQ(db.CpuSpec(2, 0, v), 0);
    }
    ASSERT_EQ(probe.openedFiles.size(), 1u);
    EXPECT_EQ(probe.openedFiles[0], dir.path() + "/OSDB2D.BIN");
    const std::uint32_t a = where.tableStart[0], t = where.tableStart[2];
    const std::vector<std::pair<zel::Pos, std::uint32_t>> expected = {
        {8, 4},
        {where.directoryBase, 4},
        {a, 1},
        {a + 3, 1},
        {a + 2, 1},
        {a + 5, 1},
        {where.directoryBase + 8, 4},
        {t + 4, 4},
        {where.sectionStart[2][0] + 22, 2},
        {t + 8, 4},
        {where.sectionStart[2][1] + 18, 2}};
    ASSERT_EQ(probe.fieldReads.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(probe.fieldReads[i].file, 0);
        EXPECT_EQ(probe.fieldReads[i].pos, expected[i].first) << i;
        EXPECT_EQ(probe.fieldReads[i].width, expected[i].second) << i;
    }
}

}  // namespace
