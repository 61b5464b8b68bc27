// Positioned reads of the fields of one open database file. A read that
// cannot deliver its field (a negative position, a file-layer failure, or a
// file that ends inside the field) throws FileFailure, which the reading road
// (database_read.h) turns into 100 + cause.
#ifndef ZEL_ACCESSOR_FIELD_READER_H
#define ZEL_ACCESSOR_FIELD_READER_H

#include <cstdint>

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
    FieldReader(DbFile& file, ByteOrder order) : m_file(file), m_order(order) {}

    std::uint8_t u8(Pos pos);
    std::uint16_t u16(Pos pos);
    std::uint32_t u32(Pos pos);

    // Reads up to `want` bytes at pos into buf after zeroing them; fails with
    // endOfFile when fewer than `need` bytes (need <= want) arrive.
    void bytes(Pos pos, unsigned char* buf, std::uint32_t want, std::uint32_t need);

private:
    void fetch(Pos pos, unsigned char* buf, std::uint32_t want, std::uint32_t need);

    DbFile& m_file;
    ByteOrder m_order;
};

}  // namespace zel

#endif
