// JQWDB table 10, the backup table: items read by index, and the item count
// that a host walks the table with.
//
// Its header uses all four words: the item count, the record size, then
// splitIndex and splitValue. Items from splitIndex on are tail items, the
// others head items; the two kinds take their fields from different record
// bytes (format/jqwdb_tables.h).
#include <ZelComFuncDbase.h>

#include <cstddef>
#include <cstdint>

#include "accessor/model_table.h"
#include "accessor/reading_path.h"
#include "accessor/result_codes.h"
#include "accessor/table_directory.h"
#include "format/bytes.h"
#include "pdb/record_buffer.h"
#include "pdb/table_reading.h"
#include "platform/name_buffer.h"

namespace {

constexpr short kNoField = -1;

std::uint16_t low16(std::uint32_t word) { return static_cast<std::uint16_t>(word & 0xFFFFu); }

constexpr std::size_t kBackupFields = sizeof zel::kBackupTailFields / sizeof(zel::RecordField);
static_assert(zel::kJqwdbTables[zel::kBackupTable].layout.count == kBackupFields,
              "head and tail items fill the same PdbBkup");

}  // namespace

short CZelComFuncDbase::PdbTb10(short cpuCode, short osType, short index, PdbBkup* out) {
    zel::NameBuffer name;
    if (dbname(cpuCode, osType, name.units) != zel::kOk) return zel::kRefused;
    const zel::JqwdbTableShape& table = zel::kJqwdbTables[zel::kBackupTable];
    zel::RecordBuffer record;
    std::uint16_t splitIndex = 0;
    short splitValue = kNoField;
    const short result =
        zel::readJqwdbTable(name, table, index, [&](zel::FieldReader& r, const zel::OpenTable& t) {
            splitIndex = low16(r.u32(t.start + zel::kSplitIndexAt));
            // splitValue belongs to the one item at splitIndex and is read only for it.
            if (splitIndex != 0 && splitIndex == static_cast<std::uint16_t>(index))
                splitValue = zel::asSigned16(low16(r.u32(t.start + zel::kSplitValueAt)));
            zel::readJqwdbRecord(r, t, index, table.usedBytes, record);
        });
    if (result != zel::kOk) return result;
    const bool tail = zel::isTailItem(index, splitIndex);
    zel::storeDecodedRecord<PdbBkup, kBackupFields>(
        out, record.bytes, tail ? zel::kBackupTailFields : table.layout.fields, splitValue);
    return zel::kOk;
}

short CZelComFuncDbase::GetPdbTb10ItemCount(short modelIndex, short osNumber, ZelLong* count) {
    short cpuCode = 0;
    short osType = 0;
    if (!zel::cpuCodeOfModel(modelIndex, cpuCode) || !zel::osTypeOfNumber(osNumber, osType))
        return zel::kRefused;
    zel::NameBuffer name;
    if (dbname(cpuCode, osType, name.units) != zel::kOk) return zel::kRefused;
    return zel::readDatabase(name, zel::kJqwdbByteOrder, [&](zel::FieldReader& r) {
        const zel::Pos start = zel::tableStartOf(r, zel::kBackupTable);
        // Stored before the file is closed: a failing close leaves it stored.
        *count = zel::asSigned32(r.u32(start + zel::kFirstWordAt));
        return zel::kOk;
    });
}
