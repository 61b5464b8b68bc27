// Memory table (CDbTbMem): the table and highest index of each memory kind,
// in both byte orders. The order of the checks, damaged files and a failing
// close: tests/internal/osdb_reading_path_test.cpp.
#include <ZelComFuncDbase.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "tests/support/address_file.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace zel::testing;

constexpr ZelLong kUntouched = 0x5A5A5A5A;

struct MemoryKind {
    const char* name;
    short kind;
    unsigned table;  // entries at the table start, or in section 0 of table 9; 0: refused
    short highest;
};

// Printed by its name: GoogleTest would print the bytes, padding included.
void PrintTo(const MemoryKind& c, std::ostream* out) { *out << c.name; }

const MemoryKind kKinds[] = {
    {"Kind0", 0, 1, 14},          {"Kind1", 1, 10, 31},
    {"Kind2NotServed", 2, 0, -1}, {"Kind3", 3, 9, 19},
    {"Kind4", 4, 4, 38},          {"Kind5", 5, 3, 22},
    {"Kind6", 6, 12, 19},         {"Kind7", 7, 14, 31},
    {"Kind8", 8, 15, 19},         {"Kind9SameEntriesAs3", 9, 9, 5},
    {"KindNegative", -1, 0, -1},  {"Kind10", 10, 0, -1},
};

class MemoryTableTest : public ::testing::TestWithParam<MemoryKind> {};

TEST_P(MemoryTableTest, ReadsIndex0ToTheHighestOfItsTable) {
    const MemoryKind& k = GetParam();
    const unsigned section = k.table == 9 ? 0 : kPlain;
    for (const Cpu& cpu : {kClass0MsbFirst, kClass0LsbFirst}) {
        SCOPED_TRACE(cpu.label);
        TempDir dir;
        AddressFile file;
        const std::uint32_t last = 4u * static_cast<std::uint32_t>(k.highest);
        if (k.table)
            (section == 0 ? file.section(9, 0) : file.plain(k.table)).u32(last, 0x89ABCDEF);
        file.writeTo(dir, cpu.cpuCode, 0);
        CZelComFuncDbase db(dir.path().c_str());
        for (short index : {short(-1), short(0), k.highest, short(k.highest + 1)}) {
            const bool served = k.table && index >= 0 && index <= k.highest;
            ZelLong out = kUntouched;
            EXPECT_EQ(db.CDbTbMem(cpu.model, cpu.osNumber, k.kind, index, &out), served ? 0 : -1)
                << "index " << index;
            const auto entry0 = static_cast<ZelLong>(noiseWord(k.table, section, 0));
            EXPECT_EQ(out, !served      ? kUntouched
                           : index == 0 ? entry0
                                        : ZelLong{-0x76543211})
                << "index " << index;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, MemoryTableTest, ::testing::ValuesIn(kKinds),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
