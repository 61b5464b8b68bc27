// The OSDB half of `check`: follows the header, the table directory and the
// section offset lists the way the readers do, and checks that every place a
// reader of the file's CPU code can reach lies inside the file.
#include <map>
#include <optional>
#include <utility>

#include "accessor/byte_codec.h"
#include "check.h"
#include "field_claims.h"
#include "osdb_geometry.h"

namespace zel::tool {
namespace {

constexpr Pos kDirectoryBaseAt = 8;
constexpr int kCpuSpecTable = 0;
constexpr int kSpecSectionsTable = 2;

class OsdbChecker {
  public:
    OsdbChecker(const FileImage& file, const ModelOsPair& pair, Findings& findings)
        : m_file(file), m_cpu(pair.cpuCode), m_out(findings) {}

    void run();

  private:
    std::optional<Pos> tableStart(int table);
    std::optional<Pos> sectionStart(int table, int section);
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

std::optional<Pos> OsdbChecker::tableStart(int table) {
    const auto known = m_tables.find(table);
    if (known != m_tables.end()) return known->second;
    std::optional<Pos> start;
    const Pos entry = m_directory + 4u * static_cast<Pos>(table);
    if (checkSpan(m_file, m_out, "directory", entry, 4,
                  "the entry of table " + std::to_string(table))) {
        const Pos at = m_directory + m_file.u32(entry);
        const std::string where = regionName(table, kPlain);
        if (FileImage::negative(at))
            m_out.add(where, asSigned32(at), "the table starts at a negative offset");
        else if (at >= m_file.size())
            m_out.add(where, at, "the table starts beyond the end of the file");
        else
            start = at;
    }
    m_tables[table] = start;
    return start;
}

std::optional<Pos> OsdbChecker::sectionStart(int table, int section) {
    const auto known = m_sections.find({table, section});
    if (known != m_sections.end()) return known->second;
    std::optional<Pos> start;
    if (const auto t = tableStart(table)) {
        const Pos entry = *t + 4u + 4u * static_cast<Pos>(section);
        if (checkSpan(m_file, m_out, regionName(table, kPlain), entry, 4,
                      "the offset of section " + std::to_string(section))) {
            const Pos at = *t + m_file.u32(entry);
            const std::string where = regionName(table, section);
            if (FileImage::negative(at))
                m_out.add(where, asSigned32(at), "the section starts at a negative offset");
            else if (at >= m_file.size())
                m_out.add(where, at, "the section starts beyond the end of the file");
            else
                start = at;
        }
    }
    m_sections[{table, section}] = start;
    return start;
}

bool OsdbChecker::readSpec(CpuSpecValues& cpuValues) {
    const auto t0 = tableStart(kCpuSpecTable);
    const auto s0 = sectionStart(kSpecSectionsTable, 0);
    const auto s1 = sectionStart(kSpecSectionsTable, 1);
    bool ok = t0 && checkSpan(m_file, m_out, regionName(kCpuSpecTable, kPlain), *t0, 6,
                              "the table of CPU specification values");
    ok = s0 &&
         checkSpan(m_file, m_out, regionName(kSpecSectionsTable, 0), *s0 + 22u, 2,
                   "CPU specification value 2") &&
         ok;
    ok = s1 &&
         checkSpan(m_file, m_out, regionName(kSpecSectionsTable, 1), *s1 + 18u, 2,
                   "CPU specification value 5") &&
         ok;
    if (!ok) return false;
    cpuValues[0] = asSigned8(m_file.u8(*t0));
    cpuValues[1] = asSigned8(m_file.u8(*t0 + 3u));
    cpuValues[2] = asSigned16(m_file.u16(*s0 + 22u));
    cpuValues[3] = asSigned8(m_file.u8(*t0 + 2u));
    cpuValues[4] = asSigned8(m_file.u8(*t0 + 5u));
    cpuValues[5] = asSigned16(m_file.u16(*s1 + 18u));
    return true;
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
        Pos first = 0, end = 0;
        switch (info.reader) {
            case AddressReader::word2:
                first = word2Row(m_cpu, row);
                end = word2Address(first, bound) + 4u;
                break;
            case AddressReader::word3:
                first = word3Record(m_cpu, row);
                end = first + kRecordAddressAt + 4u;
                break;
            case AddressReader::bit4:
                first = bit4Slot(m_cpu, row, 1);
                end = bit4Slot(m_cpu, row, bound) + kMaskAt + 2u;
                break;
            case AddressReader::bit5:
                first = bit5Row(m_cpu, row);
                end = first + kMaskAt + 2u;
                break;
        }
        std::string what = std::string(info.entryPoint) + " item " + std::to_string(item) +
                           " (row " + std::to_string(row.row);
        if (info.hasEntries) what += ", entries 1.." + std::to_string(bound);
        what += ")";
        checkSpan(m_file, m_out, regionName(row.table, row.section), *section + first, end - first,
                  what);
    }
}

void OsdbChecker::checkMemory() {
    for (int kind = 0; kind < kMemoryKinds; ++kind) {
        const MemoryKindInfo& m = memoryKind(kind);
        if (!m.served) continue;
        const auto start = m.inSection0 ? sectionStart(m.table, 0) : tableStart(m.table);
        if (!start) continue;
        checkSpan(m_file, m_out, regionName(m.table, m.inSection0 ? 0 : kPlain), *start,
                  4u * static_cast<std::uint64_t>(m.highestIndex + 1),
                  "memory kind " + std::to_string(kind) + " (indices 0.." +
                      std::to_string(m.highestIndex) + ")");
    }
}

void OsdbChecker::run() {
    if (!checkSpan(m_file, m_out, "header", kDirectoryBaseAt, 4, "the directory base")) return;
    m_directory = m_file.u32(kDirectoryBaseAt);
    if (FileImage::negative(m_directory)) {
        m_out.add("header", kDirectoryBaseAt,
                  "the directory base " + std::to_string(asSigned32(m_directory)) + " is negative");
        return;
    }
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
