// Memory table (CDbTbMem): the table and highest index of each memory kind,
// refused kinds and indices, both byte orders, and damaged files.
#include <ZelComFuncDbase.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/address_file.h"
#include "tests/support/temp_dir.h"

namespace {

using zel::testing::AddressFile;
using zel::testing::Cpu;
using zel::testing::TempDir;

constexpr ZelLong kUntouched = 0x5A5A5A5A;
constexpr std::uint32_t kEntry = 0x89ABCDEF;  // negative as a signed value

struct MemoryCase {
    const char* name;
    short kind;
    short index;
    short result;
    unsigned table;  // entries at the table start, or in section 0 of table 9
};

const MemoryCase kCases[] = {
    {"Kind0First", 0, 0, 0, 1},
    {"Kind0Highest", 0, 14, 0, 1},
    {"Kind0PastHighest", 0, 15, -1, 0},
    {"Kind0Negative", 0, -1, -1, 0},
    {"Kind1Highest", 1, 31, 0, 10},
    {"Kind1PastHighest", 1, 32, -1, 0},
    {"Kind2", 2, 0, -1, 0},
    {"Kind2AnyIndex", 2, 5, -1, 0},
    {"Kind3First", 3, 0, 0, 9},
    {"Kind3Highest", 3, 19, 0, 9},
    {"Kind3PastHighest", 3, 20, -1, 0},
    {"Kind4Highest", 4, 38, 0, 4},
    {"Kind4PastHighest", 4, 39, -1, 0},
    {"Kind5Highest", 5, 22, 0, 3},
    {"Kind5PastHighest", 5, 23, -1, 0},
    {"Kind6Highest", 6, 19, 0, 12},
    {"Kind6PastHighest", 6, 20, -1, 0},
    {"Kind7Highest", 7, 31, 0, 14},
    {"Kind7PastHighest", 7, 32, -1, 0},
    {"Kind8Highest", 8, 19, 0, 15},
    {"Kind8PastHighest", 8, 20, -1, 0},
    {"Kind9Highest", 9, 5, 0, 9},
    {"Kind9PastHighest", 9, 6, -1, 0},
    {"KindNegative", -1, 0, -1, 0},
    {"Kind10", 10, 0, -1, 0},
};

struct Run {
    MemoryCase c;
    Cpu cpu;
};

std::vector<Run> runs() {
    std::vector<Run> all;
    for (const MemoryCase& c : kCases) {
        all.push_back({c, zel::testing::kClass0MsbFirst});
        all.push_back({c, zel::testing::kClass0LsbFirst});
    }
    return all;
}

class MemoryTableTest : public ::testing::TestWithParam<Run> {};

TEST_P(MemoryTableTest, ReadsTheEntryOfTheKindOrRefuses) {
    const MemoryCase& c = GetParam().c;
    const Cpu& cpu = GetParam().cpu;
    TempDir dir;
    AddressFile file;
    const std::uint32_t at = 4u * static_cast<std::uint32_t>(c.index);
    if (c.result == 0) (c.table == 9 ? file.section(9, 0) : file.plain(c.table)).u32(at, kEntry);
    file.writeTo(dir, cpu.cpuCode, 0);
    CZelComFuncDbase db(dir.path().c_str());
    ZelLong out = kUntouched;
    EXPECT_EQ(db.CDbTbMem(cpu.model, cpu.osNumber, c.kind, c.index, &out), c.result);
    EXPECT_EQ(out, c.result == 0 ? static_cast<ZelLong>(-0x76543211) : kUntouched);
}

INSTANTIATE_TEST_SUITE_P(Kinds, MemoryTableTest, ::testing::ValuesIn(runs()), [](const auto& info) {
    return std::string(info.param.c.name) + "_" + info.param.cpu.label;
});

TEST(MemoryTableSharedTest, Kinds3And9ReadTheSameEntries) {
    TempDir dir;
    AddressFile file;
    file.section(9, 0).u32(20, 4242);
    file.writeTo(dir, 2, 0);
    CZelComFuncDbase db(dir.path().c_str());
    ZelLong kind3 = kUntouched, kind9 = kUntouched;
    EXPECT_EQ(db.CDbTbMem(1, 1, 3, 5, &kind3), 0);
    EXPECT_EQ(db.CDbTbMem(1, 1, 9, 5, &kind9), 0);
    EXPECT_EQ(kind3, 4242);
    EXPECT_EQ(kind9, 4242);
}

TEST(MemoryTableStorageTest, FirstByteOfTheEntryIsMostSignificantOnlyBelowCpuCode30) {
    AddressFile file;
    file.plain(1).u32(0, 0x11223344);
    zel::writer::Placement where;
    for (short cpu : {2, 30}) {
        TempDir dir;
        zel::writer::Bytes bytes = file.bytes(cpu, &where);
        const std::uint32_t entry = where.tableStart.at(1);
        // Swap the entry's bytes end for end: the other byte order's reading.
        std::swap(bytes[entry], bytes[entry + 3]);
        std::swap(bytes[entry + 1], bytes[entry + 2]);
        dir.write(zel::writer::osdbFileName(cpu, 0), bytes);
        CZelComFuncDbase db(dir.path().c_str());
        ZelLong out = kUntouched;
        ASSERT_EQ(db.CDbTbMem(cpu == 2 ? 1 : 20, 1, 0, 0, &out), 0);
        EXPECT_EQ(out, 0x44332211) << "CPU code " << cpu;
        EXPECT_EQ(bytes[entry], cpu == 2 ? 0x44 : 0x11) << "CPU code " << cpu;
    }
}

struct FailureCase {
    const char* name;
    bool fileExists;
    short model, osNumber, kind, index;
    bool cutInEntry;
    short result;
};

const FailureCase kFailures[] = {
    {"KindBeforeMissingFile", false, 1, 1, 2, 0, false, -1},
    {"IndexBeforeMissingFile", false, 1, 1, 9, 6, false, -1},
    {"NoFileName", false, 1, 5, 0, 0, false, -1},
    {"MissingFile", false, 1, 1, 0, 0, false, 102},
    {"ModelIndex48", false, 48, 1, 0, 0, false, -1},
    {"FileEndsInEntry", true, 1, 1, 4, 38, true, 114},
};

class MemoryFailureTest : public ::testing::TestWithParam<FailureCase> {};

TEST_P(MemoryFailureTest, LeavesTheValueUntouched) {
    const FailureCase& c = GetParam();
    TempDir dir;
    if (c.fileExists) {
        AddressFile file;
        zel::writer::Placement where;
        zel::writer::Bytes bytes = file.bytes(2, &where);
        // Table 4 entry 38 lies at table start + 152.
        if (c.cutInEntry) bytes.resize(where.tableStart.at(4) + 154);
        dir.write("OSDB2D.BIN", bytes);
    }
    CZelComFuncDbase db(dir.path().c_str());
    ZelLong out = kUntouched;
    EXPECT_EQ(db.CDbTbMem(c.model, c.osNumber, c.kind, c.index, &out), c.result);
    EXPECT_EQ(out, kUntouched);
}

INSTANTIATE_TEST_SUITE_P(Failures, MemoryFailureTest, ::testing::ValuesIn(kFailures),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MemoryTableDamageTest, NegativeTable9SectionGives109) {
    TempDir dir;
    AddressFile file;
    file.layout.entryOverrides[9] = 0xFFFFFF00u;
    file.writeTo(dir, 30, 0);
    CZelComFuncDbase db(dir.path().c_str());
    ZelLong out = kUntouched;
    EXPECT_EQ(db.CDbTbMem(20, 1, 3, 0, &out), 109);
    EXPECT_EQ(out, kUntouched);
}

}  // namespace
