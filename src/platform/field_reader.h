// Positioned reads of the fields of one open database file. A read that
// cannot deliver its field (a negative position, a file-layer failure, or a
// file that ends inside the field) throws FileFailure, which the reading path
// (accessor/reading_path.h) turns into 100 + cause.
//
// Fields are served from the bytes of the file that the call has read, kept
// inside the reader, so on the stack of the call. The call's first read takes
// a window of kWindowBlocks aligned 4 KiB blocks from the block of its first
// field on (the header, block 0, for every reader), so a file packed the way
// the maintainers' tools pack it gives every field of the call in one read:
// each further 4 KiB of one read costs a small part of what a second read
// costs. Fields outside the window come from single blocks held in kSlots
// slots. A call visits at most five kinds of places in its file: the header
// (in the window), the table directory, the CPU specification table (DbTb2,
// DbTb4), section offset lists or a table header, and rows or records; so
// four slots keep a call from reading any block twice. The window is never
// given up; where a call needs more than four blocks outside it, the slot
// whose last field is the oldest is (the CPU specification table, which the
// call does not revisit). Stack: (kWindowBlocks + kSlots) x 4 KiB, 4 KiB
// aligned (up to 4 KiB more for the alignment), plus a few words.
#ifndef ZEL_PLATFORM_FIELD_READER_H
#define ZEL_PLATFORM_FIELD_READER_H

#include <cstddef>
#include <cstdint>

#include "format/bytes.h"
#include "format/position.h"
#include "platform/file_cause.h"
#include "platform/file_layer.h"

namespace zel {

struct FileFailure {
    Cause cause;
};

class FieldReader {
  public:
    // The widest field or record part a reader asks for.
    static constexpr std::uint32_t kMaxField = 16;
    static constexpr std::uint32_t kBlock = 4096;
    static constexpr int kWindowBlocks = 4;
    static constexpr int kSlots = 4;

    FieldReader(DbFile& file, ByteOrder order) : m_file(file), m_order(order) {}
    FieldReader(const FieldReader&) = delete;
    FieldReader& operator=(const FieldReader&) = delete;

    std::uint8_t u8(Pos pos);
    std::uint16_t u16(Pos pos);
    std::uint32_t u32(Pos pos);

    // Reads up to `want` (at most kMaxField) bytes at pos into buf after
    // zeroing them; fails with endOfFile when fewer than `need` (need <=
    // want) arrive.
    void bytes(Pos pos, unsigned char* buf, std::uint32_t want, std::uint32_t need);

  private:
    // A range of the file held in the arena: the window (kWindow) or one
    // block.
    struct Held {
        std::int64_t start = -1;    // file position of its first byte; -1 for none
        std::uint32_t length = 0;   // bytes the file holds there (short at its end)
        std::uint32_t lastUse = 0;  // when a field last came from it; 0 for never
    };
    static constexpr int kWindow = 0;
    static constexpr int kHeld = 1 + kSlots;

    // Copies a value that lies wholly inside a range the call holds. A
    // position that is negative as a signed 32-bit value never does (ranges
    // end at or before 2^31).
    template <std::uint32_t kWidth>
    bool fromHeld(Pos pos, unsigned char (&buf)[kWidth]);
    void fetch(Pos pos, unsigned char* buf, std::uint32_t want, std::uint32_t need);
    // The held range that holds the byte at `at`, read if needed; -1 when the
    // file ends before it.
    int heldFor(std::int64_t at);
    // Reads the range of `held` starting at blockStart: the window, or one
    // block into the slot given up least recently used first.
    void load(int held, std::int64_t blockStart, std::uint32_t length);
    int victimSlot() const;
    unsigned char* bytesOf(int held) {
        return m_arena + (held == kWindow ? 0 : std::size_t{kBlock} * (kWindowBlocks + held - 1));
    }

    DbFile& m_file;
    ByteOrder m_order;
    std::uint32_t m_uses = 0;
    // Where the file ends, once a read has come back short; -1 until then.
    std::int64_t m_fileEnd = -1;
    Held m_held[kHeld];
    // Left uninitialised: only bytes that a read delivered are ever copied out.
    alignas(kBlock) unsigned char m_arena[(kWindowBlocks + kSlots) * kBlock];
};

}  // namespace zel

#endif
