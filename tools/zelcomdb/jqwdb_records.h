// The fields of the JQWDB records as the library delivers them: for each
// output record, its fields in order with the record bytes they come from.
// The dump names the fields from here, the builder places them from here.
#ifndef ZELCOMDB_JQWDB_RECORDS_H
#define ZELCOMDB_JQWDB_RECORDS_H

#include <cstdint>

namespace zel::tool {

enum class FieldType {
    signed32,    // stored bits, signed
    signed16,    // stored bits, as a signed 16-bit value
    unsigned16,  // stored bits, unsigned
    signed8,     // one byte, sign-extended
    unsigned8,   // one byte, 0..255
};

struct RecordField {
    const char* name;
    std::uint32_t offset;  // within the record
    FieldType type;
};

struct RecordShape {
    const RecordField* fields;
    int count;
};

constexpr int kJqwdbTables = 11;
constexpr int kBackupTable = 10;

// PdbJAd (table 0), PdbCAd (table 1).
constexpr RecordField kTable0Fields[] = {
    {"value1", 0, FieldType::signed32}, {"value2", 4, FieldType::signed32},
    {"word1", 8, FieldType::signed16},  {"word2", 10, FieldType::signed16},
    {"attr1", 12, FieldType::signed8},  {"attr2", 13, FieldType::signed8},
    {"word3", 14, FieldType::signed16},
};
constexpr RecordField kTable1Fields[] = {
    {"value1", 0, FieldType::signed32}, {"value2", 4, FieldType::signed32},
    {"word1", 8, FieldType::signed16},  {"attr1", 10, FieldType::signed8},
    {"attr2", 11, FieldType::signed8},  {"word2", 12, FieldType::signed16},
};
// PdbWD (tables 2, 3) and PdbBD (tables 4, 5): a 4-byte device entry.
constexpr RecordField kWordDeviceFields[] = {
    {"number", 1, FieldType::unsigned16},
    {"kind", 0, FieldType::unsigned8},
    {"extra", 3, FieldType::unsigned8},
};
constexpr RecordField kBitDeviceFields[] = {
    {"number", 1, FieldType::unsigned16},
    {"kind", 0, FieldType::unsigned8},
};
// PdbAnyWD (tables 6, 8), PdbAnyBD (table 7), PdbAnyPBD (table 9).
constexpr RecordField kAnyWordFields[] = {
    {"value1", 0, FieldType::signed32},
    {"word1", 4, FieldType::signed16},
    {"word2", 6, FieldType::signed16},
    {"attr1", 8, FieldType::signed8},
};
constexpr RecordField kAnyBitFields[] = {
    {"value1", 0, FieldType::signed32}, {"word1", 4, FieldType::signed16},
    {"attr1", 6, FieldType::signed8},   {"attr2", 7, FieldType::signed8},
    {"attr3", 8, FieldType::signed8},
};
constexpr RecordField kAnyPackedBitFields[] = {
    {"value1", 0, FieldType::signed32}, {"word1", 4, FieldType::signed16},
    {"attr1", 6, FieldType::signed8},   {"attr2", 7, FieldType::signed8},
    {"attr3", 8, FieldType::signed8},   {"attr4", 9, FieldType::signed8},
};
// PdbBkup (table 10): a head item takes every field from its record; a tail
// item takes value1, value2 and attr1 (from byte 3), attr2 is the table's
// splitValue at the split index and -1 after it, attr3..attr5 are -1.
constexpr RecordField kBackupHeadFields[] = {
    {"value1", 4, FieldType::signed32}, {"value2", 8, FieldType::signed32},
    {"attr1", 0, FieldType::signed8},   {"attr2", 1, FieldType::signed8},
    {"attr3", 2, FieldType::signed8},   {"attr4", 12, FieldType::signed8},
    {"attr5", 13, FieldType::signed8},
};
constexpr std::uint32_t kBackupTailAttr1At = 3;

template <int N>
constexpr RecordShape shapeOf(const RecordField (&fields)[N]) {
    return RecordShape{fields, N};
}

// The record of tables 0..10 (for tables 2 and 4: one entry of a record).
constexpr RecordShape kRecordShapes[kJqwdbTables] = {
    shapeOf(kTable0Fields),       shapeOf(kTable1Fields),     shapeOf(kWordDeviceFields),
    shapeOf(kWordDeviceFields),   shapeOf(kBitDeviceFields),  shapeOf(kBitDeviceFields),
    shapeOf(kAnyWordFields),      shapeOf(kAnyBitFields),     shapeOf(kAnyWordFields),
    shapeOf(kAnyPackedBitFields), shapeOf(kBackupHeadFields),
};

// Tables 2 and 4 hold a row of device entries per record, picked by entry
// number.
constexpr bool hasEntries(int table) { return table == 2 || table == 4; }

// The highest entry number CPdbTb2 and CPdbTb4 accept:
// CPU specification value 0, and at least 16 under OS types 4 and 5.
int pdbEntryBound(std::int32_t specValue0, short osType);

// The range of a field type's values.
std::int64_t lowestOf(FieldType type);
std::int64_t highestOf(FieldType type);
std::uint32_t widthOf(FieldType type);

}  // namespace zel::tool

#endif
