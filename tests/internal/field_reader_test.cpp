// The reading path: the blocks kept by a call serve exactly the bytes of the
// file, no block is read twice in a call, a field must lie wholly inside the
// file, and a negative position fails the positioning. Injected read and close
// failures of every reader: tests/internal/injected_faults_test.cpp.
#include <ZelComFuncDbase.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "accessor/reading_path.h"
#include "platform/fault_injector.h"
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

// How readFields asks for a field: always as bytes, or as the 1-, 2- or
// 4-byte value of that width, given back least significant byte first.
enum class Ask { bytes, typed };

// Reads the fields in order through one reader into `got`; the call's result.
short readFields(const TempDir& dir, const std::vector<Field>& fields, std::vector<Bytes>& got,
                 Ask ask = Ask::bytes,
                 zel::ByteOrder order = zel::ByteOrder::leastSignificantFirst) {
    zel::NameBuffer name;
    const std::string path = dir.file("f.bin");
    for (std::size_t i = 0; i < path.size(); ++i)
        name.units[i] = static_cast<unsigned char>(path[i]);
    return zel::readDatabase(name, order, [&](zel::FieldReader& r) {
        for (const Field& f : fields) {
            unsigned char buf[16];
            std::uint32_t value = 0;
            if (ask == Ask::bytes || f.width == 16) {
                r.bytes(f.pos, buf, f.width, f.width);
            } else {
                value = f.width == 1 ? r.u8(f.pos) : f.width == 2 ? r.u16(f.pos) : r.u32(f.pos);
                for (std::uint32_t b = 0; b < f.width; ++b) buf[b] = (value >> (8 * b)) & 0xFF;
            }
            got.emplace_back(buf, buf + f.width);
        }
        return zel::kOk;
    });
}

// Each field read holds the bytes of the file at its position; 2- and 4-byte
// values read most significant byte first hold them reversed.
void expectOwnBytes(const Bytes& file, const std::vector<Field>& fields,
                    const std::vector<Bytes>& got, bool msb = false) {
    for (std::size_t i = 0; i < got.size(); ++i) {
        const auto from = file.begin() + fields[i].pos;
        Bytes expected(from, from + fields[i].width);
        if (msb && fields[i].width > 1 && fields[i].width < 16)
            std::reverse(expected.begin(), expected.end());
        EXPECT_EQ(got[i], expected) << "field at " << fields[i].pos;
    }
}

