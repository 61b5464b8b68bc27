// The six CPU values (CpuSpec, CDbCpuSpec): both byte orders, sign widening,
// and damaged files with the values read before the failure written. (File
// names and what lies under them: accessor_test.cpp, directory_test.cpp,
// special_files_test.cpp.)
#include <ZelComFuncDbase.h>
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "format/bytes.h"
#include "tests/support/database_names.h"
#include "tests/support/osdb_samples.h"
#include "tests/support/temp_dir.h"

namespace {

using zel::testing::cpuSpecLayout;
using zel::testing::kSampleSpec;
using zel::testing::osdbBytes;
using zel::testing::TempDir;
using zel::writer::Bytes;
using zel::writer::Placement;
using Values = std::array<ZelLong, 6>;

constexpr ZelLong kSentinel = 0x5A5A5A5A;
constexpr Values kUntouched = {kSentinel, kSentinel, kSentinel, kSentinel, kSentinel, kSentinel};

// The sample values at the listed indices, the sentinel elsewhere.
Values sampleAt(const std::vector<int>& written) {
    Values v = kUntouched;
    for (int i : written) v[i] = kSampleSpec[i];
    return v;
}

// Values 0, 1, 3 and 4 are signed bytes, values 2 and 5 signed 16-bit
// words; each is widened with its sign, in either byte order.
TEST(CpuSpecTest, FieldsAreWidenedWithTheirSignInBothByteOrders) {
    struct Widening {
        short cpu, model;
        std::int32_t stored[6];
        Values expected;
    };
    const Widening cases[] = {
        {2, 1, {128, 255, 0x8001, 0xFB, 0x80, 0x7FFF}, {-128, -1, -32767, -5, -128, 32767}},
        {30, 20, {127, 0xFE, 0x7FFF, 0x80, 0x7F, 0x8000}, {127, -2, 32767, -128, 127, -32768}},
    };
    TempDir dir;
    CZelComFuncDbase db(dir.path().c_str());
    for (const Widening& c : cases) {
        SCOPED_TRACE(c.cpu);
        dir.write(zel::testing::osdbFileName(c.cpu, 0), osdbBytes(cpuSpecLayout(c.stored), c.cpu));
        Values v = kUntouched, viaModel = kUntouched;
        EXPECT_EQ(db.CpuSpec(c.cpu, 0, v.data()), 0);
        EXPECT_EQ(v, c.expected);
        EXPECT_EQ(db.CDbCpuSpec(c.model, 1, viaModel.data()), 0);
        EXPECT_EQ(viaModel, c.expected);
    }
}

// A damaged file of CPU code 2. The reads in order: directory base, entry 0,
// values 0, 1, 3, 4, entry 2, section 0 offset, value 2, section 1 offset,
// value 5. The file ends at `cut` (0: not cut) or gets a negative 32-bit
// value at `patch`, both counted from `base`.
enum class Base { file, directory, table0, section0, section1, table2 };

struct DamageCase {
    const char* name;
    Base base;
    std::uint32_t cut, patch;
    short result;
    std::vector<int> written;
    bool directoryLast = false;
};

// Printed by its name: GoogleTest would print the bytes, padding included.
void PrintTo(const DamageCase& c, std::ostream* out) { *out << c.name; }

const DamageCase kDamageCases[] = {
    {"EndsInDirectoryBase", Base::file, 10, 0, 114, {}},
    {"EndsBeforeValue1", Base::table0, 3, 0, 114, {0}},
    // Value 3 lies below value 1, so the file cannot end before it alone.
    {"EndsBeforeValue4", Base::table0, 5, 0, 114, {0, 1, 3}},
    {"EndsInValue2", Base::section0, 23, 0, 114, {0, 1, 3, 4}},
    {"EndsInValue5", Base::section1, 19, 0, 114, {0, 1, 2, 3, 4}},
    {"NegativeDirectoryBase", Base::file, 0, 8, 109, {}},
    {"NegativeTable0", Base::directory, 0, 0, 109, {}},
    {"NegativeTable2", Base::directory, 0, 8, 109, {0, 1, 3, 4}},
    {"NegativeSection1", Base::table2, 0, 8, 109, {0, 1, 2, 3, 4}},
    // Tables before the directory: negative offsets that wrap to the fields.
    {"WrappingOffsetsReadTheFields", Base::file, 0, 0, 0, {0, 1, 2, 3, 4, 5}, true},
};

class CpuSpecDamageTest : public ::testing::TestWithParam<DamageCase> {};

TEST_P(CpuSpecDamageTest, FailsAtTheDamagedReadWithTheValuesReadSoFarWritten) {
    const DamageCase& c = GetParam();
    TempDir dir;
    auto layout = cpuSpecLayout();
    layout.directoryLast = c.directoryLast;
    Placement w;
    Bytes bytes = osdbBytes(layout, 2, &w);
    const std::uint32_t base[] = {0,
                                  w.directoryBase,
                                  w.tableStart.at(0),
                                  w.sectionStart.at(2)[0],
                                  w.sectionStart.at(2)[1],
                                  w.tableStart.at(2)};
    const std::uint32_t at = base[static_cast<int>(c.base)];
    if (c.cut) bytes.resize(at + c.cut);
    if (c.result == 109) {
        zel::storeLE32(&bytes[at + c.patch], 0xF0000000u);
        zel::reverse4(&bytes[at + c.patch]);  // most significant byte first
    }
    dir.write("OSDB2D.BIN", bytes);
    CZelComFuncDbase db(dir.path().c_str());
    Values v = kUntouched, viaModel = kUntouched;
    EXPECT_EQ(db.CpuSpec(2, 0, v.data()), c.result);
    EXPECT_EQ(v, sampleAt(c.written));
    EXPECT_EQ(db.CDbCpuSpec(1, 1, viaModel.data()), c.result == 0 ? 0 : -1);
}

INSTANTIATE_TEST_SUITE_P(Damage, CpuSpecDamageTest, ::testing::ValuesIn(kDamageCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
