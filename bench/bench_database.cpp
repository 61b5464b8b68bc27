#include "bench/bench_database.h"

#include <cstdint>

#include "accessor/file_naming.h"
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
        t.word8 = 30;
        t.word12 = 0x0102;
        for (int i = 0; i < 40; ++i) {
            Bytes record(static_cast<std::size_t>(t.recordSize));
            for (std::size_t b = 0; b < record.size(); ++b)
                record[b] = static_cast<std::uint8_t>(i * 16 + b + table);
            t.records.push_back(record);
        }
    }
    return layout;
}

void writePadded(const std::string& path, Bytes bytes, std::size_t padTo) {
    if (bytes.size() < padTo) bytes.resize(padTo, 0);
    writer::writeFile(path, bytes);
}

}  // namespace

void writeBenchDatabase(const std::string& dir, std::size_t padTo) {
    const writer::OsdbLayout osdb = osdbLayout();
    for (short cpu : {2, 30}) {
        writePadded(dir + "/" + databaseFileName(kOsdbPrefix, cpu, 0),
                    writer::buildOsdb(osdb, osdbByteOrder(cpu)), padTo);
    }
    writePadded(dir + "/" + databaseFileName(kJqwdbPrefix, 2, 0), writer::buildJqwdb(jqwdbLayout()),
                padTo);
}

}  // namespace zel::bench
