// The accessor as a host meets it: every model index and OS number gives its
// CPU code and OS type and reads the file of its own name, told apart from
// every other file by its values; copies read the same directory.
#include <ZelComFuncDbase.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "tests/support/database_names.h"
#include "tests/support/osdb_samples.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace zel::testing;

constexpr short kUntouched = 0x5A5A;

// The model index is checked and its CPU code written before the OS number
// is checked.
TEST(ModelTableTest, EveryModelIndexAndOsNumberGivesItsCpuCodeAndOsType) {
    CZelComFuncDbase db("unused");
    for (int model = -32768; model <= 32767; ++model) {
        for (short osNumber : {-32768, -1, 0, 1, 2, 3, 4, 5, 6, 7, 8, 32767}) {
            const bool modelKnown = model >= 0 && model < 48;
            const bool known = modelKnown && osNumber >= 1 && osNumber <= 7;
            short cpu = kUntouched, type = kUntouched;
            const short result = db.CDbCpuOsType(&cpu, &type, static_cast<short>(model), osNumber);
            if (result != (known ? 0 : -1) ||
                cpu != (modelKnown ? kExpectedModelCpuCodes[model] : kUntouched) ||
                type != (known ? osNumber - 1 : kUntouched)) {
                ADD_FAILURE() << "model " << model << ", OS " << osNumber << ": result " << result
                              << ", CPU code " << cpu << ", OS type " << type;
            }
        }
    }
}

// An OSDB file under every expected name, with CPU value 2 telling which
// pair it belongs to; each model and OS number must read its own.
TEST(ModelTableTest, EveryModelAndOsNumberReadsTheFileOfItsName) {
    TempDir dir;
    auto mark = [](short cpu, short osType) { return std::int32_t{cpu} * 100 + osType; };
    for (const ExpectedNameRow& row : kExpectedNames) {
        for (short os = 0; os < 7; ++os) {
            if (!*row.letters[os]) continue;
            const std::int32_t values[6] = {1, 2, mark(row.cpuCode, os), 4, 5, 6};
            dir.write(osdbFileName(row.cpuCode, os), osdbBytes(cpuSpecLayout(values), row.cpuCode));
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
            ZelLong values[6] = {0, 0, kUntouched, 0, 0, 0};
            EXPECT_EQ(db.CDbCpuSpec(model, osNumber, values), named ? 0 : -1);
            EXPECT_EQ(values[2], named ? mark(cpu, osType) : kUntouched);
        }
    }
}

TEST(AccessorTest, CopiesAndAssignmentsNameTheSameDirectory) {
    TempDir dir;
    dir.write("OSDB2D.BIN", osdbBytes(cpuSpecLayout(), 2));
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
