// The JQWDB half of `check` and of the file layout: the directory of eleven
// tables, each table's header, its record size, every record an accepted
// index reaches with what the readers read of it, and the split values of
// table 10.
#include <algorithm>
#include <cstdint>
#include <string>

#include "check.h"
#include "field_claims.h"
#include "file_layout.h"
#include "format/bytes.h"
#include "format/directory.h"
#include "format/jqwdb_tables.h"

namespace zel::tool {
namespace {

class JqwdbChecker {
  public:
    JqwdbChecker(const FileImage& file, const std::int32_t* specValue0, short osType,
                 Findings& findings, LayoutBuilder& layout)
        : m_file(file), m_findings(findings), m_out(&findings), m_layout(layout) {
        // Tables 2 and 4 are read only when CpuSpec of the pair succeeds
        // and admits an entry number. Without the OSDB file one entry per
        // record is what the check asks for.
        m_deviceBound = specValue0 ? deviceEntryBound(*specValue0, osType) : 0;
        m_entries = specValue0 ? std::max(m_deviceBound, 1) : 1;
    }

    void run();

  private:
    void checkTable(int table);
    void checkSplit(Pos start, std::int32_t count);
    // The split words that table 10's calls read; false when the read of
    // splitIndex fails, which ends every call that reads a record.
    bool readSplit(Pos start, std::int32_t count, int header);
    void checkRecords(int table, Pos start, std::int32_t first, std::uint32_t recordSize);
    // A read of the table being walked: recorded where the library reads
    // the table; otherwise only whether the file holds the field.
    bool read(Pos pos, std::uint32_t width, std::initializer_list<int> parts);
    int part(Pos start, const char* kind, const std::string& name, int depth);

