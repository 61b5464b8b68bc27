#include "accessor/field_reader.h"

#include <cstring>

#include "accessor/byte_codec.h"

namespace zel {

void FieldReader::fillWindow(std::int64_t blockStart) {
    m_windowStart = -1;
    std::uint32_t got = 0;
    if (!m_file.readAt(blockStart, m_window, sizeof m_window, got))
        throw FileFailure{m_file.failure()};
    m_windowStart = blockStart;
    m_windowLength = got;
}

void FieldReader::fetch(Pos pos, unsigned char* buf, std::uint32_t want, std::uint32_t need) {
    ++m_fieldReads;
    if (m_injector) {
        if (m_injector->record) m_injector->fieldReads.push_back({m_injectorFile, pos, want});
        if (m_injector->failingFieldRead == m_fieldReads &&
            faults::failsFile(*m_injector, m_injectorFile))
            throw FileFailure{m_injector->readCause};
    }
    const std::int32_t offset = asSigned32(pos);
    if (offset < 0) throw FileFailure{Cause::badSeek};

    const std::int64_t end = std::int64_t{offset} + want;
    const bool inWindow = m_windowStart >= 0 && offset >= m_windowStart &&
                          end <= m_windowStart + std::int64_t{kBlock};
    if (!inWindow) {
        // The aligned block that holds the field; a field that crosses into
        // the next block gets a window of its own starting at the field.
        const std::int64_t block = offset & ~std::int64_t{kBlock - 1};
        fillWindow(end <= block + std::int64_t{kBlock} ? block : offset);
    }

    // Bytes of the field that the file holds: a window is short only at the
    // end of the file.
    const std::int64_t available = m_windowStart + m_windowLength - offset;
    const std::uint32_t got =
        available <= 0 ? 0 : static_cast<std::uint32_t>(available < want ? available : want);
    if (got < need) throw FileFailure{Cause::endOfFile};
    std::memcpy(buf, m_window + (offset - m_windowStart), got);
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
    if (want > kMaxField) want = kMaxField;
    if (need > want) need = want;
    std::memset(buf, 0, want);
    fetch(pos, buf, want, need);
}

}  // namespace zel