// No byte of the file is read twice by the call that the injector recorded.
void expectNoByteReadTwice(const zel::faults::Injector& injector) {
    const auto& reads = injector.fileReads;
    for (std::size_t i = 0; i < reads.size(); ++i)
        for (std::size_t j = 0; j < i; ++j)
            EXPECT_TRUE(reads[i].offset + reads[i].length <= reads[j].offset ||
                        reads[j].offset + reads[j].length <= reads[i].offset)
                << "bytes at " << reads[i].offset << " read twice";
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
        // Beyond the first four blocks: the last block ends before the field.
        {20000, {19996, 4}, 0},
        {20000, {20004, 4}, 114},
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

// Six places: the window (blocks 0 to 3) and four slots held; block 20, read
// first but used since, and block 17 used least recently when block 6 comes;
// then back to block 20, which must still be held, and to the window.
constexpr zel::Pos kB = 4096;
const std::vector<Field> kSixPlaces = {
    {8, 4},
    {20 * kB, 4},
    {17 * kB + 2, 1},
    {20 * kB + 8, 4},
    {14 * kB, 4},
    {11 * kB, 2},
    {8, 4},
    {20 * kB + 24, 4},
    {14 * kB + 40, 4},
    {6 * kB + 100, 2},
    {6 * kB + 112, 4},
    {20 * kB + 40, 4},
    {12, 4},
};

// Blocks a call visits in reader order (header, directory, CPU table, lists,
// rows and back), and how many reads of the file layer the call makes: one
// for the first four blocks from the first field's block on, then one per
// distinct block. Each case's fields must come back as the file holds them
// and no byte of the file may be read twice.
TEST(BlockCacheTest, EveryBlockOfACallIsReadOnce) {
    struct WalkCase {
        const char* what;
        std::vector<Field> fields;
        std::size_t fileReads;
    };
    const WalkCase cases[] = {
        {"a packed file: every field in the first four blocks",
         {{8, 4}, {3 * kB + 8, 4}, {kB, 16}, {2 * kB + 3, 1}, {4 * kB - 4, 4}},
         1},
        {"five neighbouring blocks", {{8, 4}, {4 * kB + 8, 4}, {kB, 16}, {2 * kB + 3, 1}}, 2},
        {"a first field after block 0", {{5 * kB, 4}, {8 * kB + 8, 4}, {kB, 4}, {6 * kB, 2}}, 2},
        {"five places far apart, revisited",
         {{8, 4},
          {20 * kB, 4},
          {17 * kB + 2, 1},
          {20 * kB + 8, 4},
          {14 * kB + 4, 4},
          {17 * kB + 22, 2},
          {8, 4},
          {20 * kB + 24, 4},
          {14 * kB + 40, 4},
          {6 * kB + 100, 2},
          {6 * kB + 112, 4}},
         5},
        {"a field across two blocks", {{8, 4}, {9 * kB - 2, 4}, {9 * kB + 8, 4}}, 3},
        {"six places: the window is kept, the header revisited last",
         {{8, 4}, {20 * kB, 4}, {17 * kB, 4}, {14 * kB, 4}, {11 * kB, 4}, {6 * kB, 4}, {16, 4}},
         6},
        {"six places: the one visited longest ago is given up first", kSixPlaces, 6},
    };
    TempDir dir;
    const Bytes file = patterned(21 * kB);
    dir.write("f.bin", file);
    for (const WalkCase& c : cases) {
        SCOPED_TRACE(c.what);
        zel::faults::Injector injector;
        injector.record = true;
        std::vector<Bytes> got;
        {
            zel::faults::Scope scope(injector);
            ASSERT_EQ(readFields(dir, c.fields, got), 0);
        }
        expectOwnBytes(file, c.fields, got);
        EXPECT_EQ(injector.fileReads.size(), c.fileReads);
        expectNoByteReadTwice(injector);
    }
}

// Fields of every width at every position from 16 bytes before to 16 bytes
// after each edge of the window and of each slot, with the block on the far
// side of the edge held or not, asked before or after the block at the edge
// is held, in both byte orders: each comes back as the file holds it, and no
// block is read twice while the call needs at most four blocks outside the
// window. The window holds blocks 4 to 7; block 12 goes into slot k after k
// far blocks have filled the slots before it.
TEST(BlockCacheTest, FieldsAroundEveryEdgeOfEveryHeldRange) {
    TempDir dir;
    const Bytes file = patterned(24 * kB);
    dir.write("f.bin", file);
    constexpr std::uint32_t kWidths[] = {1, 2, 4, 16};
    // 33 positions x 4 widths x 2 byte orders x 2 orders x neighbour held or
    // not x 2 edges x 5 ranges (the window, slots 0 to 3).
    for (int c = 0; c < 33 * 4 * 2 * 2 * 2 * 2 * 5; ++c) {
        int rest = c;
        const auto next = [&rest](int n) {
            const int digit = rest % n;
            rest /= n;
            return digit;
        };
        const int offset = next(33) - 16;
        const std::uint32_t width = kWidths[next(4)];
        const bool msb = next(2), heldFirst = next(2), neighbourHeld = next(2), end = next(2);
        const int slot = next(5) - 1;
        const zel::Pos block = slot < 0 ? (end ? 7 : 4) : 12;
        const Field tested{(block + end) * kB + offset, width};
        SCOPED_TRACE("slot " + std::to_string(slot) + (end ? " end" : " start") +
                     (neighbourHeld ? ", neighbour held" : "") +
                     (heldFirst ? ", block held first" : ", field first"));
        // The window, the tested field when asked first, the far blocks, the
        // block at the edge, its neighbour, the tested field.
        std::vector<Field> fields = {{4 * kB + 8, 4}};
        if (!heldFirst) fields.push_back(tested);
        for (int f = 0; f < slot; ++f) fields.push_back({(20 + f) * kB, 4});
        if (slot >= 0) fields.push_back({block * kB + 2048, 4});
        if (neighbourHeld) fields.push_back({(end ? block + 1 : block - 1) * kB + 2048, 4});
        fields.push_back(tested);

        zel::faults::Injector injector;
        injector.record = true;
        std::vector<Bytes> got;
        {
            zel::faults::Scope scope(injector);
            const auto order =
                msb ? zel::ByteOrder::mostSignificantFirst : zel::ByteOrder::leastSignificantFirst;
            ASSERT_EQ(readFields(dir, fields, got, Ask::typed, order), 0);
        }
        expectOwnBytes(file, fields, got, msb);
        std::set<zel::Pos> outside;  // the blocks the call needs outside the window
        for (const Field& f : fields)
            for (zel::Pos b : {f.pos / kB, (f.pos + f.width - 1) / kB})
                if (b < 4 || b > 7) outside.insert(b);
        if (outside.size() <= 4) expectNoByteReadTwice(injector);
        if (::testing::Test::HasFailure()) return;
    }
}

}  // namespace
