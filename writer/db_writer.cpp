#include "writer/db_writer.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <stdexcept>

#include "accessor/byte_codec.h"

namespace zel::writer {
namespace {

constexpr std::uint32_t kDirectoryBaseAt = 8;
constexpr std::uint32_t kJqwdbTables = 11;
constexpr std::uint32_t kTableHeaderBytes = 16;

std::uint32_t align4(std::uint32_t n) { return (n + 3u) & ~3u; }

void grow(Bytes& file, std::size_t size) {
    if (file.size() < size) file.resize(size, 0);
}

void putBytes(Bytes& file, std::uint32_t at, const Bytes& bytes) {
    grow(file, std::size_t{at} + bytes.size());
    if (!bytes.empty()) std::memcpy(file.data() + at, bytes.data(), bytes.size());
}

void put32(Bytes& file, std::uint32_t at, std::uint32_t value, ByteOrder order) {
    Region r;
    r.u32(0, value);
    putBytes(file, at, r.bytes(order));
}

}  // namespace

Region& Region::reserve(std::uint32_t n) {
    m_size = std::max(m_size, n);
    return *this;
}

Region& Region::put(std::uint32_t offset, std::uint8_t width, std::uint32_t value) {
    m_fields.push_back({offset, width, value});
    return reserve(offset + width);
}

Bytes Region::bytes(ByteOrder order) const {
    Bytes out(m_size, 0);
    for (const Field& f : m_fields) {
        unsigned char b[4];
        storeLE32(b, f.value);
        if (order == ByteOrder::mostSignificantFirst) {
            if (f.width == 2) reverse2(b);
            if (f.width == 4) reverse4(b);
        }
        std::copy(b, b + f.width, out.begin() + f.offset);
    }
    return out;
}

Bytes buildOsdb(const OsdbLayout& layout, ByteOrder order, Placement* placement) {
    // The header ends with the directory base; the directory follows at its
    // base unless it is placed after the tables.
    const std::size_t headerEnd = kDirectoryBaseAt + 4;
    const std::size_t tablesFrom =
        layout.directoryLast
            ? headerEnd
            : std::max(headerEnd, std::size_t{layout.directoryBase} + 4u * layout.directoryEntries);
    Bytes file(tablesFrom, 0);
    Placement where;
    for (const auto& [number, table] : layout.tables) {
        const auto start = align4(static_cast<std::uint32_t>(file.size()));
        where.tableStart[number] = start;
        if (table.sections.empty()) {
            putBytes(file, start, table.plain.bytes(order));
            grow(file, start + 4u);  // an empty table still takes a word
            continue;
        }
        const auto count = static_cast<std::uint32_t>(table.sections.size());
        grow(file, start + 4u + 4u * count);
        auto& sections = where.sectionStart[number];
        for (std::uint32_t s = 0; s < count; ++s) {
            const auto sectionStart = align4(static_cast<std::uint32_t>(file.size()));
            sections.push_back(sectionStart);
            put32(file, start + 4 + 4 * s, sectionStart - start, order);
            putBytes(file, sectionStart, table.sections[s].bytes(order));
            grow(file, sectionStart + 4u);
        }
    }
    const std::uint32_t base = layout.directoryLast
                                   ? align4(static_cast<std::uint32_t>(file.size()))
                                   : layout.directoryBase;
    grow(file, std::size_t{base} + 4u * layout.directoryEntries);
    put32(file, kDirectoryBaseAt, base, order);
    for (const auto& [number, start] : where.tableStart)
        put32(file, base + 4 * number, start - base, order);
    for (const auto& [number, value] : layout.entryOverrides)
        put32(file, base + 4 * number, value, order);
    where.directoryBase = base;
    if (placement) *placement = where;
    return file;
}

void setCpuSpecValues(OsdbLayout& layout, const std::int32_t (&v)[6]) {
    auto byte = [](std::int32_t x) { return static_cast<std::uint8_t>(x & 0xFF); };
    auto word = [](std::int32_t x) { return static_cast<std::uint16_t>(x & 0xFFFF); };
    Region& cpuTable = layout.tables[0].plain;
    cpuTable.u8(0, byte(v[0])).u8(2, byte(v[3])).u8(3, byte(v[1])).u8(5, byte(v[4]));
    auto& sections = layout.tables[2].sections;
    if (sections.size() < 2) sections.resize(2);
    sections[0].u16(22, word(v[2]));
    sections[1].u16(18, word(v[5]));
}

Bytes buildJqwdb(const JqwdbLayout& layout, Placement* placement) {
    constexpr ByteOrder kOrder = ByteOrder::leastSignificantFirst;
    Bytes file;
    const std::uint32_t base = layout.directoryBase;
    put32(file, kDirectoryBaseAt, base, kOrder);
    grow(file, std::size_t{base} + 4u * kJqwdbTables);
    Placement where;
    for (const auto& [number, table] : layout.tables) {
        const auto start = align4(static_cast<std::uint32_t>(file.size()));
        where.tableStart[number] = start;
        put32(file, base + 4 * number, start - base, kOrder);
        put32(file, start, static_cast<std::uint32_t>(table.lastIndex), kOrder);
        put32(file, start + 4, static_cast<std::uint32_t>(table.recordSize), kOrder);
        put32(file, start + 8, table.word8, kOrder);
        put32(file, start + 12, table.word12, kOrder);
        std::uint32_t at = start + kTableHeaderBytes;
        for (const Bytes& record : table.records) {
            putBytes(file, at, record);
            at += static_cast<std::uint32_t>(table.recordSize);
        }
    }
    for (const auto& [number, value] : layout.entryOverrides)
        put32(file, base + 4 * number, value, kOrder);
    where.directoryBase = base;
    if (placement) *placement = where;
    return file;
}

void writeFile(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace zel::writer
