// The JQWDB file: eleven tables of fixed-size records reached through the
// table directory (format/directory.h), every value least significant byte
// first whatever the CPU code. Each table starts with a 16-byte header (first
// word, record size, and two words that only table 10 uses) followed by its
// records at the stored record size. This header describes, per table, what
// the first header word bounds, the record bytes a reader uses and the output
// record's fields with the record bytes each comes from.
// Layout described in doc/file_format.md#jqwdb-files.
#ifndef ZEL_FORMAT_JQWDB_TABLES_H
#define ZEL_FORMAT_JQWDB_TABLES_H

#include <cstdint>

#include "format/position.h"

namespace zel {

constexpr int kJqwdbTableCount = 11;
constexpr std::uint16_t kBackupTable = 10;

// The table header, offsets from the table start.
constexpr Pos kTableHeaderBytes = 16;
constexpr Pos kFirstWordAt = 0;    // last index, or table 10's item count
constexpr Pos kRecordSizeAt = 4;   // the stride between records
constexpr Pos kSplitIndexAt = 8;   // table 10: low 16 bits of the word
constexpr Pos kSplitValueAt = 12;  // table 10: low 16 bits of the word

// A record is read into a buffer of 16 bytes; bytes beyond it are not kept.
constexpr std::uint32_t kRecordBufferBytes = 16;

// Record indices are signed 16-bit selectors.
constexpr std::int32_t kHighestRecordIndex = 32767;

// Where record `index` starts (32-bit wrap-around arithmetic).
inline Pos recordAt(Pos tableStart, short index, std::uint32_t recordSize) {
    return tableStart + kTableHeaderBytes + wide(index) * recordSize;
}

// How the first header word bounds the record index.
enum class IndexBound {
    lastIndex,  // tables 0 to 9: the highest accepted index, inclusive
    itemCount,  // table 10: the number of items; an index equal to it is refused
};

// Whether the first header word admits an index (signed comparison).
constexpr bool indexAdmitted(short index, std::int32_t firstWord, IndexBound bound) {
    return index >= 0 && (bound == IndexBound::lastIndex ? index <= firstWord : index < firstWord);
}

enum class FieldType {
    signed32,    // 4 bytes, the stored bits as a signed value
    signed16,    // 2 bytes, the stored bits as a signed value
    unsigned16,  // 2 bytes, the stored bits
    signed8,     // 1 byte, sign-extended
    unsigned8,   // 1 byte, 0..255
    missing,     // no bytes: the field is -1
    splitValue,  // no record bytes: table 10's splitValue at the split index, else -1
};

constexpr std::uint32_t widthOf(FieldType type) {
    return type == FieldType::signed32                                    ? 4
           : type == FieldType::signed16 || type == FieldType::unsigned16 ? 2
           : type == FieldType::signed8 || type == FieldType::unsigned8   ? 1
                                                                          : 0;
}

// The range of the values a field type delivers.
constexpr std::int64_t lowestOf(FieldType type) {
    return type == FieldType::signed32                                    ? -2147483648LL
           : type == FieldType::signed16 || type == FieldType::splitValue ? -32768
           : type == FieldType::signed8                                   ? -128
           : type == FieldType::missing                                   ? -1
                                                                          : 0;
}
constexpr std::int64_t highestOf(FieldType type) {
    return type == FieldType::signed32     ? 2147483647LL
           : type == FieldType::signed16   ? 32767
           : type == FieldType::unsigned16 ? 65535
           : type == FieldType::signed8    ? 127
           : type == FieldType::unsigned8  ? 255
           : type == FieldType::missing    ? -1
                                           : 32767;
}

// One field of an output record, in the output record's order.
struct RecordField {
    const char* name;
    std::uint32_t offset;  // within the record (or within the device entry)
    FieldType type;
};

struct RecordLayout {
    const RecordField* fields;
    int count;
};

template <int N>
constexpr RecordLayout layoutOf(const RecordField (&fields)[N]) {
    return RecordLayout{fields, N};
}

// PdbJAd (table 0) and PdbCAd (table 1).
constexpr RecordField kPdbJAdFields[] = {
    {"value1", 0, FieldType::signed32}, {"value2", 4, FieldType::signed32},
    {"word1", 8, FieldType::signed16},  {"word2", 10, FieldType::signed16},
    {"attr1", 12, FieldType::signed8},  {"attr2", 13, FieldType::signed8},
    {"word3", 14, FieldType::signed16},
};
constexpr RecordField kPdbCAdFields[] = {
    {"value1", 0, FieldType::signed32}, {"value2", 4, FieldType::signed32},
    {"word1", 8, FieldType::signed16},  {"attr1", 10, FieldType::signed8},
    {"attr2", 11, FieldType::signed8},  {"word2", 12, FieldType::signed16},
};

// Tables 2 to 5 hold 4-byte device entries: kind (byte 0), number (bytes 1
// and 2), extra (byte 3). PdbWD (tables 2, 3) and PdbBD (tables 4, 5).
constexpr std::uint32_t kDeviceEntryBytes = 4;
constexpr RecordField kPdbWDFields[] = {
    {"number", 1, FieldType::unsigned16},
    {"kind", 0, FieldType::unsigned8},
    {"extra", 3, FieldType::unsigned8},
};
constexpr RecordField kPdbBDFields[] = {
    {"number", 1, FieldType::unsigned16},
    {"kind", 0, FieldType::unsigned8},
};

// PdbAnyWD (tables 6, 8), PdbAnyBD (table 7), PdbAnyPBD (table 9).
constexpr RecordField kPdbAnyWDFields[] = {
    {"value1", 0, FieldType::signed32},
    {"word1", 4, FieldType::signed16},
    {"word2", 6, FieldType::signed16},
    {"attr1", 8, FieldType::signed8},
};
constexpr RecordField kPdbAnyBDFields[] = {
    {"value1", 0, FieldType::signed32}, {"word1", 4, FieldType::signed16},
    {"attr1", 6, FieldType::signed8},   {"attr2", 7, FieldType::signed8},
    {"attr3", 8, FieldType::signed8},
};
constexpr RecordField kPdbAnyPBDFields[] = {
    {"value1", 0, FieldType::signed32}, {"word1", 4, FieldType::signed16},
    {"attr1", 6, FieldType::signed8},   {"attr2", 7, FieldType::signed8},
    {"attr3", 8, FieldType::signed8},   {"attr4", 9, FieldType::signed8},
};

// PdbBkup (table 10). Items from splitIndex on (compared as signed 16-bit
// numbers, splitIndex 0 meaning none) are tail items, the others head items.
constexpr RecordField kBackupHeadFields[] = {
    {"value1", 4, FieldType::signed32}, {"value2", 8, FieldType::signed32},
    {"attr1", 0, FieldType::signed8},   {"attr2", 1, FieldType::signed8},
    {"attr3", 2, FieldType::signed8},   {"attr4", 12, FieldType::signed8},
    {"attr5", 13, FieldType::signed8},
};
constexpr RecordField kBackupTailFields[] = {
    {"value1", 4, FieldType::signed32}, {"value2", 8, FieldType::signed32},
    {"attr1", 3, FieldType::signed8},   {"attr2", 0, FieldType::splitValue},
    {"attr3", 0, FieldType::missing},   {"attr4", 0, FieldType::missing},
    {"attr5", 0, FieldType::missing},
};

inline bool isTailItem(short index, std::uint16_t splitIndex) {
    return splitIndex != 0 && index >= asSigned16(splitIndex);
}

// What a reader knows of its table.
struct JqwdbTableShape {
    std::uint16_t number;     // its entry in the table directory
    IndexBound bound;         // what its first header word means
    bool deviceEntries;       // tables 2 to 5: the record is a row of device entries
    bool entryNumber;         // tables 2 and 4: the caller's entry number picks the entry
    std::uint32_t usedBytes;  // record bytes the fields come from (device tables: one entry)
    RecordLayout layout;      // table 10: the head item
};

// By table number.
constexpr JqwdbTableShape kJqwdbTables[kJqwdbTableCount] = {
    {0, IndexBound::lastIndex, false, false, 16, layoutOf(kPdbJAdFields)},
    {1, IndexBound::lastIndex, false, false, 14, layoutOf(kPdbCAdFields)},
    {2, IndexBound::lastIndex, true, true, kDeviceEntryBytes, layoutOf(kPdbWDFields)},
    {3, IndexBound::lastIndex, true, false, kDeviceEntryBytes, layoutOf(kPdbWDFields)},
    {4, IndexBound::lastIndex, true, true, kDeviceEntryBytes, layoutOf(kPdbBDFields)},
    {5, IndexBound::lastIndex, true, false, kDeviceEntryBytes, layoutOf(kPdbBDFields)},
    {6, IndexBound::lastIndex, false, false, 9, layoutOf(kPdbAnyWDFields)},
    {7, IndexBound::lastIndex, false, false, 9, layoutOf(kPdbAnyBDFields)},
    {8, IndexBound::lastIndex, false, false, 9, layoutOf(kPdbAnyWDFields)},
    {9, IndexBound::lastIndex, false, false, 10, layoutOf(kPdbAnyPBDFields)},
    {10, IndexBound::itemCount, false, false, 14, layoutOf(kBackupHeadFields)},
};

// The bytes of a record that a layout's fields cover.
constexpr std::uint32_t layoutEnd(const RecordLayout& layout) {
    std::uint32_t end = 0;
    for (int i = 0; i < layout.count; ++i) {
        const std::uint32_t e = layout.fields[i].offset + widthOf(layout.fields[i].type);
        if (widthOf(layout.fields[i].type) && e > end) end = e;
    }
    return end;
}

// Bytes used is what the fields cover, or one whole device entry.
constexpr bool usedBytesAgree() {
    for (const JqwdbTableShape& t : kJqwdbTables) {
        const std::uint32_t covered = layoutEnd(t.layout);
        if (t.deviceEntries ? covered > t.usedBytes || t.usedBytes != kDeviceEntryBytes
                            : covered != t.usedBytes)
            return false;
        if (t.usedBytes > kRecordBufferBytes) return false;
    }
    return layoutEnd(layoutOf(kBackupTailFields)) <= kJqwdbTables[kBackupTable].usedBytes;
}
static_assert(usedBytesAgree(), "bytes used per record must be what the fields cover");

// Where entry `entry` (from 1) of a device record lies from the record start.
inline Pos deviceEntryAt(short entry) { return kDeviceEntryBytes * (wide(entry) - 1u); }

// The least entry number bound of each OS type for tables 2 and 4: OS types 4
// and 5 accept entry numbers up to 16 even where CPU specification value 0 is
// smaller. The bound is the larger of the two.
constexpr std::int32_t kLeastEntryBound[] = {0, 0, 0, 0, 16, 16, 0};
constexpr std::int32_t deviceEntryBound(std::int32_t specValue0, short osType) {
    const auto type = static_cast<unsigned short>(osType);
    const std::int32_t least =
        type < sizeof kLeastEntryBound / sizeof kLeastEntryBound[0] ? kLeastEntryBound[type] : 0;
    return specValue0 > least ? specValue0 : least;
}

}  // namespace zel

#endif
