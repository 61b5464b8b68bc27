// The OSDB half of `check` and of the file layout: follows the header, the
// table directory and the section offset lists the way the readers do, reads
// what every call of CpuSpec, DbTb2 to DbTb5 and DbTbMem reads for the file's
// CPU code, and checks that every place a reader can reach lies inside the
// file.
//
// A place that a finding has already named (a table that starts before the
// file or beyond its end) is not reported again for what lies in it, but the
// reads there are still followed: positions wrap around in 32 bits, so a
// table that starts before the file may hold fields the readers do read.
#include <ZelComFuncDbase.h>

#include <algorithm>
#include <map>
#include <optional>
#include <utility>

#include "check.h"
#include "field_claims.h"
#include "file_layout.h"
#include "format/bytes.h"
#include "format/cpu_spec_values.h"
#include "format/directory.h"
#include "osdb_geometry.h"
#include "result_text.h"

namespace zel::tool {
namespace {

// A table or section start as the readers compute it, and whether check
// follows it with findings (no finding has named it yet).
struct Start {
    Pos at;
    bool sound;
};

class OsdbChecker {
  public:
    OsdbChecker(const FileImage& file, const ModelOsPair& pair, Findings& findings,
                LayoutBuilder& layout)
        : m_file(file), m_cpu(pair.cpuCode), m_out(findings), m_layout(layout) {}

    void run();

  private:
    std::optional<Start> tableStart(int table);
    std::optional<Start> sectionStart(int table, int section);
    // The parts a field inside a table or one of its sections belongs to.
    int tablePart(int table);
    int sectionPart(int table, int section);
    // A table or section start read from the file: a finding where it lies
    // before the file or beyond its end.
    bool startInFile(Pos at, int table, int section);
    // Reads a structural word: false, with a finding where the place is
    // still sound, when the read fails.
    bool readWord(Pos at, std::initializer_list<int> parts, bool sound, const std::string& where,
                  const std::string& what);
    bool readSpec(CpuSpecValues& cpuValues);
    void checkItems(const AddressReaderInfo& info, const CpuSpecValues* cpuValues);
    // Items of one reader whose rows lie outside the file for one cause, in
    // one table or section, with no sound item between them: one finding.
    struct ItemRun {
        int first = -1, last = -1;
        std::string region, single;  // single: the finding of the first item alone
        Pos at = 0;                  // where the first item's row starts
        bool negative = false;
        std::uint64_t reach = 0;  // where the furthest row ends
    };
    void flushRun(const AddressReaderInfo& info, ItemRun& run);
    // The reads of one call of an address reader for an entry number.
    void readItemFields(AddressReader reader, const MapRow& row, Pos section, int entry,
                        std::initializer_list<int> parts);
    void checkMemory();

