// The model table and the file names as a host meets them: every model index
// gives its CPU code, and every model index and OS number reads the file of
// its own name, told apart from every other file by its values.
#include <ZelComFuncDbase.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "tests/support/database_names.h"
#include "tests/support/osdb_samples.h"
#include "tests/support/temp_dir.h"

namespace {

using zel::testing::expectedLetters;
using zel::testing::kExpectedModelCpuCodes;

TEST(ModelTableTest, EveryModelIndexGivesItsCpuCode) {
    CZelComFuncDbase db("unused");
    for (int model = -32768; model <= 32767; ++model) {
        short cpu = 0x5A5A, type = 0x5A5A;
        const short result = db.CDbCpuOsType(&cpu, &type, static_cast<short>(model), 1);
        if (model >= 0 && model < 48) {
            EXPECT_EQ(result, 0) << "model " << model;
            EXPECT_EQ(cpu, kExpectedModelCpuCodes[model]) << "model " << model;
        } else if (result != -1 || cpu != 0x5A5A) {
            ADD_FAILURE() << "model " << model << " is out of range, yet gives " << result;
        }
    }
}

// An OSDB file under every expected name, with CPU value 2 telling
// which pair it belongs to; each model and OS number must read its own.
TEST(ModelTableTest, EveryModelAndOsNumberReadsTheFileOfItsName) {
    zel::testing::TempDir dir;
    auto mark = [](short cpu, short osType) { return std::int32_t{cpu} * 100 + osType; };
    for (const zel::testing::ExpectedNameRow& row : zel::testing::kExpectedNames) {
        for (short os = 0; os < 7; ++os) {
            if (!*row.letters[os]) continue;
            const std::int32_t values[6] = {1, 2, mark(row.cpuCode, os), 4, 5, 6};
            dir.write(zel::testing::osdbFileName(row.cpuCode, os),
                      zel::testing::osdbBytes(zel::testing::cpuSpecLayout(values), row.cpuCode));
        }
    }
    CZelComFuncDbase db(dir.path().c_str());
    for (short model = 0; model < 48; ++model) {
        for (short osNumber = 1; osNumber <= 7; ++osNumber) {
            SCOPED_TRACE("model " + std::to_string(model) + ", OS " + std::to_string(osNumber));
            const short cpu = kExpectedModelCpuCodes[model];
            const short osType = static_cast<short>(osNumber - 1);
            // No JQWDB file was written: a pair with a name misses it (102),
            // a pair without one is refused before any file (-1).
            const bool named = !expectedLetters(cpu, osType).empty();
            ZelLong count = 0;
            EXPECT_EQ(db.GetPdbTb10ItemCount(model, osNumber, &count), named ? 102 : -1);
            ZelLong values[6] = {};
            EXPECT_EQ(db.CDbCpuSpec(model, osNumber, values), named ? 0 : -1);
            if (named) {
                EXPECT_EQ(values[2], mark(cpu, osType));
            }
        }
    }
}

}  // namespace
