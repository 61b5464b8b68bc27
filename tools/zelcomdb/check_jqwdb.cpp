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

    if (first < 0) {
        m_out.add(where, start,
                  std::string(table == kBackupTable ? "item count " : "last index ") +
                      std::to_string(first) + " is negative: no record can be read");
    }
    std::uint32_t used = shape.usedBytes;
    if (shape.entryNumber) used *= static_cast<std::uint32_t>(std::max(m_entries, 1));
    const std::string sizeText = "record size " + std::to_string(recordSize);
    if (!shape.entryNumber && recordSize > kRecordBufferBytes) {
        m_out.add(where, start + kRecordSizeAt, sizeText + " is above 16, the record buffer");
    } else if (recordSize < used) {
        m_out.add(where, start + kRecordSizeAt,
                  sizeText + " is below the " + std::to_string(used) + " bytes a record uses");
    }
    if (table == kBackupTable) checkSplit(start, first);

    // The last index a 16-bit record index reaches.
    const std::int64_t last = std::min<std::int64_t>(
        table == kBackupTable ? std::int64_t{first} - 1 : first, std::int64_t{kHighestRecordIndex});
    if (last < 0) return;
    const std::uint32_t read = !shape.deviceEntries ? std::min(recordSize, used) : used;
    const std::uint64_t lastRecord =
        std::uint64_t{start} + kTableHeaderBytes + static_cast<std::uint64_t>(last) * recordSize;
    if (lastRecord + read > m_file.size()) {
        m_out.add(where, static_cast<std::int64_t>(lastRecord),
                  "record " + std::to_string(last) +
                      " (the last an index reaches) ends beyond the end of the file (" +
                      std::to_string(m_file.size()) + " bytes)");
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