    const FileImage& m_file;
    short m_cpu;
    Findings& m_out;
    LayoutBuilder& m_layout;
    Pos m_directory = 0;
    bool m_directorySound = true;
    std::map<int, std::optional<Start>> m_tables;
    std::map<std::pair<int, int>, std::optional<Start>> m_sections;
};

bool OsdbChecker::startInFile(Pos at, int table, int section) {
    const std::string where = regionName(table, section);
    const std::string what = section == kPlain ? "the table" : "the section";
    const char* kind = section == kPlain ? "table-outside" : "section-outside";
    if (FileImage::negative(at)) {
        m_out.add(kind, where, asSigned32(at), what + " starts at a negative offset");
        return false;
    }
    if (at >= m_file.size()) {
        m_out.add(kind, where, at, what + " starts beyond the end of the file");
        return false;
    }
    return true;
}

bool OsdbChecker::readWord(Pos at, std::initializer_list<int> parts, bool sound,
                           const std::string& where, const std::string& what) {
    if (m_layout.read(at, kWordBytes, parts)) return true;
    if (sound) checkSpan(m_file, m_out, "entry-outside", where, at, kWordBytes, what);
    return false;
}

int OsdbChecker::tablePart(int table) {
    const auto t = tableStart(table);
    return t ? m_layout.part(t->at, "table", regionName(table, kPlain), 0) : -1;
}

int OsdbChecker::sectionPart(int table, int section) {
    const auto s = sectionStart(table, section);
    return s ? m_layout.part(s->at, "section", regionName(table, section), 1) : -1;
}

std::optional<Start> OsdbChecker::tableStart(int table) {
    const auto known = m_tables.find(table);
    if (known != m_tables.end()) return known->second;
    std::optional<Start> start;
    const Pos entry = tableEntryAt(m_directory, static_cast<std::uint16_t>(table));
    const int directory = m_layout.part(m_directory, "directory", "table directory", 0);
    if (readWord(entry, {directory}, m_directorySound, "directory",
                 "the entry of table " + std::to_string(table))) {
        const Pos at = m_directory + m_file.u32(entry);
        start = Start{at, m_directorySound && startInFile(at, table, kPlain)};
    }
    m_tables[table] = start;
    return start;
}

std::optional<Start> OsdbChecker::sectionStart(int table, int section) {
    const auto known = m_sections.find({table, section});
    if (known != m_sections.end()) return known->second;
    std::optional<Start> start;
    if (const auto t = tableStart(table)) {
        const Pos entry = sectionEntryAt(t->at, static_cast<std::uint16_t>(section));
        const std::string name = regionName(table, kPlain);
        const int list =
            m_layout.part(t->at + kWordBytes, "section-offsets", name + " section offsets", 1);
        if (readWord(entry, {list, tablePart(table)}, t->sound, name,
                     "the offset of section " + std::to_string(section))) {
            const Pos at = t->at + m_file.u32(entry);
            start = Start{at, t->sound && startInFile(at, table, section)};
        }
    }
    m_sections[{table, section}] = start;
    return start;
}

// CpuSpec's reads, in its order: the first that fails ends the call, and
// with it every DbTb2 and DbTb4 call, which read the values first.
bool OsdbChecker::readSpec(CpuSpecValues& cpuValues) {
    for (int value : kCpuSpecReadOrder) {
        const CpuSpecPlace& p = kCpuSpecPlaces[value];
        const auto start =
            p.section == kPlain ? tableStart(p.table) : sectionStart(p.table, p.section);
        if (!start) return false;
        const Pos at = start->at + p.offset;
        const int field =
            m_layout.part(at, "cpu-values", "CPU specification value " + std::to_string(value),
                          p.section == kPlain ? 1 : 2);
        const int region = p.section == kPlain ? -1 : sectionPart(p.table, p.section);
        if (!m_layout.read(at, p.width, {field, region, tablePart(p.table)})) {
            if (start->sound)
                checkSpan(m_file, m_out, "cpu-value-outside", regionName(p.table, p.section), at,
                          p.width, "CPU specification value " + std::to_string(value));
            return false;
        }
        cpuValues[value] = p.width == 1 ? asSigned8(m_file.u8(at)) : asSigned16(m_file.u16(at));
    }
    return true;
}

void OsdbChecker::readItemFields(AddressReader reader, const MapRow& row, Pos section, int entry,
                                 std::initializer_list<int> parts) {
    Pos first = 0, second = 0;
    unsigned firstWidth = kAddressBytes, secondWidth = kMaskBytes;
    switch (reader) {
        case AddressReader::word2:
            first = word2Row(m_cpu, row);
            second = word2Address(first, entry);
            firstWidth = kHeadWordBytes, secondWidth = kAddressBytes;
            break;
        case AddressReader::word3:
            first = word3Record(m_cpu, row);
            second = first + kRecordAddressAt;
            firstWidth = kHeadWordBytes, secondWidth = kAddressBytes;
            break;
        case AddressReader::bit4:
            first = bit4Slot(m_cpu, row, entry);
            second = first + kMaskAt;
            break;
        case AddressReader::bit5:
            first = bit5Row(m_cpu, row);
            second = first + kMaskAt;
            break;
    }
    if (m_layout.read(section + first, firstWidth, parts))
        m_layout.read(section + second, secondWidth, parts);
}

void OsdbChecker::checkItems(const AddressReaderInfo& info, const CpuSpecValues* cpuValues) {
    ItemRun run;
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
        const std::string region = regionName(row.table, row.section);
        if (section->sound) {
            const Pos at = section->at + span.first;
            const std::uint64_t width = span.end - span.first;
            const bool negative = FileImage::negative(at);
            if (!negative && m_file.holds(at, width)) {
                flushRun(info, run);
            } else {
                if (run.first >= 0 && (run.region != region || run.negative != negative))
                    flushRun(info, run);
                if (run.first < 0) {
                    std::string what = std::string(info.entryPoint) + " item " +
                                       std::to_string(item) + " (row " + std::to_string(row.row);
                    if (info.hasEntries) what += ", entries 1.." + std::to_string(bound);
                    run.first = item, run.region = region, run.single = what + ")", run.at = at;
                    run.negative = negative, run.reach = 0;
                }
                run.last = item;
                run.reach = std::max<std::uint64_t>(run.reach, std::uint64_t{at} + width);
            }
        }
        const int rowPart =
            m_layout.part(section->at + span.first, "row",
                          region + " row " + std::to_string(row.row) + " (" + info.key + ")", 2);
        const int inSection = sectionPart(row.table, row.section);
        const int inTable = tablePart(row.table);
        for (int entry = 1; entry <= bound; ++entry)
            readItemFields(info.reader, row, section->at, entry, {rowPart, inSection, inTable});
    }
    flushRun(info, run);
}

void OsdbChecker::flushRun(const AddressReaderInfo& info, ItemRun& run) {
    if (run.first < 0) return;
    if (run.first == run.last) {
        checkSpan(m_file, m_out, "row-outside", run.region, run.at, run.reach - run.at, run.single);
    } else {
        const std::string items = std::string(info.entryPoint) + " items " +
                                  std::to_string(run.first) + ".." + std::to_string(run.last);
        if (run.negative)
            m_out.add("row-outside", run.region, asSigned32(run.at),
                      items + ": the rows start at a negative offset: the library answers " +
                          resultText(ZEL_FILE_BAD_SEEK),
                      run.first, run.last);
        else
            m_out.add("row-outside", run.region, run.at,
                      items + ": the file ends at " + std::to_string(m_file.size()) +
                          ", the rows reach " + std::to_string(run.reach) +
                          ": the library answers " + resultText(ZEL_FILE_END_OF_FILE),
                      run.first, run.last);
    }
    run = ItemRun{};
}

void OsdbChecker::checkMemory() {
    for (int kind = 0; kind < kMemoryKinds; ++kind) {
        const MemoryKindInfo& m = memoryKind(kind);
        if (!m.served) continue;
        const auto start = m.inSection0 ? sectionStart(m.table, 0) : tableStart(m.table);
        if (!start) continue;
        if (start->sound) {
            checkSpan(
                m_file, m_out, "memory-outside", regionName(m.table, m.inSection0 ? 0 : kPlain),
                start->at,
                std::uint64_t{kMemoryEntryBytes} * static_cast<std::uint64_t>(m.highestIndex + 1),
                "memory kind " + std::to_string(kind) + " (indices 0.." +
                    std::to_string(m.highestIndex) + ")");
        }
        const int entries = m_layout.part(
            start->at, "memory", "memory kind " + std::to_string(kind), m.inSection0 ? 2 : 1);
        const int inSection = m.inSection0 ? sectionPart(m.table, 0) : -1;
        const int inTable = tablePart(m.table);
        for (short index = 0; index <= m.highestIndex; ++index)
            m_layout.read(start->at + memoryEntryAt(index), kMemoryEntryBytes,
                          {entries, inSection, inTable});
    }
}

void OsdbChecker::run() {
    const int header = m_layout.part(0, "header", "header", 0);
    m_directorySound = directoryBaseOf(m_file, m_out, m_directory);
    if (!m_layout.read(kDirectoryBaseAt, kWordBytes, {header})) return;
    m_directory = m_file.u32(kDirectoryBaseAt);
    CpuSpecValues cpuValues = {};
    const bool haveSpec = readSpec(cpuValues);
    for (const AddressReaderInfo& info : kAddressReaders)
        checkItems(info, haveSpec ? &cpuValues : nullptr);
    checkMemory();
}

}  // namespace

void checkOsdbFile(const FileImage& file, const ModelOsPair& pair, Findings& findings,
                   LayoutBuilder& layout) {
    OsdbChecker(file, pair, findings, layout).run();
}

}  // namespace zel::tool
