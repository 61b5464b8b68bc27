// The bounds of what a host may ask, from the built-in tables the readers
// use: hosts that walk a whole database (the Python module's dump, say) take
// them from here instead of keeping a copy of the tables.
#include <ZelComFuncDbaseC.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <iterator>
#include <string>

#include "accessor/file_naming.h"
#include "accessor/model_table.h"
#include "accessor/result_codes.h"
#include "format/address_geometry.h"
#include "format/bytes.h"
#include "format/cpu_constants.h"
#include "format/item_maps.h"
#include "format/jqwdb_tables.h"

namespace {

// CDbTb2..CDbTb5 by table number; false for any other number.
bool readerOfTable(short table, zel::AddressReader& reader) {
    constexpr zel::AddressReader kReaders[] = {zel::AddressReader::word2, zel::AddressReader::word3,
                                               zel::AddressReader::bit4, zel::AddressReader::bit5};
    constexpr short kFirstTable = 2;
    const auto at = static_cast<unsigned short>(table - kFirstTable);
    if (at >= std::size(kReaders)) return false;
    reader = kReaders[at];
    return true;
}

// Entry numbers are short: a bound beyond reaches every one.
short asEntryCount(std::int32_t bound) {
    return static_cast<short>(std::clamp<std::int32_t>(bound, 0, SHRT_MAX));
}

short fileName(const char* prefix, short modelIndex, short osNumber, char* name, int size) {
    short cpuCode = 0;
    short osType = 0;
    if (!zel::cpuCodeOfModel(modelIndex, cpuCode) || !zel::osTypeOfNumber(osNumber, osType))
        return zel::kRefused;
    std::string composed;
    try {
        composed = zel::databaseFileName(prefix, cpuCode, osType);
    } catch (...) {
        return zel::fileFailureResult(zel::Cause::genericException);
    }
    if (composed.empty() || !name || composed.size() >= static_cast<std::size_t>(std::max(size, 0)))
        return zel::kRefused;
    std::memcpy(name, composed.c_str(), composed.size() + 1);
    return zel::kOk;
}

}  // namespace

extern "C" {

short ZELCOMFUNCDBASE_CALL zel_item_count(short table, short modelIndex) {
    zel::AddressReader reader;
    short cpuCode = 0;
    if (!readerOfTable(table, reader) || !zel::cpuCodeOfModel(modelIndex, cpuCode))
        return zel::kRefused;
    return static_cast<short>(zel::lastItemOf(reader, zel::mapClassOf(cpuCode)) + 1);
}

short ZELCOMFUNCDBASE_CALL zel_entry_count(short table, short modelIndex, short item,
                                           const ZelLong* cpuSpecValues) {
    zel::AddressReader reader;
    short cpuCode = 0;
    if (!readerOfTable(table, reader) || table % 2 != 0 || !cpuSpecValues ||
        !zel::cpuCodeOfModel(modelIndex, cpuCode))
        return zel::kRefused;
    const auto row = zel::itemRowOf(reader, zel::mapClassOf(cpuCode), item);
    if (!row) return zel::kRefused;
    if (zel::isAbsent(*row)) return zel::kAbsent;
    const auto boundValue =
        static_cast<std::int32_t>(cpuSpecValues[zel::boundValueIndexOf(row->table, row->section)]);
    const int slots = zel::slotCountOf(cpuCode, row->table, row->section);
    return asEntryCount(std::min<std::int32_t>(zel::entryBoundOf(boundValue), slots));
}

short ZELCOMFUNCDBASE_CALL zel_device_entry_count(short osNumber, const ZelLong* cpuSpecValues) {
    short osType = 0;
    if (!cpuSpecValues || !zel::osTypeOfNumber(osNumber, osType)) return zel::kRefused;
    return asEntryCount(zel::deviceEntryBound(static_cast<std::int32_t>(cpuSpecValues[0]), osType));
}

short ZELCOMFUNCDBASE_CALL zel_memory_kind_count(void) { return zel::kMemoryKinds; }

short ZELCOMFUNCDBASE_CALL zel_memory_last_index(short kind) {
    if (kind < 0 || kind >= zel::kMemoryKinds || !zel::memoryKind(kind).served)
        return zel::kRefused;
    return static_cast<short>(zel::memoryKind(kind).highestIndex);
}

short ZELCOMFUNCDBASE_CALL zel_big_endian(short modelIndex) {
    short cpuCode = 0;
    if (!zel::cpuCodeOfModel(modelIndex, cpuCode)) return zel::kRefused;
    return zel::osdbByteOrder(cpuCode) == zel::ByteOrder::mostSignificantFirst ? 1 : 0;
}

short ZELCOMFUNCDBASE_CALL zel_osdb_file_name(short modelIndex, short osNumber, char* name,
                                              int size) {
    return fileName(zel::kOsdbPrefix, modelIndex, osNumber, name, size);
}

short ZELCOMFUNCDBASE_CALL zel_jqwdb_file_name(short modelIndex, short osNumber, char* name,
                                               int size) {
    return fileName(zel::kJqwdbPrefix, modelIndex, osNumber, name, size);
}

}  // extern "C"
