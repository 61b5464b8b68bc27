#include "bench/bench_database.h"

#include <algorithm>
#include <cstdint>
#include <set>

#include "accessor/file_naming.h"
#include "format/directory.h"
#include "format/jqwdb_tables.h"
#include "writer/db_writer.h"

namespace zel::bench {
namespace {

using writer::Bytes;

// Tables of an OSDB file as real ones are shaped: the table of
// the CPU specification values, plain memory tables and the sectioned address tables, each a few
// hundred bytes, so that a call's fields spread over several 4 KiB blocks.
writer::OsdbLayout osdbLayout() {
    writer::OsdbLayout layout;
    const std::int32_t values[6] = {32, 12, 4096, 2, 1, 256};
    writer::setCpuSpecValues(layout, values);
    for (unsigned table : {1u, 3u, 4u, 10u, 12u, 14u, 15u}) {
        writer::Region& r = layout.tables[table].plain;
        for (std::uint32_t i = 0; i < 40; ++i) r.u32(4 * i, 0x1000u * table + i);
    }
    auto sectioned = [&](unsigned table, unsigned sections, std::uint32_t bytes) {
        auto& list = layout.tables[table].sections;
        list.resize(sections);
        for (unsigned s = 0; s < sections; ++s) {
            for (std::uint32_t at = 0; at + 4 <= bytes; at += 4) list[s].u32(at, at * 3 + s);
        }
    };
    sectioned(6, 9, 1600);
    sectioned(9, 7, 800);
    sectioned(11, 4, 400);
    return layout;
}

writer::JqwdbLayout jqwdbLayout() {
    writer::JqwdbLayout layout;
    for (unsigned table = 0; table <= 10; ++table) {
        writer::JqwdbTable& t = layout.tables[table];
        t.lastIndex = table == 10 ? 40 : 39;
        t.recordSize = table == 2 || table == 4 ? 128 : 16;
        t.splitIndexWord = 30;
        t.splitValueWord = 0x0102;
        for (int i = 0; i < 40; ++i) {
            Bytes record(static_cast<std::size_t>(t.recordSize));
            for (std::size_t b = 0; b < record.size(); ++b)
                record[b] = static_cast<std::uint8_t>(i * 16 + b + table);
            t.records.push_back(record);
        }
    }
    return layout;
}

constexpr std::uint32_t kBlock = 4096;

// A file built piece by piece at chosen positions, every value in the file's
// byte order.
class Image {
  public:
    explicit Image(ByteOrder order) : m_order(order) {}
    void put(std::uint32_t at, const writer::Region& region) {
        const Bytes b = region.bytes(m_order);
        if (m_bytes.size() < at + b.size()) m_bytes.resize(at + b.size(), 0);
        std::copy(b.begin(), b.end(), m_bytes.begin() + at);
    }
    void u32(std::uint32_t at, std::uint32_t value) {
        writer::Region r;
        put(at, r.u32(0, value));
    }
    void bytes(std::uint32_t at, const Bytes& b) {
        writer::Region r;
        for (std::uint32_t i = 0; i < b.size(); ++i) r.u8(i, b[i]);
        put(at, r);
    }
    const Bytes& bytes() const { return m_bytes; }

