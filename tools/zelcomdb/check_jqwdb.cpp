// The JQWDB half of `check`: the directory of eleven tables, each table's
// header, its record size and every record an accepted index reaches, and
// the split values of table 10.
#include <algorithm>
#include <cstdint>
#include <string>

#include "check.h"
#include "field_claims.h"
#include "format/bytes.h"
#include "format/directory.h"
#include "format/jqwdb_tables.h"

namespace zel::tool {
namespace {

class JqwdbChecker {
  public:
    JqwdbChecker(const FileImage& file, const std::int32_t* specValue0, short osType,
                 Findings& findings)
        : m_file(file), m_out(findings) {
        // Without the OSDB file no entry of tables 2 and 4 can be read; one
        // entry per record is then what the check asks for.
        m_entries = specValue0 ? deviceEntryBound(*specValue0, osType) : 1;
    }

    void run();

  private:
    void checkTable(int table);
    void checkSplit(Pos start, std::int32_t count);
    void checkRecords(int table, Pos start, std::int32_t first, std::uint32_t recordSize);

    const FileImage& m_file;
    Findings& m_out;
    Pos m_directory = 0;
    int m_entries = 1;
};

void JqwdbChecker::checkTable(int table) {
    const std::string where = regionName(table, kPlain);
    const JqwdbTableShape& shape = kJqwdbTables[table];
    const Pos entry = tableEntryAt(m_directory, shape.number);
    if (!checkSpan(m_file, m_out, "directory", entry, kWordBytes,
                   "the entry of table " + std::to_string(table)))
        return;
    const Pos start = m_directory + m_file.u32(entry);
    const std::uint64_t headerBytes =
        table == kBackupTable ? kTableHeaderBytes : kRecordSizeAt + kWordBytes;
    if (!checkSpan(m_file, m_out, where, start, headerBytes, "the table header")) return;
    const std::int32_t first = asSigned32(m_file.u32(start + kFirstWordAt));
    const std::uint32_t recordSize = m_file.u32(start + kRecordSizeAt);

    // An empty table, as build writes it, has the last index -1 (item
    // count 0); below that no index is accepted either, but no writer of
    // this format puts it there.
    const std::int32_t empty = table == kBackupTable ? 0 : -1;
    if (first < empty) {
        m_out.add(where, start + kFirstWordAt,
                  std::string(table == kBackupTable ? "item count " : "last index ") +
                      std::to_string(first) + " is negative: no record can be read");
    }
    // The record size is a stride in 32-bit wrap-around arithmetic: the
    // library takes it as a signed value.
    const std::int32_t stride = asSigned32(recordSize);
    std::uint32_t used = shape.usedBytes;
    if (shape.entryNumber) used *= static_cast<std::uint32_t>(std::max(m_entries, 1));
    const std::string sizeText = "record size " + std::to_string(stride);
    if (stride < 0) {
        m_out.add(where, start + kRecordSizeAt,
                  sizeText + " is negative: each record lies before the one it follows");
    } else if (!shape.entryNumber && recordSize > kRecordBufferBytes) {
        m_out.add(
            where, start + kRecordSizeAt,
            sizeText + " is above " + std::to_string(kRecordBufferBytes) + ", the record buffer");
    } else if (recordSize < used) {
        m_out.add(where, start + kRecordSizeAt,
                  sizeText + " is below the " + std::to_string(used) + " bytes a record uses");
    }
    if (table == kBackupTable) checkSplit(start, first);
    checkRecords(table, start, first, recordSize);
}

// Every record an index reaches (a 16-bit index, at most the last index or
// below the item count), at the positions the library computes: the first
// that it cannot read is a finding with the result the library gives.
void JqwdbChecker::checkRecords(int table, Pos start, std::int32_t first,
                                std::uint32_t recordSize) {
    const JqwdbTableShape& shape = kJqwdbTables[table];
    const std::int64_t last = std::min<std::int64_t>(
        shape.bound == IndexBound::itemCount ? std::int64_t{first} - 1 : first,
        kHighestRecordIndex);
    // The reads of one record: the whole record into the record buffer (the
    // bytes used must arrive), or the device entries of its row.
    const int entries = !shape.deviceEntries ? 1 : shape.entryNumber ? std::max(m_entries, 1) : 1;
    const std::uint32_t need =
        shape.deviceEntries ? kDeviceEntryBytes : std::min(recordSize, shape.usedBytes);
    for (std::int64_t index = 0; index <= last; ++index) {
        const Pos record = recordAt(start, static_cast<short>(index), recordSize);
        for (int entry = 1; entry <= entries; ++entry) {
            const Pos at =
                shape.deviceEntries ? record + deviceEntryAt(static_cast<short>(entry)) : record;
            if (m_file.holds(at, need)) continue;
            std::string what = "record " + std::to_string(index);
            if (shape.entryNumber) what += " entry " + std::to_string(entry);
            what += " (records 0.." + std::to_string(last) + " are reached)";
            checkSpan(m_file, m_out, regionName(table, kPlain), at, need, what);
            return;
        }
    }
}

void JqwdbChecker::checkSplit(Pos start, std::int32_t count) {
    const std::uint16_t splitIndex = m_file.u16(start + kSplitIndexAt);
    const std::uint16_t splitValue = m_file.u16(start + kSplitValueAt);
    const short index = asSigned16(splitIndex);
    if (index < 0) {
        m_out.add(regionName(kBackupTable, kPlain), start + kSplitIndexAt,
                  "splitIndex " + std::to_string(index) +
                      " is negative: every item is a tail item and splitValue is never "
                      "delivered");
    } else if (index > 0 && index >= count) {
        m_out.add(regionName(kBackupTable, kPlain), start + kSplitIndexAt,
                  "splitIndex " + std::to_string(index) + " is not below the item count " +
                      std::to_string(count) + ": no item is a tail item");
    } else if (index == 0 && splitValue != 0) {
        m_out.add(regionName(kBackupTable, kPlain), start + kSplitValueAt,
                  "splitValue " + std::to_string(asSigned16(splitValue)) +
                      " is set, but splitIndex 0 means the table has no tail items");
    }
}

void JqwdbChecker::run() {
    if (!directoryBaseOf(m_file, m_out, m_directory)) return;
    for (int table = 0; table < kJqwdbTableCount; ++table) checkTable(table);
}

}  // namespace

void checkJqwdbFile(const FileImage& file, const ModelOsPair& pair, const std::int32_t* specValue0,
                    Findings& findings) {
    JqwdbChecker(file, specValue0, pair.osType, findings).run();
}

}  // namespace zel::tool
