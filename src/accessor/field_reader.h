// Positioned reads of the fields of one open database file. A read that
// cannot deliver its field (a negative position, a file-layer failure, or a
// file that ends inside the field) throws FileFailure, which the reading path
// (database_read.h) turns into 100 + cause.
//
// Fields are served from a read-ahead window: the first field of a call
// fetches the aligned 4 KiB block that holds it with one read, and later
// fields inside that block cost no further system call.
#ifndef ZEL_ACCESSOR_FIELD_READER_H
#define ZEL_ACCESSOR_FIELD_READER_H

#include <cstdint>

#include "accessor/fault_injector.h"
#include "accessor/file_layer.h"
#include "accessor/position.h"
#include "accessor/result_codes.h"

namespace zel {

struct FileFailure {
    Cause cause;
};

// How the 2- and 4-byte values of a file are stored.
enum class ByteOrder { leastSignificantFirst, mostSignificantFirst };

// OSDB files of the CPU codes below 30 store every 2- and 4-byte value most
// significant byte first; nothing in the file marks it. JQWDB files are least
// significant byte first for every CPU code.
inline ByteOrder osdbByteOrder(short cpuCode) {
    return cpuCode < 30 ? ByteOrder::mostSignificantFirst : ByteOrder::leastSignificantFirst;
}

class FieldReader {
  public:
    // The widest field or record part a reader asks for.
    static constexpr std::uint32_t kMaxField = 16;
    static constexpr std::uint32_t kBlock = 4096;

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
    void fetch(Pos pos, unsigned char* buf, std::uint32_t want, std::uint32_t need);
    void fillWindow(std::int64_t blockStart);

    DbFile& m_file;
    ByteOrder m_order;
    faults::Injector* m_injector = faults::current();
    int m_injectorFile;
    int m_fieldReads = 0;
    // The window holds the file's bytes [m_windowStart, m_windowStart +
    // m_windowLength).
    std::int64_t m_windowStart = -1;
    std::uint32_t m_windowLength = 0;
    unsigned char m_window[kBlock];
};

}  // namespace zel

#endif
