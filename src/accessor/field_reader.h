// Positioned reads of the fields of one open database file. A read that
// cannot deliver its field (a negative position, a file-layer failure, or a
// file that ends inside the field) throws FileFailure, which the reading path
// (reading_path.h) turns into 100 + cause.
//
// Fields are served from the aligned 4 KiB blocks of the file that the call
// has read, kept in kSlots slots inside the reader, so on the stack of the
// call: 5 x 4 KiB, page-aligned (up to 4 KiB more for the alignment), plus a
// few words. A call visits at most five kinds of places in its file: the
// header, the table directory, the CPU specification table (DbTb2, DbTb4),
// section offset lists or a table header, and rows or records. Kept in five
// blocks, no field makes the call read a block twice; where a call needs
// more, the block whose last field is the oldest is given up first (the CPU
// specification table, which the call does not revisit).
//
// Each read takes one block. Reading several adjacent blocks with one read
// was measured: on the machines this is built on, each further 4 KiB copied
// costs more than the reads it saves on a database laid out compactly, and
// calls that need one block, or blocks far apart, pay it for nothing.
#ifndef ZEL_ACCESSOR_FIELD_READER_H
#define ZEL_ACCESSOR_FIELD_READER_H

#include <cstddef>
#include <cstdint>

#include "accessor/fault_injector.h"
#include "accessor/file_layer.h"
#include "accessor/result_codes.h"
#include "format/bytes.h"
#include "format/position.h"

namespace zel {

struct FileFailure {
    Cause cause;
};

class FieldReader {
  public:
    // The widest field or record part a reader asks for.
    static constexpr std::uint32_t kMaxField = 16;
    static constexpr std::uint32_t kBlock = 4096;
    static constexpr int kSlots = 5;

    // injectorFile: the index of the file in the installed injector's log.
    FieldReader(DbFile& file, ByteOrder order, int injectorFile = -1)
        : m_file(file), m_order(order), m_injectorFile(injectorFile) {}
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
    // One block of the file held in m_arena.
    struct Slot {
        std::int64_t start = -1;    // file position of the block; -1 for none
        std::uint32_t length = 0;   // bytes the file holds there (< kBlock at its end)
        std::uint32_t lastUse = 0;  // when a field last came from it; 0 for never
    };

    // Copies a value that lies wholly inside a block the call holds. A
    // position that is negative as a signed 32-bit value never does (blocks
    // end at or before 2^31), and nothing is served this way while an
    // injector counts the field reads.
    template <std::uint32_t kWidth>
    bool fromHeldBlock(Pos pos, unsigned char (&buf)[kWidth]);
    void fetch(Pos pos, unsigned char* buf, std::uint32_t want, std::uint32_t need);
    // The slot holding the block that starts at blockStart, read if needed;
    // -1 when the file ends before it.
    int slotFor(std::int64_t blockStart);
    unsigned char* slotBytes(int slot) {
        return m_arena + std::size_t{kBlock} * static_cast<std::size_t>(slot);
    }
    int victimSlot() const;
    void load(int slot, std::int64_t blockStart);

    DbFile& m_file;
    ByteOrder m_order;
    faults::Injector* m_injector = faults::current();
    int m_injectorFile;
    int m_fieldReads = 0;
    std::uint32_t m_uses = 0;
    // Where the file ends, once a read has come back short; -1 until then.
    std::int64_t m_fileEnd = -1;
    Slot m_slots[kSlots];
    // Left uninitialised: only bytes that a read delivered are ever copied out.
    alignas(kBlock) unsigned char m_arena[kSlots * kBlock];
};

}  // namespace zel

#endif