  private:
    ByteOrder m_order;
    Bytes m_bytes;
};

// Appends a piece at `at` (4-byte aligned), moving `at` past it.
std::uint32_t place(Image& file, std::uint32_t& at, const writer::Region& region) {
    const std::uint32_t start = at;
    file.put(start, region);
    at = (start + std::max<std::uint32_t>(region.size(), 4) + 3u) & ~3u;
    return start;
}

// The tables that hold the CPU specification values, as the writer fills them.
std::set<unsigned> cpuSpecTables() {
    writer::OsdbLayout probe;
    const std::int32_t values[6] = {};
    writer::setCpuSpecValues(probe, values);
    std::set<unsigned> tables;
    for (const auto& entry : probe.tables) tables.insert(entry.first);
    return tables;
}

// The OSDB layout placed block by block: rows (plain tables other than the
// CPU specification table, and sections) from block 6, section offset lists
// in block 16, the CPU specification table and its sections in block 19, the
// table directory in block 22.
Bytes scatteredOsdb(const writer::OsdbLayout& layout, ByteOrder order) {
    std::uint32_t rows = 6 * kBlock, lists = 16 * kBlock, cpu = 19 * kBlock;
    const std::uint32_t directory = 22 * kBlock;
    const std::set<unsigned> cpuTables = cpuSpecTables();
    Image file(order);
    file.u32(kDirectoryBaseAt, directory);
    const auto entries = static_cast<std::uint16_t>(layout.directoryEntries);
    file.put(directory, writer::Region().reserve(tableEntryAt(0, entries)));
    for (const auto& [number, table] : layout.tables) {
        std::uint32_t& contents = cpuTables.count(number) ? cpu : rows;
        std::uint32_t start;
        if (table.sections.empty()) {
            start = place(file, contents, table.plain);
        } else {
            // The section offset list, each offset relative to the table
            // start, in the lists block; the sections elsewhere.
            const auto sections = static_cast<std::uint16_t>(table.sections.size());
            start = place(file, lists, writer::Region().reserve(sectionEntryAt(0, sections)));
            for (std::uint16_t s = 0; s < sections; ++s)
                file.u32(sectionEntryAt(start, s),
                         place(file, contents, table.sections[s]) - start);
        }
        file.u32(tableEntryAt(directory, static_cast<std::uint16_t>(number)), start - directory);
    }
    return file.bytes();
}

// The JQWDB layout with its directory in block 90 and table t from block
// 6 + 7 t, records 528 bytes apart, so that a table's header and the record
// a call reads lie blocks apart.
Bytes scatteredJqwdb(const writer::JqwdbLayout& layout) {
    constexpr std::uint32_t kStride = 528;
    const std::uint32_t directory = 90 * kBlock;
    Image file(ByteOrder::leastSignificantFirst);
    file.u32(kDirectoryBaseAt, directory);
    for (const auto& [number, table] : layout.tables) {
        const std::uint32_t start = (6 + 7 * number) * kBlock;
        file.u32(tableEntryAt(directory, static_cast<std::uint16_t>(number)), start - directory);
        file.u32(start + kFirstWordAt, static_cast<std::uint32_t>(table.lastIndex));
        file.u32(start + kRecordSizeAt, kStride);
        file.u32(start + kSplitIndexAt, table.splitIndexWord);
        file.u32(start + kSplitValueAt, table.splitValueWord);
        for (std::uint32_t i = 0; i < table.records.size(); ++i)
            file.bytes(start + kTableHeaderBytes + i * kStride, table.records[i]);
    }
    return file.bytes();
}

void writePadded(const std::string& path, Bytes bytes, std::size_t padTo) {
    if (bytes.size() < padTo) bytes.resize(padTo, 0);
    writer::writeFile(path, bytes);
}

}  // namespace

void writeBenchDatabase(const std::string& dir, Layout layout, std::size_t padTo) {
    const writer::OsdbLayout osdb = osdbLayout();
    const bool compact = layout == Layout::compact;
    for (short cpu : {2, 30}) {
        const ByteOrder order = osdbByteOrder(cpu);
        writePadded(dir + "/" + databaseFileName(kOsdbPrefix, cpu, 0),
                    compact ? writer::buildOsdb(osdb, order) : scatteredOsdb(osdb, order), padTo);
    }
    const writer::JqwdbLayout jqwdb = jqwdbLayout();
    writePadded(dir + "/" + databaseFileName(kJqwdbPrefix, 2, 0),
                compact ? writer::buildJqwdb(jqwdb) : scatteredJqwdb(jqwdb), padTo);
}

}  // namespace zel::bench
