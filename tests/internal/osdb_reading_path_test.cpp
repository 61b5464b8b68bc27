// The OSDB address and memory readers when a call fails: which check answers
// when several would, damaged files, and a failing close. The output stays
// untouched, except for the memory value, which is stored before the close,
// and the six CPU values, each written as soon as it is read.
#include <ZelComFuncDbase.h>
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>

#include "accessor/fault_injector.h"
#include "tests/support/address_file.h"
#include "tests/support/temp_dir.h"

namespace {

using zel::testing::AddressFile;
using zel::testing::TempDir;
using zel::writer::Placement;

// The database file of CPU code 2 (model 1, OS number 1) as the case finds it.
enum class File { none, endsInField, negativeTable6, negativeTable0, negativeTable9, failingClose };

struct FailureCase {
    const char* name;
    // '2'..'5': CDbTb2..CDbTb5; 'M': CDbTbMem (item: kind, entry: index);
    // 'S': CpuSpec (model: CPU code, OS number: OS type).
    char reader;
    short model, osNumber, item, entry;
    File file;
    short result;
};

const FailureCase kCases[] = {
    // Item range, then file name, then absent mark, then the file: the CPU
    // values (file errors pass through), then entry bound.
    {"Tb2Class1ItemForClass0", '2', 1, 1, 34, 1, File::none, -1},
    {"Tb2NoFileName", '2', 11, 3, 0, 1, File::none, -1},
    {"Tb2MissingFileBeforeEntry0", '2', 1, 1, 0, 0, File::none, 102},
    {"Tb2ModelIndex48", '2', 48, 1, 0, 1, File::none, -1},
    {"Tb2CpuSpecFailsBeforeEntry0", '2', 1, 1, 0, 0, File::negativeTable0, 109},
    {"Tb3Class1ItemForClass0", '3', 1, 1, 16, 0, File::none, -1},
    {"Tb3AbsentBeforeMissingFile", '3', 11, 1, 19, 0, File::none, -2},
    {"Tb3AbsentNeedsFileName", '3', 11, 3, 19, 0, File::none, -1},
    {"Tb3MissingFile", '3', 11, 1, 18, 0, File::none, 102},
    {"Tb4Class1ItemForClass0", '4', 1, 1, 96, 1, File::none, -1},
    {"Tb4PastClass1Items", '4', 11, 1, 116, 1, File::none, -1},
    {"Tb4AbsentBeforeMissingFile", '4', 1, 1, 49, 1, File::none, -2},
    {"Tb4AbsentRowBeforeMissingFile", '4', 11, 1, 96, 1, File::none, -2},
    {"Tb4AbsentNeedsFileName", '4', 1, 5, 49, 1, File::none, -1},
    {"Tb4MissingFileBeforeEntry0", '4', 1, 1, 0, 0, File::none, 102},
    {"Tb4CpuSpecFailsBeforeEntry0", '4', 1, 1, 0, 0, File::negativeTable0, 109},
    {"Tb5Class1ItemForClass0", '5', 1, 1, 28, 0, File::none, -1},
    {"Tb5NoFileName", '5', 0, 3, 0, 0, File::none, -1},
    {"Tb5OsNumber8", '5', 1, 8, 0, 0, File::none, -1},
    {"Tb5MissingFile", '5', 1, 1, 0, 0, File::none, 102},
    {"MemKindBeforeMissingFile", 'M', 1, 1, 2, 0, File::none, -1},
    {"MemIndexBeforeMissingFile", 'M', 1, 1, 9, 6, File::none, -1},
    {"MemNoFileName", 'M', 1, 5, 0, 0, File::none, -1},
    {"MemMissingFile", 'M', 1, 1, 0, 0, File::none, 102},
    // The file ends inside the last field read, or a table offset is
    // negative.
    {"Tb2EndsInField", '2', 1, 1, 0, 1, File::endsInField, 114},
    {"Tb3EndsInField", '3', 1, 1, 0, 0, File::endsInField, 114},
    {"Tb4EndsInField", '4', 1, 1, 0, 1, File::endsInField, 114},
    {"Tb5EndsInField", '5', 1, 1, 0, 0, File::endsInField, 114},
    {"MemEndsInField", 'M', 1, 1, 4, 38, File::endsInField, 114},
    {"Tb2NegativeTable", '2', 1, 1, 0, 1, File::negativeTable6, 109},
    {"Tb3NegativeTable", '3', 1, 1, 0, 0, File::negativeTable6, 109},
    {"Tb4NegativeTable", '4', 1, 1, 0, 1, File::negativeTable6, 109},
    {"Tb5NegativeTable", '5', 1, 1, 0, 0, File::negativeTable6, 109},
    {"MemNegativeTable", 'M', 1, 1, 3, 0, File::negativeTable9, 109},
    // A failing close ends the call with 100 + cause.
    {"Tb2FailingClose", '2', 1, 1, 29, 2, File::failingClose, 110},
    {"Tb3FailingClose", '3', 1, 1, 1, 0, File::failingClose, 110},
    {"Tb4FailingClose", '4', 1, 1, 83, 9, File::failingClose, 110},
    {"Tb5FailingClose", '5', 1, 1, 0, 0, File::failingClose, 110},
    {"MemFailingCloseKeepsTheValue", 'M', 1, 1, 9, 2, File::failingClose, 110},
    {"CpuSpecFailingCloseKeepsTheValues", 'S', 2, 0, 0, 0, File::failingClose, 110},
};

// Where the last field that each reader reads for item 0 (CDbTbMem: kind 4,
// index 38) ends, less one byte.
std::uint32_t insideLastField(char reader, const Placement& w) {
    if (reader == '2') return w.sectionStart.at(6)[6] + 7;
    if (reader == '3') return w.sectionStart.at(6)[8] + 7;
    if (reader == '4') return w.sectionStart.at(6)[0] + 5;
    if (reader == '5') return w.sectionStart.at(6)[4] + 13;
    return w.tableStart.at(4) + 155;
}

// Runs the call on sentinel bytes; whether it changed them.
template <class Out, class Call>
short run(bool& written, Call call) {
    Out out, before;
    std::memset(static_cast<void*>(&out), 0x5A, sizeof out);
    std::memcpy(static_cast<void*>(&before), &out, sizeof out);
    const short result = call(&out);
    written = std::memcmp(&out, &before, sizeof out) != 0;
    return result;
}

short call(CZelComFuncDbase& db, const FailureCase& c, bool& w) {
    const short m = c.model, os = c.osNumber, i = c.item, e = c.entry;
    if (c.reader == '2') return run<DbAd>(w, [&](auto* o) { return db.CDbTb2(m, os, i, e, o); });
    if (c.reader == '3') return run<DbAd>(w, [&](auto* o) { return db.CDbTb3(m, os, i, o); });
    if (c.reader == '4') return run<DbBAd>(w, [&](auto* o) { return db.CDbTb4(m, os, i, e, o); });
    if (c.reader == '5') return run<DbBAd>(w, [&](auto* o) { return db.CDbTb5(m, os, i, o); });
    using Values = std::array<ZelLong, 6>;
    if (c.reader == 'S')
        return run<Values>(w, [&](auto* o) { return db.CpuSpec(m, os, o->data()); });
    return run<ZelLong>(w, [&](auto* o) { return db.CDbTbMem(m, os, i, e, o); });
}

class OsdbFailureTest : public ::testing::TestWithParam<FailureCase> {};

TEST_P(OsdbFailureTest, GivesItsResultAndLeavesTheOutput) {
    const FailureCase& c = GetParam();
    TempDir dir;
    if (c.file != File::none) {
        AddressFile file;
        if (c.file == File::negativeTable0) file.layout.entryOverrides[0] = 0xFFFFFF00u;
        if (c.file == File::negativeTable6) file.layout.entryOverrides[6] = 0x80000000u;
        if (c.file == File::negativeTable9) file.layout.entryOverrides[9] = 0xFFFFFF00u;
        Placement where;
        zel::writer::Bytes bytes = file.bytes(2, &where);
        if (c.file == File::endsInField) bytes.resize(insideLastField(c.reader, where));
        dir.write("OSDB2D.BIN", bytes);
    }
    zel::faults::Injector injector;
    injector.failClose = c.file == File::failingClose;
    injector.closeCause = zel::Cause::hardIO;
    zel::faults::Scope scope(injector);
    CZelComFuncDbase db(dir.path().c_str());
    bool written = false;
    EXPECT_EQ(call(db, c, written), c.result);
    EXPECT_EQ(written, c.file == File::failingClose && (c.reader == 'M' || c.reader == 'S'));
}

INSTANTIATE_TEST_SUITE_P(Readers, OsdbFailureTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