    const FileImage& m_file;
    Findings& m_findings;
    // Where findings go: nowhere for what lies behind a finding already
    // made, which the walk still follows for the reads there.
    Findings* m_out;
    Findings m_muted{""};
    LayoutBuilder& m_layout;
    Pos m_directory = 0;
    int m_deviceBound = 0;
    int m_entries = 1;
    bool m_libraryReads = true;
};

bool JqwdbChecker::read(Pos pos, std::uint32_t width, std::initializer_list<int> parts) {
    if (m_libraryReads) return m_layout.read(pos, width, parts);
    return m_file.holds(pos, width);
}

int JqwdbChecker::part(Pos start, const char* kind, const std::string& name, int depth) {
    return m_libraryReads ? m_layout.part(start, kind, name, depth) : -1;
}

void JqwdbChecker::checkTable(int table) {
    const std::string where = regionName(table, kPlain);
    const std::string key = pdbKey(table);
    const JqwdbTableShape& shape = kJqwdbTables[table];
    m_libraryReads = !shape.entryNumber || m_deviceBound >= 1;
    const Pos entry = tableEntryAt(m_directory, shape.number);
    if (!read(entry, kWordBytes, {part(m_directory, "directory", "table directory", 0)})) {
        checkSpan(m_file, *m_out, "entry-outside", "directory", entry, kWordBytes,
                  "the entry of table " + std::to_string(table));
        return;
    }
    const Pos start = m_directory + m_file.u32(entry);
    const int header = part(start, "table-header", key + " header", 1);
    const int whole = part(start, "table", key, 0);
    m_layout.cover(header, kTableHeaderBytes);
    const std::uint64_t headerBytes =
        table == kBackupTable ? kTableHeaderBytes : kRecordSizeAt + kWordBytes;
    const bool headerRead = read(start + kFirstWordAt, kWordBytes, {header, whole}) &&
                            read(start + kRecordSizeAt, kWordBytes, {header, whole});
    const bool headerHeld =
        checkSpan(m_file, *m_out, "header-outside", where, start, headerBytes, "the table header");
    if (!headerRead) return;
    if (!headerHeld) m_out = &m_muted;
    const std::int32_t first = asSigned32(m_file.u32(start + kFirstWordAt));
    const std::uint32_t recordSize = m_file.u32(start + kRecordSizeAt);

    // An empty table, as build writes it, has the last index -1 (item
    // count 0); below that no index is accepted either, but no writer of
    // this format puts it there.
    const std::int32_t empty = table == kBackupTable ? 0 : -1;
    if (first < empty) {
        m_out->add("count-negative", where, start + kFirstWordAt,
                   std::string(table == kBackupTable ? "item count " : "last index ") +
                       std::to_string(first) + " is negative: no record can be read");
    }
    // The record size is a stride in 32-bit wrap-around arithmetic: the
    // library takes it as a signed value.
    const std::int32_t stride = asSigned32(recordSize);
    std::uint32_t used = shape.usedBytes;
    if (shape.entryNumber) used *= static_cast<std::uint32_t>(m_entries);
    const std::string sizeText = "record size " + std::to_string(stride);
    if (stride < 0) {
        m_out->add("record-size", where, start + kRecordSizeAt,
                   sizeText + " is negative: each record lies before the one it follows");
    } else if (!shape.entryNumber && recordSize > kRecordBufferBytes) {
        m_out->add(
            "record-size", where, start + kRecordSizeAt,
            sizeText + " is above " + std::to_string(kRecordBufferBytes) + ", the record buffer");
    } else if (recordSize < used) {
        m_out->add("record-size", where, start + kRecordSizeAt,
                   sizeText + " is below the " + std::to_string(used) + " bytes a record uses");
    }
    if (table == kBackupTable) {
        if (headerHeld) checkSplit(start, first);
        if (!readSplit(start, first, header)) return;
    }
    checkRecords(table, start, first, recordSize);
}

bool JqwdbChecker::readSplit(Pos start, std::int32_t count, int header) {
    if (count < 1) return true;  // no index is accepted: nothing more is read
    const int split = part(start + kSplitIndexAt, "split", "pdbTb10 split", 2);
    if (!read(start + kSplitIndexAt, kWordBytes, {split, header})) return false;
    // splitValue is read for the one item at splitIndex, when it is accepted.
    const short index = asSigned16(static_cast<std::uint16_t>(m_file.u32(start + kSplitIndexAt)));
    if (index > 0 && index < count) read(start + kSplitValueAt, kWordBytes, {split, header});
    return true;
}

// Every record an index reaches (a 16-bit index, at most the last index or
// below the item count), at the positions the library computes and with the
// bytes it reads: the whole record up to the record buffer, or the device
// entries of its row. The first record it cannot read is a finding with the
// result the library gives.
void JqwdbChecker::checkRecords(int table, Pos start, std::int32_t first,
                                std::uint32_t recordSize) {
    const JqwdbTableShape& shape = kJqwdbTables[table];
    const std::string key = pdbKey(table);
    const int whole = part(start, "table", key, 0);
    const std::int64_t last = std::min<std::int64_t>(
        shape.bound == IndexBound::itemCount ? std::int64_t{first} - 1 : first,
        kHighestRecordIndex);
    const int entries = !shape.deviceEntries ? 1 : shape.entryNumber ? m_entries : 1;
    // What a record read must deliver, and what it reads.
    const std::uint32_t need =
        shape.deviceEntries ? kDeviceEntryBytes : std::min(recordSize, shape.usedBytes);
    const std::uint32_t want =
        shape.deviceEntries ? kDeviceEntryBytes : std::min(recordSize, kRecordBufferBytes);
    bool reported = false;
    for (std::int64_t index = 0; index <= last; ++index) {
        const Pos record = recordAt(start, static_cast<short>(index), recordSize);
        const int recordPart = part(record, "record", key + " record " + std::to_string(index), 2);
        for (int entry = 1; entry <= entries; ++entry) {
            const Pos at =
                shape.deviceEntries ? record + deviceEntryAt(static_cast<short>(entry)) : record;
            read(at, want, {recordPart, whole});
            if (reported || m_file.holds(at, need)) continue;
            std::string what = "record " + std::to_string(index);
            if (shape.entryNumber) what += " entry " + std::to_string(entry);
            what += " (records 0.." + std::to_string(last) + " are reached)";
            checkSpan(m_file, *m_out, "record-outside", regionName(table, kPlain), at, need, what);
            reported = true;
        }
        if (reported && !m_libraryReads) return;
    }
}

void JqwdbChecker::checkSplit(Pos start, std::int32_t count) {
    const std::uint16_t splitIndex = m_file.u16(start + kSplitIndexAt);
    const std::uint16_t splitValue = m_file.u16(start + kSplitValueAt);
    const short index = asSigned16(splitIndex);
    if (index < 0) {
        m_out->add("split-index", regionName(kBackupTable, kPlain), start + kSplitIndexAt,
                   "splitIndex " + std::to_string(index) +
                       " is negative: every item is a tail item and splitValue is never "
                       "delivered");
    } else if (index > 0 && index >= count) {
        m_out->add("split-index", regionName(kBackupTable, kPlain), start + kSplitIndexAt,
                   "splitIndex " + std::to_string(index) + " is not below the item count " +
                       std::to_string(count) + ": no item is a tail item");
    } else if (index == 0 && splitValue != 0) {
        m_out->add("split-value", regionName(kBackupTable, kPlain), start + kSplitValueAt,
                   "splitValue " + std::to_string(asSigned16(splitValue)) +
                       " is set, but splitIndex 0 means the table has no tail items");
    }
}

void JqwdbChecker::run() {
    const int header = m_layout.part(0, "header", "header", 0);
    const bool sound = directoryBaseOf(m_file, m_findings, m_directory);
    if (!m_layout.read(kDirectoryBaseAt, kWordBytes, {header})) return;
    m_directory = m_file.u32(kDirectoryBaseAt);
    for (int table = 0; table < kJqwdbTableCount; ++table) {
        m_out = sound ? &m_findings : &m_muted;
        checkTable(table);
    }
}

}  // namespace

void checkJqwdbFile(const FileImage& file, const ModelOsPair& pair, const std::int32_t* specValue0,
                    Findings& findings, LayoutBuilder& layout) {
    JqwdbChecker(file, specValue0, pair.osType, findings, layout).run();
}

}  // namespace zel::tool
