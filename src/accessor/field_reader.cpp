#include "accessor/field_reader.h"

#include <cstring>

#include "format/bytes.h"

namespace zel {

// An empty slot first, then the one whose last field is the oldest.
int FieldReader::victimSlot() const {
    int victim = 0;
    for (int i = 0; i < kSlots; ++i) {
        if (m_slots[i].start < 0) return i;
        if (m_slots[i].lastUse < m_slots[victim].lastUse) victim = i;
    }
    return victim;
}

// Reads the block at blockStart into a slot. A block that the file does not
// reach is not kept.
void FieldReader::load(int slot, std::int64_t blockStart) {
    m_slots[slot] = Slot{};
    std::uint32_t got = 0;
    const bool read = m_file.readAt(blockStart, slotBytes(slot), kBlock, got);
    if (m_injector && m_injector->record)
        m_injector->fileReads.push_back({m_injectorFile, blockStart, kBlock});
    if (!read) throw FileFailure{m_file.failure()};
    if (got < kBlock) m_fileEnd = blockStart + got;
    if (got > 0) m_slots[slot] = Slot{blockStart, got, 0};
}

int FieldReader::slotFor(std::int64_t blockStart) {
    int index = -1;
    for (int i = 0; i < kSlots && index < 0; ++i)
        if (m_slots[i].start == blockStart) index = i;
    if (index < 0) {
        if (m_fileEnd >= 0 && blockStart >= m_fileEnd) return -1;
        index = victimSlot();
        load(index, blockStart);
        if (m_slots[index].start != blockStart) return -1;  // the file ends before it
    }
    m_slots[index].lastUse = ++m_uses;
    return index;
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

    // The field's bytes block by block (a field of at most kMaxField bytes
    // touches at most two blocks), up to the end of the file.
    std::uint32_t got = 0;
    std::int64_t at = offset;
    while (got < want) {
        const std::int64_t blockStart = at & ~std::int64_t{kBlock - 1};
        const int slot = slotFor(blockStart);
        if (slot < 0) break;
        const std::uint32_t length = m_slots[slot].length;
        const auto inBlock = static_cast<std::uint32_t>(at - blockStart);
        if (inBlock >= length) break;
        const std::uint32_t n = want - got < length - inBlock ? want - got : length - inBlock;
        std::memcpy(buf + got, slotBytes(slot) + inBlock, n);
        got += n;
        at += n;
        if (length < kBlock) break;  // the file ends in this block
    }
    if (got < need) throw FileFailure{Cause::endOfFile};
}

template <std::uint32_t kWidth>
bool FieldReader::fromHeldBlock(Pos pos, unsigned char (&buf)[kWidth]) {
    if (m_injector) return false;
    for (Slot& slot : m_slots) {
        // An empty slot has length 0 and admits nothing.
        const std::uint64_t inBlock = std::uint64_t{pos} - static_cast<std::uint64_t>(slot.start);
        if (inBlock + kWidth <= slot.length) {
            std::memcpy(buf, slotBytes(static_cast<int>(&slot - m_slots)) + inBlock, kWidth);
            slot.lastUse = ++m_uses;
            return true;
        }
    }
    return false;
}

std::uint8_t FieldReader::u8(Pos pos) {
    unsigned char b[1];
    if (!fromHeldBlock(pos, b)) fetch(pos, b, 1, 1);
    return b[0];
}

std::uint16_t FieldReader::u16(Pos pos) {
    unsigned char b[2];
    if (!fromHeldBlock(pos, b)) fetch(pos, b, 2, 2);
    if (m_order == ByteOrder::mostSignificantFirst) reverse2(b);
    return loadLE16(b);
}

std::uint32_t FieldReader::u32(Pos pos) {
    unsigned char b[4];
    if (!fromHeldBlock(pos, b)) fetch(pos, b, 4, 4);
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
