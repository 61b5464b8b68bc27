// The JQWDB container and the one procedure that reads a record of one of its
// eleven tables.
//
// The layout is described in format/jqwdb_tables.h.
//
// The procedure: open the file, read directory base, table offset, first
// header word and record size, check the record index against the first
// word, let the reader read its record, close the file. The index is checked
// only after the header has been read, so a missing file answers 102 even for
// an index that would have been refused.
#ifndef ZEL_PDB_TABLE_READING_H
#define ZEL_PDB_TABLE_READING_H

#include <ZelComFuncDbase.h>

#include <cstdint>

#include "accessor/accessor_internals.h"
#include "accessor/reading_path.h"
#include "accessor/result_codes.h"
#include "format/jqwdb_tables.h"
#include "format/position.h"
#include "pdb/record_buffer.h"
#include "platform/field_reader.h"
#include "platform/name_buffer.h"

namespace zel {

// A table whose header words have been read.
struct OpenTable {
    Pos start;
    std::int32_t firstWord;    // last index, or item count for table 10
    std::uint32_t recordSize;  // the stride between records

    // Where record `index` starts (32-bit wrap-around arithmetic).
    Pos record(short index) const { return recordAt(start, index, recordSize); }
};

// Table start, first header word and record size.
OpenTable readJqwdbTableHeader(FieldReader& reader, std::uint16_t tableNumber);

// Reads record `index` into the zeroed record buffer: at most the first 16
// bytes of the record, and fails with endOfFile when the file ends before
// min(record size, bytes used) bytes have arrived. The bytes a short record
// size leaves unread stay 0.
void readJqwdbRecord(FieldReader& reader, const OpenTable& table, short index,
                     std::uint32_t usedBytes, RecordBuffer& record);

// The procedure from open to close. body(FieldReader&, const OpenTable&)
// makes the reads of an accepted index and returns nothing; the call answers
// 0, -1 for a refused index (the file closed), or 100 + cause.
template <class Body>
short readJqwdbTable(const NameBuffer& name, const JqwdbTableShape& table, short index,
                     Body&& body) {
    return readDatabase(name, kJqwdbByteOrder, [&](FieldReader& reader) {
        const OpenTable open = readJqwdbTableHeader(reader, table.number);
        if (!indexAdmitted(index, open.firstWord, table.bound)) return kRefused;
        body(reader, open);
        return kOk;
    });
}

// The procedure for a reader that takes its fields from one record.
short readJqwdbRecordOf(const NameBuffer& name, const JqwdbTableShape& table, short index,
                        RecordBuffer& record);

// What a reader of a table read whole (0, 1, 6 to 9) does: the file name of
// the CPU code and OS type (-1 without one), the procedure, and the output
// record decoded from the record by the table's layout, stored in the
// caller's record on success only.
template <int Table, class Out>
short readRecordOf(CZelComFuncDbase& db, short cpuCode, short osType, short index, Out* out) {
    constexpr const JqwdbTableShape& table = kJqwdbTables[Table];
    static_assert(!table.deviceEntries, "tables 2 to 5 are read by their device entries");
    NameBuffer name;
    if (ZelAccessorInternals::dbname(db, cpuCode, osType, name.units) != kOk) return kRefused;
    RecordBuffer record;
    const short result = readJqwdbRecordOf(name, table, index, record);
    if (result == kOk)
        storeDecodedRecord<Out, table.layout.count>(out, record.bytes, table.layout.fields);
    return result;
}

}  // namespace zel

#endif
