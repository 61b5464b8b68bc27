// The accessor object: its checks of model index and OS number, and copies.
#include <ZelComFuncDbase.h>
#include <gtest/gtest.h>

#include <string>

#include "tests/support/osdb_samples.h"
#include "tests/support/temp_dir.h"

namespace {

constexpr short kUntouched = 0x5A5A;

// The model index is checked and its CPU code written before the OS number
// is checked.
TEST(AccessorTest, CpuOsTypeChecksModelIndexThenWritesCpuCodeThenChecksOsNumber) {
    struct CpuOsTypeCase {
        short model, osNumber, result;
        short cpuCode, osType;  // kUntouched when not written
    };
    const CpuOsTypeCase cases[] = {
        {0, 1, 0, 0, 0},
        {13, 2, 0, 16, 1},
        {17, 3, 0, 7, 2},
        {31, 7, 0, 42, 6},
        {47, 7, 0, 0, 6},
        {48, 1, -1, kUntouched, kUntouched},
        {-1, 1, -1, kUntouched, kUntouched},
        {-32768, 1, -1, kUntouched, kUntouched},
        {5, 0, -1, 6, kUntouched},
        {5, 8, -1, 6, kUntouched},
        {5, -32768, -1, 6, kUntouched},
    };
    CZelComFuncDbase db("unused");
    for (const CpuOsTypeCase& c : cases) {
        SCOPED_TRACE("model " + std::to_string(c.model) + ", OS " + std::to_string(c.osNumber));
        short cpu = kUntouched, type = kUntouched;
        EXPECT_EQ(db.CDbCpuOsType(&cpu, &type, c.model, c.osNumber), c.result);
        EXPECT_EQ(cpu, c.cpuCode);
        EXPECT_EQ(type, c.osType);
    }
}

TEST(AccessorTest, CopiesAndAssignmentsNameTheSameDirectory) {
    zel::testing::TempDir dir;
    dir.write("OSDB2D.BIN", zel::testing::osdbBytes(zel::testing::cpuSpecLayout(), 2));
    CZelComFuncDbase original(dir.path().c_str());
    CZelComFuncDbase copy(original);
    CZelComFuncDbase assigned("elsewhere");
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

}  // namespace
