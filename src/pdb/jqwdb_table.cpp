#include "pdb/jqwdb_table.h"

#include <algorithm>

namespace zel {

Pos jqwdbTableStart(FieldReader& reader, Pos tableNumber) {
    const Pos directory = reader.u32(kJqwdbDirectoryBaseAt);
    return directory + reader.u32(directory + 4 * tableNumber);
}

OpenTable readJqwdbTableHeader(FieldReader& reader, Pos tableNumber) {
    OpenTable table{};
    table.start = jqwdbTableStart(reader, tableNumber);
    table.firstWord = asSigned32(reader.u32(table.start));
    table.recordSize = reader.u32(table.start + kJqwdbRecordSizeAt);
    return table;
}

bool jqwdbIndexAccepted(short index, std::int32_t firstWord, IndexBound bound) {
    if (index < 0) return false;
    return bound == IndexBound::lastIndex ? index <= firstWord : index < firstWord;
}

void readJqwdbRecord(FieldReader& reader, const OpenTable& table, short index,
                     std::uint32_t usedBytes, RecordBuffer& record) {
    record = RecordBuffer{};
    const std::uint32_t want = std::min(table.recordSize, kRecordBufferBytes);
    const std::uint32_t need = std::min(table.recordSize, usedBytes);
    reader.bytes(table.record(index), record.bytes, want, need);
}

short readJqwdbRecordOf(const NameBuffer& name, const JqwdbTableShape& table, short index,
                        RecordBuffer& record) {
    return readJqwdbTable(name, table, index, [&](FieldReader& reader, const OpenTable& open) {
        readJqwdbRecord(reader, open, index, table.usedBytes, record);
    });
}

}  // namespace zel
