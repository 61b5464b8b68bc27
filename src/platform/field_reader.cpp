#include "platform/field_reader.h"

#include <cstring>

#include "format/bytes.h"
#include "platform/test_seam.h"

namespace zel {
namespace {

// The test build's hook on every field that a reader asks for, before the
// field is served from wherever the product serves it; nothing in the
// shipped library.
void observeField(Pos pos, std::uint32_t width) {
    Cause cause = Cause::none;
    if (seam::failsField(pos, width, cause)) throw FileFailure{cause};
}

}  // namespace

// An empty slot first, then the one whose last field is the oldest; never
// the window.
int FieldReader::victimSlot() const {
    int victim = kWindow + 1;
    for (int i = kWindow + 1; i < kHeld; ++i) {
        if (m_held[i].start < 0) return i;
        if (m_held[i].lastUse < m_held[victim].lastUse) victim = i;
    }
    return victim;
}

// Reads `length` bytes at blockStart into `held`. Nothing is kept where the
// file ends before blockStart.
void FieldReader::load(int held, std::int64_t blockStart, std::uint32_t length) {
    m_held[held] = Held{};
    std::uint32_t got = 0;
    if (!m_file.readAt(blockStart, bytesOf(held), length, got)) throw FileFailure{m_file.failure()};
    if (got < length) m_fileEnd = blockStart + got;
    if (got > 0) m_held[held] = Held{blockStart, got, 0};
}

int FieldReader::heldFor(std::int64_t at) {
    int index = -1;
    for (int i = 0; i < kHeld && index < 0; ++i)
        if (m_held[i].start >= 0 && at >= m_held[i].start &&
            at - m_held[i].start < m_held[i].length)
            index = i;
    if (index < 0) {
        if (m_fileEnd >= 0 && at >= m_fileEnd) return -1;
        const std::int64_t blockStart = at & ~std::int64_t{kBlock - 1};
        // Until the window holds bytes, no slot does: a block read later lies
        // before the window or after all of it, never inside.
        if (m_held[kWindow].start < 0) {
            index = kWindow;
            load(index, blockStart, kWindowBlocks * kBlock);
        } else {
            index = victimSlot();
            load(index, blockStart, kBlock);
        }
        // The file ends before the block, or inside it before `at`.
        if (m_held[index].start < 0 || at - m_held[index].start >= m_held[index].length) return -1;
    }
    m_held[index].lastUse = ++m_uses;
    return index;
}

void FieldReader::fetch(Pos pos, unsigned char* buf, std::uint32_t want, std::uint32_t need) {
    const std::int32_t offset = asSigned32(pos);
    if (offset < 0) throw FileFailure{Cause::badSeek};

    // The field's bytes range by range (a field of at most kMaxField bytes
    // touches at most two), up to the end of the file: a range that the file
    // cut short is followed by nothing.
    std::uint32_t got = 0;
    std::int64_t at = offset;
    while (got < want) {
        const int held = heldFor(at);
        if (held < 0) break;
        const auto in = static_cast<std::uint32_t>(at - m_held[held].start);
        const std::uint32_t left = m_held[held].length - in;
        const std::uint32_t n = want - got < left ? want - got : left;
        std::memcpy(buf + got, bytesOf(held) + in, n);
        got += n;
        at += n;
    }
    if (got < need) throw FileFailure{Cause::endOfFile};
}

template <std::uint32_t kWidth>
bool FieldReader::fromHeld(Pos pos, unsigned char (&buf)[kWidth]) {
    for (int i = 0; i < kHeld; ++i) {
        // A field that starts before the range, or in an empty one, is not
        // inside it; otherwise its offset in the range is small and the
        // width is compared with what is left, so nothing wraps.
        const Held& held = m_held[i];
        if (held.start < 0 || std::int64_t{pos} < held.start) continue;
        const std::uint64_t in = std::uint64_t{pos} - static_cast<std::uint64_t>(held.start);
        if (in < held.length && kWidth <= held.length - in) {
            std::memcpy(buf, bytesOf(i) + in, kWidth);
            m_held[i].lastUse = ++m_uses;
            return true;
        }
    }
    return false;
}

std::uint8_t FieldReader::u8(Pos pos) {
    observeField(pos, 1);
    unsigned char b[1];
    if (!fromHeld(pos, b)) fetch(pos, b, 1, 1);
    return b[0];
}

std::uint16_t FieldReader::u16(Pos pos) {
    observeField(pos, 2);
    unsigned char b[2];
    if (!fromHeld(pos, b)) fetch(pos, b, 2, 2);
    if (m_order == ByteOrder::mostSignificantFirst) reverse2(b);
    return loadLE16(b);
}

std::uint32_t FieldReader::u32(Pos pos) {
    observeField(pos, 4);
    unsigned char b[4];
    if (!fromHeld(pos, b)) fetch(pos, b, 4, 4);
    if (m_order == ByteOrder::mostSignificantFirst) reverse4(b);
    return loadLE32(b);
}

void FieldReader::bytes(Pos pos, unsigned char* buf, std::uint32_t want, std::uint32_t need) {
    if (want > kMaxField) want = kMaxField;
    if (need > want) need = want;
    observeField(pos, want);
    std::memset(buf, 0, want);
    fetch(pos, buf, want, need);
}

}  // namespace zel
