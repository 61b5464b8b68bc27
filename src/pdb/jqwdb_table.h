// The JQWDB container and the one procedure that reads a record of one of its
// eleven tables.
//
// File layout (every value least significant byte first, whatever the CPU
// code): the directory base at byte 8; the table directory at the directory
// base, one 32-bit offset per table relative to the directory base; at each
// table start a 16-byte table header (first word, record size, two words that
// only table 10 uses) followed by the records at the stored record size.
//
// The procedure: open the file, read directory base, table offset, first
// header word and record size, check the record index against the first
// word, let the reader read its record, close the file. The index is checked
// only after the header has been read, so a missing file answers 102 even for
// an index that would have been refused.
#ifndef ZEL_PDB_JQWDB_TABLE_H
#define ZEL_PDB_JQWDB_TABLE_H

#include <cstdint>

#include "accessor/field_reader.h"
#include "accessor/name_buffer.h"
#include "accessor/position.h"
#include "accessor/reading_path.h"
#include "accessor/result_codes.h"
#include "pdb/record_buffer.h"

namespace zel {

constexpr Pos kJqwdbDirectoryBaseAt = 8;
constexpr Pos kJqwdbTableHeaderBytes = 16;
constexpr Pos kJqwdbRecordSizeAt = 4;  // within the table header
constexpr Pos kJqwdbWord8At = 8;       // within the table header, table 10 only
constexpr Pos kJqwdbWord12At = 12;     // within the table header, table 10 only

// How the first header word bounds the record index.
enum class IndexBound {
    lastIndex,  // tables 0 to 9: the highest accepted index, inclusive
    itemCount,  // table 10: the number of items; an index equal to it is refused
};

// What a reader knows of its table.
struct JqwdbTableShape {
    Pos number;               // its entry in the table directory
    IndexBound bound;         // what its first header word means
    std::uint32_t usedBytes;  // record bytes that its fields come from
};

constexpr int kJqwdbTableCount = 11;

// By table number. Tables 2 to 5 use one 4-byte device entry of a record.
constexpr JqwdbTableShape kJqwdbTables[kJqwdbTableCount] = {
    {0, IndexBound::lastIndex, 16}, {1, IndexBound::lastIndex, 14},  {2, IndexBound::lastIndex, 4},
    {3, IndexBound::lastIndex, 4},  {4, IndexBound::lastIndex, 4},   {5, IndexBound::lastIndex, 4},
    {6, IndexBound::lastIndex, 9},  {7, IndexBound::lastIndex, 9},   {8, IndexBound::lastIndex, 9},
    {9, IndexBound::lastIndex, 10}, {10, IndexBound::itemCount, 14},
};

// A table whose header words have been read.
struct OpenTable {
    Pos start;
    std::int32_t firstWord;    // last index, or item count for table 10
    std::uint32_t recordSize;  // the stride between records

    // Where record `index` starts (32-bit wrap-around arithmetic).
    Pos record(short index) const {
        return start + kJqwdbTableHeaderBytes + wide(index) * recordSize;
    }
};

// Directory base + the table's offset from the table directory.
Pos jqwdbTableStart(FieldReader& reader, Pos tableNumber);

// Table start, first header word and record size.
OpenTable readJqwdbTableHeader(FieldReader& reader, Pos tableNumber);

// Whether the first header word admits the index (signed comparison).
bool jqwdbIndexAccepted(short index, std::int32_t firstWord, IndexBound bound);

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
    return readDatabase(name, ByteOrder::leastSignificantFirst, [&](FieldReader& reader) {
        const OpenTable open = readJqwdbTableHeader(reader, table.number);
        if (!jqwdbIndexAccepted(index, open.firstWord, table.bound)) return kRefused;
        body(reader, open);
        return kOk;
    });
}

// The procedure for a reader that takes its fields from one record.
short readJqwdbRecordOf(const NameBuffer& name, const JqwdbTableShape& table, short index,
                        RecordBuffer& record);

// The same, storing decode(record) in the caller's output after the file has
// been closed, on success only.
template <class Out, class Decode>
short readJqwdbRecordInto(const NameBuffer& name, const JqwdbTableShape& table, short index,
                          Out* out, Decode decode) {
    RecordBuffer record;
    const short result = readJqwdbRecordOf(name, table, index, record);
    if (result == kOk) *out = decode(record);
    return result;
}

}  // namespace zel

#endif
