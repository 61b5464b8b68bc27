#include "accessor/field_reader.h"

#include <cstring>

#include "format/bytes.h"

namespace zel {

bool FieldReader::holds(std::int64_t blockStart) const {
    for (const Slot& slot : m_slots)
        if (slot.start == blockStart) return true;
    return false;
}

// An empty slot first, then one no field has come from (read ahead but not
// needed), then the one whose last field is the oldest.
int FieldReader::victimSlot() const {
    int victim = 0;
    for (int i = 0; i < kSlots; ++i) {
        if (m_slots[i].start < 0) return i;
        if (m_slots[i].lastUse < m_slots[victim].lastUse) victim = i;
    }
    return victim;
}

// Reads the block at blockStart into slot `first` and, on the first read of
// the call, the blocks after it into the following slots that no field has
// come from yet, all with one read. Only blocks that the read reached are
// kept.
void FieldReader::load(int first, std::int64_t blockStart) {
    int count = 1;
    if (m_uses == 0) {
        while (first + count < kSlots && m_slots[first + count].lastUse == 0 &&
               !holds(blockStart + std::int64_t{kBlock} * count))
            ++count;
    }
    const std::uint32_t want = kBlock * static_cast<std::uint32_t>(count);
    for (int k = 0; k < count; ++k) m_slots[first + k] = Slot{};
    std::uint32_t got = 0;
    const bool read = m_file.readAt(blockStart, slotBytes(first), want, got);
    if (m_injector && m_injector->record)
        m_injector->fileReads.push_back({m_injectorFile, blockStart, want});
    if (!read) throw FileFailure{m_file.failure()};
    if (got < want) m_fileEnd = blockStart + got;
    for (int k = 0; k < count; ++k) {
        const std::uint32_t from = kBlock * static_cast<std::uint32_t>(k);
        if (got <= from) break;
        m_slots[first + k].start = blockStart + from;
        m_slots[first + k].length = got - from < kBlock ? got - from : kBlock;
    }
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
