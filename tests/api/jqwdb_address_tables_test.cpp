// JQWDB tables 0 and 1: the 8-bit attr bytes are widened with their sign, the
// 16- and 32-bit fields keep their stored bits.
#include <ZelComFuncDbase.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "tests/support/jqwdb_samples.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace zel::testing;
using zel::writer::Bytes;
using zel::writer::JqwdbLayout;
using zel::writer::JqwdbTable;

struct AttrCase {
    std::uint8_t stored;
    short widened;
};

class AddressTableAttrTest : public ::testing::TestWithParam<AttrCase> {};

JqwdbTable oneRecord(Bytes record) {
    JqwdbTable t;
    t.lastIndex = 0;
    t.recordSize = 16;
    t.records = {std::move(record)};
    return t;
}

TEST_P(AddressTableAttrTest, AttrBytesAreSignExtendedWordsKeepTheirBits) {
    const unsigned a = GetParam().stored;
    const short w = GetParam().widened;
    JqwdbLayout layout;
    // Table 0: attr1, attr2 at bytes 12 and 13; table 1: at bytes 10 and 11.
    layout.tables[0] = oneRecord(
        bytesOf({0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0x80, 0xFF, 0xFF, 0x00, 0x80, a, a, 0x01, 0x80}));
    layout.tables[1] =
        oneRecord(bytesOf({0, 0, 0, 0x80, 0xFF, 0xFF, 0xFF, 0x7F, 0x00, 0x80, a, a, 0xFF, 0xFF}));
    TempDir dir;
    writeJqwdb(dir, layout);
    CZelComFuncDbase db(dir.path().c_str());

    PdbJAd j = sentinel<PdbJAd>();
    ASSERT_EQ(db.CPdbTb0(kModel, kOsNumber, 0, &j), 0);
    EXPECT_EQ(fields(j),
              std::make_tuple(-1, INT32_MIN, short{-1}, short{-32768}, w, w, short{-32767}));
    PdbCAd c = sentinel<PdbCAd>();
    ASSERT_EQ(db.CPdbTb1(kModel, kOsNumber, 0, &c), 0);
    EXPECT_EQ(fields(c), std::make_tuple(INT32_MIN, INT32_MAX, short{-32768}, w, w, short{-1}));
}

INSTANTIATE_TEST_SUITE_P(Bytes, AddressTableAttrTest,
                         ::testing::Values(AttrCase{0x00, 0}, AttrCase{0x01, 1},
                                           AttrCase{0x7F, 127}, AttrCase{0x80, -128},
                                           AttrCase{0xFF, -1}),
                         [](const auto& info) {
                             return "byte" + std::to_string(unsigned{info.param.stored});
                         });

}  // namespace
