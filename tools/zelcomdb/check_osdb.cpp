// The OSDB half of `check`: follows the header, the table directory and the
// section offset lists the way the readers do, and checks that every place a
// reader of the file's CPU code can reach lies inside the file.
#include <map>
#include <optional>
#include <utility>

#include "check.h"
#include "field_claims.h"
#include "format/bytes.h"
#include "format/cpu_spec_values.h"
#include "format/directory.h"
#include "osdb_geometry.h"

namespace zel::tool {
namespace {

class OsdbChecker {
  public:
    OsdbChecker(const FileImage& file, const ModelOsPair& pair, Findings& findings)
        : m_file(file), m_cpu(pair.cpuCode), m_out(findings) {}

    void run();

  private:
    std::optional<Pos> tableStart(int table);
    std::optional<Pos> sectionStart(int table, int section);
    // A table or section start read from the file; none, with a finding,
    // where it lies before the file or beyond its end.
    std::optional<Pos> startInFile(Pos at, int table, int section);
    bool readSpec(CpuSpecValues& cpuValues);
    void checkItems(const AddressReaderInfo& info, const CpuSpecValues* cpuValues);
    void checkMemory();

    const FileImage& m_file;
    short m_cpu;
    Findings& m_out;
    Pos m_directory = 0;
    std::map<int, std::optional<Pos>> m_tables;
    std::map<std::pair<int, int>, std::optional<Pos>> m_sections;
};

std::optional<Pos> OsdbChecker::startInFile(Pos at, int table, int section) {
    const std::string where = regionName(table, section);
    const std::string what = section == kPlain ? "the table" : "the section";
    if (FileImage::negative(at)) {
        m_out.add(where, asSigned32(at), what + " starts at a negative offset");
        return std::nullopt;
    }
    if (at >= m_file.size()) {
        m_out.add(where, at, what + " starts beyond the end of the file");
        return std::nullopt;
    }
    return at;
}

std::optional<Pos> OsdbChecker::tableStart(int table) {
    const auto known = m_tables.find(table);
    if (known != m_tables.end()) return known->second;
    std::optional<Pos> start;
    const Pos entry = tableEntryAt(m_directory, static_cast<std::uint16_t>(table));
    if (checkSpan(m_file, m_out, "directory", entry, kWordBytes,
                  "the entry of table " + std::to_string(table))) {
        start = startInFile(m_directory + m_file.u32(entry), table, kPlain);
    }
    m_tables[table] = start;
    return start;
}

std::optional<Pos> OsdbChecker::sectionStart(int table, int section) {
    const auto known = m_sections.find({table, section});
    if (known != m_sections.end()) return known->second;
    std::optional<Pos> start;
    if (const auto t = tableStart(table)) {
        const Pos entry = sectionEntryAt(*t, static_cast<std::uint16_t>(section));
        if (checkSpan(m_file, m_out, regionName(table, kPlain), entry, kWordBytes,
                      "the offset of section " + std::to_string(section))) {
            start = startInFile(*t + m_file.u32(entry), table, section);
        }
    }
    m_sections[{table, section}] = start;
    return start;
}

bool OsdbChecker::readSpec(CpuSpecValues& cpuValues) {
    bool ok = true;
    for (int value : kCpuSpecReadOrder) {
        const CpuSpecPlace& p = kCpuSpecPlaces[value];
        const auto start =
            p.section == kPlain ? tableStart(p.table) : sectionStart(p.table, p.section);
        if (!start || !checkSpan(m_file, m_out, regionName(p.table, p.section), *start + p.offset,
                                 p.width, "CPU specification value " + std::to_string(value))) {
            ok = false;
            continue;
        }
        cpuValues[value] = p.width == 1 ? asSigned8(m_file.u8(*start + p.offset))
                                        : asSigned16(m_file.u16(*start + p.offset));
    }
    return ok;
}

void OsdbChecker::checkItems(const AddressReaderInfo& info, const CpuSpecValues* cpuValues) {
    for (short item = 0; item <= lastItem(info.reader, m_cpu); ++item) {
        const MapRow row = *itemRow(info.reader, m_cpu, item);
        if (isAbsent(row)) continue;
        // DbTb2 and DbTb4 read nothing without their CPU specification values.
        if (info.hasEntries && !cpuValues) continue;
        const int bound = info.hasEntries ? entryBound(row, *cpuValues) : 1;
        if (bound < 1) continue;
        const auto section = sectionStart(row.table, row.section);
        if (!section) continue;
        const SectionSpan span = readerSpan(info.reader, m_cpu, row, bound);
        std::string what = std::string(info.entryPoint) + " item " + std::to_string(item) +
                           " (row " + std::to_string(row.row);
        if (info.hasEntries) what += ", entries 1.." + std::to_string(bound);
        what += ")";
        checkSpan(m_file, m_out, regionName(row.table, row.section), *section + span.first,
                  span.end - span.first, what);
    }
}

void OsdbChecker::checkMemory() {
    for (int kind = 0; kind < kMemoryKinds; ++kind) {
        const MemoryKindInfo& m = memoryKind(kind);
        if (!m.served) continue;
        const auto start = m.inSection0 ? sectionStart(m.table, 0) : tableStart(m.table);
        if (!start) continue;
        checkSpan(m_file, m_out, regionName(m.table, m.inSection0 ? 0 : kPlain), *start,
                  std::uint64_t{kMemoryEntryBytes} * static_cast<std::uint64_t>(m.highestIndex + 1),
                  "memory kind " + std::to_string(kind) + " (indices 0.." +
                      std::to_string(m.highestIndex) + ")");
    }
}

void OsdbChecker::run() {
    if (!directoryBaseOf(m_file, m_out, m_directory)) return;
    CpuSpecValues cpuValues = {};
    const bool haveSpec = readSpec(cpuValues);
    for (const AddressReaderInfo& info : kAddressReaders)
        checkItems(info, haveSpec ? &cpuValues : nullptr);
    checkMemory();
}

}  // namespace

void checkOsdbFile(const FileImage& file, const ModelOsPair& pair, Findings& findings) {
    OsdbChecker(file, pair, findings).run();
}

}  // namespace zel::tool
