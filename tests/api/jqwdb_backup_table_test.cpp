// JQWDB table 10, the backup table: head and tail items split at splitIndex,
// and GetPdbTb10ItemCount. (The item count as an exclusive bound and the
// parameter memory: jqwdb_container_test.cpp.)
#include <ZelComFuncDbase.h>
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "format/bytes.h"
#include "tests/support/jqwdb_samples.h"

namespace {

using namespace zel::testing;
using zel::writer::Bytes;
using Fields = std::vector<std::int64_t>;

// Record i of patternTable. Head items: the fields at kRecordPlaces[10];
// tail items: value1 and value2 as head items, attr1 byte 3, attr2 the given
// value, the rest -1. Records of n bytes.
Bytes record(unsigned i) { return patternTable(0, 16, i + 1, 16).records.back(); }
Fields head(unsigned i, unsigned n = 16) { return fieldsAt(record(i), n, kRecordPlaces[10]); }
Fields tail(unsigned i, std::int64_t attr2, unsigned n = 16) {
    Fields f = fieldsAt(record(i), n, {{4, 4}, {8, 4}, {3, 1}});
    f.insert(f.end(), {attr2, -1, -1, -1});
    return f;
}
// An item left untouched: every byte 0x5A.
const Fields kUntouched = {0x5A5A5A5A, 0x5A5A5A5A, 0x5A5A, 0x5A5A, 0x5A5A, 0x5A5A, 0x5A5A};

TEST(BackupItemTest, HeadAndTailItems) {
    struct Case {
        const char* name;
        std::int32_t count, recordSize;
        std::uint32_t splitIndexWord;  // splitIndex in its low 16 bits
        std::uint32_t splitValueWord;  // splitValue in its low 16 bits
        short index, result;
        Fields expected;
    };
    const Case cases[] = {
        // Split at 3, splitValue 258 (upper bytes of the words ignored); the
        // item at splitIndex alone carries splitValue.
        {"Split3_Item2_Head", 6, 16, 0x00010003, 0xABCD0102, 2, 0, head(2)},
        {"Split3_Item3_TailWithSplitValue", 6, 16, 0x00010003, 0xABCD0102, 3, 0, tail(3, 258)},
        {"Split3_Item4_Tail", 6, 16, 0x00010003, 0xABCD0102, 4, 0, tail(4, -1)},
        {"Split3_NegativeSplitValue", 6, 16, 3, 0x0000FFFE, 3, 0, tail(3, -2)},
        // 0xFFFF is -1 as a signed 16-bit number: every item is a tail item.
        {"SplitFFFF_Item0_Tail", 6, 16, 0xFFFF, 0x0102, 0, 0, tail(0, -1)},
        {"Split8000_Item5_Tail", 6, 16, 0x8000, 0x0102, 5, 0, tail(5, -1)},
        {"NegativeCount_Item0", -5, 16, 0, 0, 0, -1, kUntouched},
        // splitIndex 0: no split. The record size is the stride; at most 16
        // bytes are kept, and those a short record leaves unread give 0.
        {"NoSplit_Size40_Item5", 6, 40, 0, 0, 5, 0, head(5)},
        {"NoSplit_Size8_Item2", 6, 8, 0, 0, 2, 0, head(2, 8)},
        {"Split2_Size8_Item2", 6, 8, 2, 0x7FFF, 2, 0, tail(2, 32767, 8)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto size = static_cast<std::uint32_t>(c.recordSize);
        zel::writer::JqwdbTable table =
            patternTable(c.count, c.recordSize, 6, size < 16 ? size : 16);
        table.splitIndexWord = c.splitIndexWord;
        table.splitValueWord = c.splitValueWord;
        TempDir dir;
        writeJqwdb(dir, oneTable(10, table));
        CZelComFuncDbase db(dir.path().c_str());
        const TableAnswer a = readTable(db, 10, c.index);
        EXPECT_EQ(a.result, c.result);
        EXPECT_EQ(a.fields, c.expected);
    }
}

// The item count as stored, negative ones included; only the directory base,
// the table offset and the count are read, and they must arrive whole.
TEST(ItemCountTest, ReadsAndStoresTheCountAsStored) {
    zel::writer::Placement where;
    Bytes file = zel::writer::buildJqwdb(oneTable(10, patternTable(INT32_MIN, 16, 4, 16)), &where);
    const std::uint32_t start = where.tableStart.at(10);
    TempDir dir;
    CZelComFuncDbase db(dir.path().c_str());
    const auto count = [&] {
        dir.write(zel::testing::jqwdbFileName(kCpuCode, kOsType), file);
        return answer(db, {ZEL_GetPdbTb10ItemCount, kModel, kOsNumber, 0, 0, 0});
    };
    EXPECT_EQ(count().fields, Fields{INT32_MIN});
    file.resize(start + 4);  // ends right after the count: the record size is not needed
    zel::storeLE32(&file[start], 4);
    const TableAnswer counted = count();
    EXPECT_EQ(counted.result, 0);
    EXPECT_EQ(counted.fields, Fields{4});
    EXPECT_EQ(readTable(db, 10, 0).result, 114);  // the item reader needs the record size
    file.resize(start + 3);                       // ends inside the count
    const TableAnswer cut = count();
    EXPECT_EQ(cut.result, 114);
    EXPECT_TRUE(cut.untouched);
}

}  // namespace
