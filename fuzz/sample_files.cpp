#include "fuzz/sample_files.h"

#include <algorithm>

namespace zel::fuzz {
namespace {

// A word that tells table, section, offset (below 4096) and stamp apart.
std::uint32_t wordAt(unsigned table, unsigned section, std::uint32_t offset, unsigned stamp) {
    return (table << 24) | (section << 16) | ((stamp & 0xFu) << 12) | (offset & 0xFFFu);
}

void fill(writer::Region& region, unsigned table, unsigned section, std::uint32_t bytes,
          unsigned stamp) {
    for (std::uint32_t at = 0; at < bytes; at += 4)
        region.u32(at, wordAt(table, section, at, stamp));
}

// Tables 6, 9 and 11 are sectioned; the item maps reach sections 0 to 8, 0
// to 6 and 0 to 3 of them.
struct Sectioned {
    unsigned table;
    unsigned sections;
};
constexpr Sectioned kSectionedTables[] = {{6, 9}, {9, 7}, {11, 4}};
// Plain tables of the memory kinds; the highest memory index is 38.
constexpr unsigned kPlainTables[] = {1, 3, 4, 10, 12, 14, 15};
constexpr std::uint32_t kPlainBytes = 4 * 40;

}  // namespace

writer::OsdbLayout sampleOsdb(std::int32_t value0, std::int32_t value1, std::uint32_t sectionBytes,
                              unsigned stamp) {
    writer::OsdbLayout layout;
    const auto s = static_cast<std::int32_t>(stamp);
    const std::int32_t values[6] = {value0, value1, 1234 + s, -5 - s, 100 + s, -2 - s};
    writer::setCpuSpecValues(layout, values);
    for (const Sectioned& t : kSectionedTables) {
        auto& sections = layout.tables[t.table].sections;
        sections.resize(t.sections);
        for (unsigned n = 0; n < t.sections; ++n)
            fill(sections[n], t.table, n, sectionBytes, stamp);
    }
    for (unsigned t : kPlainTables) fill(layout.tables[t].plain, t, 0xF, kPlainBytes, stamp);
    return layout;
}

writer::JqwdbLayout sampleJqwdb(std::int32_t recordSize, unsigned stamp) {
    writer::JqwdbLayout layout;
    for (unsigned t = 0; t <= 10; ++t) {
        writer::JqwdbTable& table = layout.tables[t];
        const bool rows = t == 2 || t == 4;  // rows of device entries
        table.recordSize = rows ? 2 * recordSize : recordSize;
        table.lastIndex = t == 10 ? 6 : 3;
        if (t == 10) {
            table.splitIndexWord = 3;
            table.splitValueWord = 0x0102;
        }
        const unsigned count = t == 10 ? 6 : 4;
        for (unsigned i = 0; i < count; ++i) {
            writer::Bytes record(static_cast<std::size_t>(table.recordSize));
            for (std::size_t j = 0; j < record.size(); ++j)
                record[j] = static_cast<std::uint8_t>(0x10 * t + 0x40 * i + j + stamp);
            table.records.push_back(record);
        }
    }
    return layout;
}

void putSelectors(writer::Bytes& file, const std::uint8_t (&selectors)[8]) {
    if (file.size() < sizeof selectors) file.resize(sizeof selectors);
    std::copy(std::begin(selectors), std::end(selectors), file.begin());
}

}  // namespace zel::fuzz
