// The bounds functions of the C interface refuse what names no table, model,
// OS or item, and never write a name that does not fit. What they answer for
// real selectors is checked against zelcomdb's dump by the Python module's
// tests, whose dump walks by them.
#include <ZelComFuncDbaseC.h>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

namespace {

const ZelLong kValues[6] = {8, 4, 4096, 2, 1, 256};

TEST(CBounds, SelectorsOutsideTheTablesAreRefused) {
    const struct {
        const char* call;
        std::function<short()> answer;
        short expected;
    } cases[] = {
        {"item count of table 1", [] { return zel_item_count(1, 1); }, -1},
        {"item count of table 6", [] { return zel_item_count(6, 1); }, -1},
        {"item count of model 48", [] { return zel_item_count(2, 48); }, -1},
        {"item count of model -1", [] { return zel_item_count(2, -1); }, -1},
        {"entries of table 3", [] { return zel_entry_count(3, 1, 0, kValues); }, -1},
        {"entries beyond the map", [] { return zel_entry_count(2, 1, 34, kValues); }, -1},
        {"entries of item -1", [] { return zel_entry_count(4, 1, -1, kValues); }, -1},
        {"entries without values", [] { return zel_entry_count(2, 1, 0, nullptr); }, -1},
        {"device entries of OS 0", [] { return zel_device_entry_count(0, kValues); }, -1},
        {"device entries of OS 8", [] { return zel_device_entry_count(8, kValues); }, -1},
        {"memory kind 2", [] { return zel_memory_last_index(2); }, -1},
        {"memory kind 10", [] { return zel_memory_last_index(10); }, -1},
        {"memory kind -1", [] { return zel_memory_last_index(-1); }, -1},
        {"byte order of model 48", [] { return zel_big_endian(48); }, -1},
    };
    for (const auto& c : cases) EXPECT_EQ(c.answer(), c.expected) << c.call;
}

TEST(CBounds, FileNamesFitOrAreNotWritten) {
    char name[16];
    ASSERT_EQ(zel_osdb_file_name(1, 1, name, sizeof name), 0);
    EXPECT_STREQ(name, "OSDB2D.BIN");
    for (int size : {0, 10, -1}) {
        std::memset(name, 'x', sizeof name);
        EXPECT_EQ(zel_osdb_file_name(1, 1, name, size), -1) << size;
        EXPECT_EQ(name[0], 'x') << size;
    }
    EXPECT_EQ(zel_jqwdb_file_name(1, 8, name, sizeof name), -1);
    EXPECT_EQ(zel_jqwdb_file_name(48, 1, name, sizeof name), -1);
}

// Device entries: value 0, but at least 16 for OS numbers 5 and 6; entry
// numbers are short, so a larger value reaches all of them.
TEST(CBounds, DeviceEntriesFollowValueZero) {
    const ZelLong big[6] = {100000, 0, 0, 0, 0, 0};
    EXPECT_EQ(zel_device_entry_count(1, kValues), 8);
    EXPECT_EQ(zel_device_entry_count(5, kValues), 16);
    EXPECT_EQ(zel_device_entry_count(1, big), 32767);
}

}  // namespace
