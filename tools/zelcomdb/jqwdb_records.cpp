#include "jqwdb_records.h"

#include <algorithm>

namespace zel::tool {

int pdbEntryBound(std::int32_t specValue0, short osType) {
    const std::int32_t least = (osType == 4 || osType == 5) ? 16 : 0;
    return static_cast<int>(std::min<std::int32_t>(std::max(specValue0, least), 32767));
}

std::int64_t lowestOf(FieldType type) {
    switch (type) {
        case FieldType::signed32:
            return -2147483648LL;
        case FieldType::signed16:
            return -32768;
        case FieldType::signed8:
            return -128;
        default:
            return 0;
    }
}

std::int64_t highestOf(FieldType type) {
    switch (type) {
        case FieldType::signed32:
            return 2147483647LL;
        case FieldType::signed16:
            return 32767;
        case FieldType::unsigned16:
            return 65535;
        case FieldType::signed8:
            return 127;
        default:
            return 255;
    }
}

std::uint32_t widthOf(FieldType type) {
    switch (type) {
        case FieldType::signed32:
            return 4;
        case FieldType::signed16:
        case FieldType::unsigned16:
            return 2;
        default:
            return 1;
    }
}

}  // namespace zel::tool
