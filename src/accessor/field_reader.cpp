#include "accessor/field_reader.h"

#include <cstring>

#include "accessor/byte_codec.h"

namespace zel {

void FieldReader::fetch(Pos pos, unsigned char* buf, std::uint32_t want, std::uint32_t need) {
    const std::int32_t offset = asSigned32(pos);
    if (offset < 0) throw FileFailure{Cause::badSeek};
    std::uint32_t got = 0;
    if (!m_file.readAt(offset, buf, want, got)) throw FileFailure{m_file.failure()};
    if (got < need) throw FileFailure{Cause::endOfFile};
}

std::uint8_t FieldReader::u8(Pos pos) {
    unsigned char b[1];
    fetch(pos, b, 1, 1);
    return b[0];
}

std::uint16_t FieldReader::u16(Pos pos) {
    unsigned char b[2];
    fetch(pos, b, 2, 2);
    if (m_order == ByteOrder::mostSignificantFirst) reverse2(b);
    return loadLE16(b);
}

std::uint32_t FieldReader::u32(Pos pos) {
    unsigned char b[4];
    fetch(pos, b, 4, 4);
    if (m_order == ByteOrder::mostSignificantFirst) reverse4(b);
    return loadLE32(b);
}

void FieldReader::bytes(Pos pos, unsigned char* buf, std::uint32_t want, std::uint32_t need) {
    std::memset(buf, 0, want);
    fetch(pos, buf, want, need);
}

}  // namespace zel
