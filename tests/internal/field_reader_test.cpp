// The reading path: the read-ahead window serves exactly the bytes of the
// file, a field must lie wholly inside the file, and a negative position
// fails the positioning. Injected read and close failures of every reader:
// tests/internal/injected_faults_test.cpp.
#include <ZelComFuncDbase.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "accessor/reading_path.h"
#include "tests/support/temp_dir.h"

namespace {

using zel::testing::TempDir;
using zel::writer::Bytes;

// A file whose byte at position p is (p * 7 + p / 251) mod 256, so that every
// window position is told apart.
Bytes patterned(std::size_t size) {
    Bytes b(size);
    for (std::size_t p = 0; p < size; ++p) b[p] = static_cast<std::uint8_t>(p * 7 + p / 251);
    return b;
}

struct Field {
    zel::Pos pos;
    std::uint32_t width;  // 1, 2, 4 or a record of up to 16
};

// Reads the fields in order through one reader into `got`; the call's result.
short readFields(const TempDir& dir, const std::vector<Field>& fields, std::vector<Bytes>& got) {
    zel::NameBuffer name;
    const std::string path = dir.file("f.bin");
    for (std::size_t i = 0; i < path.size(); ++i)
        name.units[i] = static_cast<unsigned char>(path[i]);
    return zel::readDatabase(name, zel::ByteOrder::leastSignificantFirst, [&](zel::FieldReader& r) {
        for (const Field& f : fields) {
            unsigned char buf[16];
            r.bytes(f.pos, buf, f.width, f.width);
            got.emplace_back(buf, buf + f.width);
        }
        return zel::kOk;
    });
}

// Fields inside one 4 KiB block, across a block boundary, back in an earlier
// block and at the end of the file.
TEST(ReadAheadTest, FieldsAnywhereInTheFileReadTheirOwnBytes) {
    TempDir dir;
    const Bytes file = patterned(3 * 4096 + 100);
    dir.write("f.bin", file);
    const std::vector<Field> fields = {
        {8, 4},      {4090, 4},  {4094, 4},  {4096, 2}, {0, 1},    {8190, 16},
        {12288, 16}, {12383, 1}, {4095, 16}, {100, 16}, {8192, 4}, {12384, 4},
    };
    std::vector<Bytes> got;
    ASSERT_EQ(readFields(dir, fields, got), 0);
    ASSERT_EQ(got.size(), fields.size());
    for (std::size_t i = 0; i < fields.size(); ++i)
        EXPECT_EQ(got[i], Bytes(file.begin() + fields[i].pos,
                                file.begin() + fields[i].pos + fields[i].width))
            << "field at " << fields[i].pos;
}

TEST(FileEndTest, FieldMustLieWhollyInsideTheFile) {
    struct EndCase {
        std::size_t fileSize;
        Field field;
        short result;
    };
    const EndCase cases[] = {
        {100, {96, 4}, 0},
        {100, {97, 4}, 114},
        {100, {100, 1}, 114},
        {4098, {4094, 4}, 0},
        {4097, {4094, 4}, 114},
        {5000, {4999, 1}, 0},
        {5000, {70000, 1}, 114},
        {100, {0x7FFFFFFF, 1}, 114},
        {100, {0x80000000u, 1}, 109},
        {100, {0xFFFFFFFFu, 4}, 109},
    };
    for (const EndCase& c : cases) {
        SCOPED_TRACE("size " + std::to_string(c.fileSize) + ", field at " +
                     std::to_string(c.field.pos));
        TempDir dir;
        dir.write("f.bin", patterned(c.fileSize));
        std::vector<Bytes> got;
        // A first field in block 0 fills the window before the tested field.
        EXPECT_EQ(readFields(dir, {{0, 1}, c.field}, got), c.result);
    }
}

}  // namespace
