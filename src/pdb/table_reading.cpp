#include "pdb/table_reading.h"

#include <algorithm>

#include "accessor/table_directory.h"

namespace zel {

OpenTable readJqwdbTableHeader(FieldReader& reader, std::uint16_t tableNumber) {
    OpenTable table{};
    table.start = tableStartOf(reader, tableNumber);
    table.firstWord = asSigned32(reader.u32(table.start + kFirstWordAt));
    table.recordSize = reader.u32(table.start + kRecordSizeAt);
    return table;
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
