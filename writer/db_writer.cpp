#include "writer/db_writer.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <stdexcept>

#include "format/bytes.h"
#include "format/cpu_spec_values.h"
#include "format/directory.h"
#include "format/jqwdb_tables.h"

namespace zel::writer {
namespace {

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

// Where the readers are to find a table or section: where it lies, or where
// the layout sends them instead.
template <class Key>
std::uint32_t shownAt(const std::map<Key, std::uint32_t>& moved, const Key& key,
                      std::uint32_t lies) {
    const auto it = moved.find(key);
    return it == moved.end() ? lies : it->second;
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
    for (const Field& f : m_fields) storeOrdered(out.data() + f.offset, f.width, f.value, order);
    return out;
}

Bytes buildOsdb(const OsdbLayout& layout, ByteOrder order, Placement* placement) {
    // The header ends with the directory base; the directory follows at its
    // base unless it is placed after the tables.
    const std::size_t headerEnd = kDirectoryBaseAt + kWordBytes;
    const std::size_t tablesFrom =
        layout.directoryLast ? headerEnd
                             : std::max(headerEnd, std::size_t{layout.directoryBase} +
                                                       kWordBytes * layout.directoryEntries);
    Bytes file(tablesFrom, 0);
    Placement where;
    // The region that ends the file is placed after all others.
    const auto endsIn = [&](unsigned number, int section) {
        return layout.endsInside && layout.endsInside->table == number &&
               layout.endsInside->section == section;
    };
    const Region* lastRegion = nullptr;
    std::uint32_t* lastEntry = nullptr;  // a plain table's start
    std::uint32_t lastFrom = 0;          // the start of a section's table
    for (const auto& [number, table] : layout.tables) {
        const auto start = align4(static_cast<std::uint32_t>(file.size()));
        where.tableStart[number] = start;
        if (table.sections.empty()) {
            if (endsIn(number, kPlain)) {
                lastEntry = &where.tableStart[number];
                lastRegion = &table.plain;
                continue;
            }
            putBytes(file, start, table.plain.bytes(order));
            grow(file, start + kWordBytes);  // an empty table still takes a word
            continue;
        }
        const auto count = static_cast<std::uint32_t>(table.sections.size());
        grow(file, sectionEntryAt(start, static_cast<std::uint16_t>(count)));
        auto& sections = where.sectionStart[number];
        for (std::uint32_t s = 0; s < count; ++s) {
            const auto sectionStart = align4(static_cast<std::uint32_t>(file.size()));
            sections.push_back(sectionStart);
            if (endsIn(number, static_cast<int>(s))) {
                lastRegion = &table.sections[s];
                lastFrom = start;
                continue;
            }
            put32(file, sectionEntryAt(start, static_cast<std::uint16_t>(s)),
                  shownAt(layout.sectionsAt, {number, s}, sectionStart) - start, order);
            putBytes(file, sectionStart, table.sections[s].bytes(order));
            grow(file, sectionStart + kWordBytes);
        }
    }
    if (lastRegion) {
        const auto at = align4(static_cast<std::uint32_t>(file.size()));
        const EndsInside& end = *layout.endsInside;
        if (end.section == kPlain) {
            *lastEntry = at;
        } else {
            where.sectionStart[end.table][static_cast<std::size_t>(end.section)] = at;
            put32(file, sectionEntryAt(lastFrom, static_cast<std::uint16_t>(end.section)),
                  at - lastFrom, order);
        }
        putBytes(file, at, lastRegion->bytes(order));
        file.resize(std::size_t{at} + end.length, 0);
    }
    const std::uint32_t base = layout.directoryLast
                                   ? align4(static_cast<std::uint32_t>(file.size()))
                                   : layout.directoryBase;
    grow(file, std::size_t{base} + kWordBytes * layout.directoryEntries);
    put32(file, kDirectoryBaseAt, base, order);
    for (const auto& [number, start] : where.tableStart)
        put32(file, tableEntryAt(base, static_cast<std::uint16_t>(number)),
              shownAt(layout.tablesAt, number, start) - base, order);
    for (const auto& [number, value] : layout.entryOverrides)
        put32(file, tableEntryAt(base, static_cast<std::uint16_t>(number)), value, order);
    where.directoryBase = base;
    if (placement) *placement = where;
    return file;
}

void setCpuSpecValues(OsdbLayout& layout, const std::int32_t (&v)[kCpuSpecValues]) {
    for (int i = 0; i < kCpuSpecValues; ++i) {
        const CpuSpecPlace& place = kCpuSpecPlaces[i];
        OsdbTable& table = layout.tables[place.table];
        Region* region = &table.plain;
        if (place.section != kPlain) {
            const auto section = static_cast<std::size_t>(place.section);
            if (table.sections.size() <= section) table.sections.resize(section + 1);
            region = &table.sections[section];
        }
        const auto bits = static_cast<std::uint32_t>(v[i]);
        if (place.width == 1) region->u8(place.offset, static_cast<std::uint8_t>(bits & 0xFFu));
        if (place.width == 2) region->u16(place.offset, static_cast<std::uint16_t>(bits & 0xFFFFu));
    }
}

Bytes buildJqwdb(const JqwdbLayout& layout, Placement* placement) {
    constexpr ByteOrder kOrder = kJqwdbByteOrder;
    Bytes file;
    const std::uint32_t base = layout.directoryBase;
    put32(file, kDirectoryBaseAt, base, kOrder);
    grow(file, std::size_t{base} + kWordBytes * kJqwdbTableCount);
    Placement where;
    auto place = [&](unsigned number, const JqwdbTable& table) {
        const auto start = align4(static_cast<std::uint32_t>(file.size()));
        where.tableStart[number] = start;
        put32(file, tableEntryAt(base, static_cast<std::uint16_t>(number)),
              shownAt(layout.tablesAt, number, start) - base, kOrder);
        put32(file, start + kFirstWordAt, static_cast<std::uint32_t>(table.lastIndex), kOrder);
        put32(file, start + kRecordSizeAt, static_cast<std::uint32_t>(table.recordSize), kOrder);
        put32(file, start + kSplitIndexAt, table.splitIndexWord, kOrder);
        put32(file, start + kSplitValueAt, table.splitValueWord, kOrder);
        std::uint32_t at = start + kTableHeaderBytes;
        for (const Bytes& record : table.records) {
            putBytes(file, at, record);
            at += static_cast<std::uint32_t>(table.recordSize);
        }
        return start;
    };
    const auto endsIn = [&](unsigned number) {
        return layout.endsInside && layout.endsInside->table == number;
    };
    for (const auto& [number, table] : layout.tables)
        if (!endsIn(number)) place(number, table);
    if (layout.endsInside) {
        const unsigned last = layout.endsInside->table;
        const std::uint32_t start = place(last, layout.tables.at(last));
        file.resize(std::size_t{start} + layout.endsInside->length, 0);
    }
    for (const auto& [number, value] : layout.entryOverrides)
        put32(file, tableEntryAt(base, static_cast<std::uint16_t>(number)), value, kOrder);
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
