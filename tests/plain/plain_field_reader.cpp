// The field reader of the slow twin: each field is positioned and read on its
// own, exactly its bytes, as the file format describes the reads; nothing is
// held between fields. Failures are those of the library's field reader: a
// negative position fails the positioning, a file-layer failure gives its
// cause, and a file that ends inside a field gives endOfFile.
#include <cstring>

#include "format/bytes.h"
#include "platform/field_reader.h"

namespace zel {
namespace {

void readField(DbFile& file, Pos pos, unsigned char* buf, std::uint32_t want, std::uint32_t need) {
    const std::int32_t offset = asSigned32(pos);
    if (offset < 0) throw FileFailure{Cause::badSeek};
    std::uint32_t got = 0;
    if (!file.readAt(offset, buf, want, got)) throw FileFailure{file.failure()};
    if (got < need) throw FileFailure{Cause::endOfFile};
}

}  // namespace

std::uint8_t FieldReader::u8(Pos pos) {
    unsigned char b[1];
    readField(m_file, pos, b, 1, 1);
    return b[0];
}

std::uint16_t FieldReader::u16(Pos pos) {
    unsigned char b[2];
    readField(m_file, pos, b, 2, 2);
    if (m_order == ByteOrder::mostSignificantFirst) reverse2(b);
    return loadLE16(b);
}

std::uint32_t FieldReader::u32(Pos pos) {
    unsigned char b[4];
    readField(m_file, pos, b, 4, 4);
    if (m_order == ByteOrder::mostSignificantFirst) reverse4(b);
    return loadLE32(b);
}

void FieldReader::bytes(Pos pos, unsigned char* buf, std::uint32_t want, std::uint32_t need) {
    if (want > kMaxField) want = kMaxField;
    if (need > want) need = want;
    std::memset(buf, 0, want);
    readField(m_file, pos, buf, want, need);
}

}  // namespace zel
