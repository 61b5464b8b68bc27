// The OSDB address and memory readers when a call fails: which check answers
// when several would, and damaged files. The output stays untouched.
#include <ZelComFuncDbase.h>
#include <gtest/gtest.h>

#include <string>

#include "tests/support/address_file.h"
#include "tests/support/member_call.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace zel::testing;
using zel::writer::Placement;

// The database file of CPU code 2 (model 1, OS number 1) as the case finds it.
enum class File { none, endsInField, negativeTable0, negativeTable9 };

struct FailureCase {
    const char* name;
    ZelMember reader;  // CDbTbMem: item is the kind, entry the index
    short model, osNumber, item, entry;
    File file;
    short result;
};

// Printed by its name: GoogleTest would print the bytes, padding included.
void PrintTo(const FailureCase& c, std::ostream* out) { *out << c.name; }

const FailureCase kCases[] = {
    // Item range, then file name, then absent mark, then the file: the CPU
    // values (file errors pass through), then entry bound.
    {"Tb2Class1ItemForClass0", ZEL_CDbTb2, 1, 1, 34, 1, File::none, -1},
    {"Tb2NoFileName", ZEL_CDbTb2, 11, 3, 0, 1, File::none, -1},
    {"Tb2MissingFileBeforeEntry0", ZEL_CDbTb2, 1, 1, 0, 0, File::none, 102},
    {"Tb2ModelIndex48", ZEL_CDbTb2, 48, 1, 0, 1, File::none, -1},
    {"Tb2CpuSpecFailsBeforeEntry0", ZEL_CDbTb2, 1, 1, 0, 0, File::negativeTable0, 109},
    {"Tb3Class1ItemForClass0", ZEL_CDbTb3, 1, 1, 16, 0, File::none, -1},
    {"Tb3AbsentBeforeMissingFile", ZEL_CDbTb3, 11, 1, 19, 0, File::none, -2},
    {"Tb3AbsentNeedsFileName", ZEL_CDbTb3, 11, 3, 19, 0, File::none, -1},
    {"Tb3MissingFile", ZEL_CDbTb3, 11, 1, 18, 0, File::none, 102},
    {"Tb4Class1ItemForClass0", ZEL_CDbTb4, 1, 1, 96, 1, File::none, -1},
    {"Tb4PastClass1Items", ZEL_CDbTb4, 11, 1, 116, 1, File::none, -1},
    {"Tb4AbsentBeforeMissingFile", ZEL_CDbTb4, 1, 1, 49, 1, File::none, -2},
    {"Tb4AbsentRowBeforeMissingFile", ZEL_CDbTb4, 11, 1, 96, 1, File::none, -2},
    {"Tb4AbsentNeedsFileName", ZEL_CDbTb4, 1, 5, 49, 1, File::none, -1},
    {"Tb4MissingFileBeforeEntry0", ZEL_CDbTb4, 1, 1, 0, 0, File::none, 102},
    {"Tb4CpuSpecFailsBeforeEntry0", ZEL_CDbTb4, 1, 1, 0, 0, File::negativeTable0, 109},
    {"Tb5Class1ItemForClass0", ZEL_CDbTb5, 1, 1, 28, 0, File::none, -1},
    {"Tb5NoFileName", ZEL_CDbTb5, 0, 3, 0, 0, File::none, -1},
    {"Tb5OsNumber8", ZEL_CDbTb5, 1, 8, 0, 0, File::none, -1},
    {"Tb5MissingFile", ZEL_CDbTb5, 1, 1, 0, 0, File::none, 102},
    {"MemKindBeforeMissingFile", ZEL_CDbTbMem, 1, 1, 2, 0, File::none, -1},
    {"MemIndexBeforeMissingFile", ZEL_CDbTbMem, 1, 1, 9, 6, File::none, -1},
    {"MemNoFileName", ZEL_CDbTbMem, 1, 5, 0, 0, File::none, -1},
    {"MemMissingFile", ZEL_CDbTbMem, 1, 1, 0, 0, File::none, 102},
    // The file ends inside the last field read, a table offset is negative.
    // (Every other reader meets both on the same path: FileEndTest in
    // field_reader_test.cpp; a failing close of every reader:
    // injected_faults_test.cpp.)
    {"Tb4EndsInField", ZEL_CDbTb4, 1, 1, 0, 1, File::endsInField, 114},
    {"MemNegativeTable", ZEL_CDbTbMem, 1, 1, 3, 0, File::negativeTable9, 109},
};

// Where the last field that CDbTb4 reads for item 0 (V and W of slot 1 of
// table 6 section 0) ends, less one byte.
std::uint32_t insideLastField(const Placement& w) { return w.sectionStart.at(6)[0] + 5; }

class OsdbFailureTest : public ::testing::TestWithParam<FailureCase> {};

TEST_P(OsdbFailureTest, GivesItsResultAndLeavesTheOutput) {
    const FailureCase& c = GetParam();
    TempDir dir;
    if (c.file != File::none) {
        AddressFile file;
        if (c.file == File::negativeTable0) file.layout.entryOverrides[0] = 0xFFFFFF00u;
        if (c.file == File::negativeTable9) file.layout.entryOverrides[9] = 0xFFFFFF00u;
        Placement where;
        zel::writer::Bytes bytes = file.bytes(2, &where);
        if (c.file == File::endsInField) bytes.resize(insideLastField(where));
        dir.write("OSDB2D.BIN", bytes);
    }
    CZelComFuncDbase db(dir.path().c_str());
    const TableAnswer a = answer(db, {c.reader, c.model, c.osNumber, c.item, c.entry, 0});
    EXPECT_EQ(a.result, c.result);
    EXPECT_TRUE(a.untouched);
}

INSTANTIATE_TEST_SUITE_P(Readers, OsdbFailureTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
