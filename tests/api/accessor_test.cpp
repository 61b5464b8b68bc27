// The accessor object and its checks of model index and OS number.
#include <ZelComFuncDbase.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/osdb_samples.h"
#include "tests/support/temp_dir.h"

namespace {

using zel::testing::TempDir;

struct CpuOsTypeCase {
    short model;
    short osNumber;
    short result;
    short cpuCode;  // kUntouched when not written
    short osType;   // kUntouched when not written
};
constexpr short kUntouched = 0x5A5A;

class CpuOsTypeTest : public ::testing::TestWithParam<CpuOsTypeCase> {};

TEST_P(CpuOsTypeTest, ChecksModelIndexThenWritesCpuCodeThenChecksOsNumber) {
    const CpuOsTypeCase& c = GetParam();
    CZelComFuncDbase db("unused");
    short cpu = kUntouched, type = kUntouched;
    EXPECT_EQ(db.CDbCpuOsType(&cpu, &type, c.model, c.osNumber), c.result);
    EXPECT_EQ(cpu, c.cpuCode);
    EXPECT_EQ(type, c.osType);
}

INSTANTIATE_TEST_SUITE_P(
    Bounds, CpuOsTypeTest,
    ::testing::Values(
        CpuOsTypeCase{0, 1, 0, 0, 0}, CpuOsTypeCase{1, 1, 0, 2, 0}, CpuOsTypeCase{13, 2, 0, 16, 1},
        CpuOsTypeCase{17, 3, 0, 7, 2}, CpuOsTypeCase{20, 5, 0, 30, 4},
        CpuOsTypeCase{25, 6, 0, 36, 5}, CpuOsTypeCase{31, 7, 0, 42, 6},
        CpuOsTypeCase{47, 7, 0, 0, 6}, CpuOsTypeCase{48, 1, -1, kUntouched, kUntouched},
        CpuOsTypeCase{-1, 1, -1, kUntouched, kUntouched},
        CpuOsTypeCase{-32768, 1, -1, kUntouched, kUntouched},
        CpuOsTypeCase{5, 0, -1, 6, kUntouched}, CpuOsTypeCase{5, 8, -1, 6, kUntouched},
        CpuOsTypeCase{5, 9, -1, 6, kUntouched}, CpuOsTypeCase{5, -1, -1, 6, kUntouched},
        CpuOsTypeCase{5, -32768, -1, 6, kUntouched}),
    [](const auto& info) {
        auto text = [](int v) { return v < 0 ? "minus" + std::to_string(-v) : std::to_string(v); };
        return "model" + text(info.param.model) + "_os" + text(info.param.osNumber);
    });

TEST(AccessorTest, CopiesAndAssignmentsNameTheSameDirectory) {
    TempDir dir;
    dir.write("OSDB2D.BIN", zel::testing::osdbBytes(zel::testing::cpuSpecLayout(), 2));
    CZelComFuncDbase original(dir.path().c_str());
    CZelComFuncDbase copy(original);
    CZelComFuncDbase assigned("elsewhere");
    assigned = original;
    {
        CZelComFuncDbase temporary(original);
        assigned = temporary;
    }
    for (CZelComFuncDbase* db : {&original, &copy, &assigned}) {
        ZelLong values[6] = {};
        EXPECT_EQ(db->CDbCpuSpec(1, 1, values), 0);
        EXPECT_EQ(values[2], 1234);
    }
}

TEST(AccessorTest, DirectoryWithOrWithoutSeparatorFindsTheSameFiles) {
    TempDir dir;
    dir.write("OSDB2D.BIN", zel::testing::osdbBytes(zel::testing::cpuSpecLayout(), 2));
    for (const std::string& path : {dir.path(), dir.path() + "/", dir.path() + "\\"}) {
        CZelComFuncDbase db(path.c_str());
        ZelLong values[6] = {};
        EXPECT_EQ(db.CpuSpec(2, 0, values), 0) << path;
    }
}

TEST(AccessorTest, Utf16ConstructorTakesTheDirectoryAsGiven) {
    TempDir dir;
    dir.write("OSDB3D.BIN", zel::testing::osdbBytes(zel::testing::cpuSpecLayout(), 2));
    std::vector<unsigned short> path(dir.path().begin(), dir.path().end());
    path.push_back(0);
    CZelComFuncDbase db(path.data());
    ZelLong values[6] = {};
    EXPECT_EQ(db.CpuSpec(2, 1, values), 0);
}

}  // namespace
