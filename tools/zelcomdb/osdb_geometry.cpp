#include "osdb_geometry.h"

#include <algorithm>

#include "format/cpu_constants.h"

namespace zel::tool {

const AddressReaderInfo kAddressReaders[4] = {
    {AddressReader::word2, "CDbTb2", "dbTb2", true},
    {AddressReader::word3, "CDbTb3", "dbTb3", false},
    {AddressReader::bit4, "CDbTb4", "dbTb4", true},
    {AddressReader::bit5, "CDbTb5", "dbTb5", false},
};

const AddressReaderInfo& readerInfo(AddressReader reader) {
    return kAddressReaders[static_cast<int>(reader)];
}

std::optional<MapRow> itemRow(AddressReader reader, short cpuCode, short item) {
    return itemRowOf(reader, mapClassOf(cpuCode), item);
}

short lastItem(AddressReader reader, short cpuCode) {
    return lastItemOf(reader, mapClassOf(cpuCode));
}

int entryBound(const MapRow& row, const CpuSpecValues& values) {
    return entryBoundOf(values[boundValueIndexOf(row.table, row.section)]);
}

int shownEntries(short cpuCode, const MapRow& row, const CpuSpecValues& values) {
    const int bound = entryBound(row, values);
    const int slots = static_cast<int>(slotCountOf(cpuCode, row.table, row.section));
    return std::max(0, std::min(bound, slots));
}

}  // namespace zel::tool
