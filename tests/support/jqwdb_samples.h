// JQWDB descriptions and the calls that read them, shared by the tests.
#ifndef ZEL_TESTS_SUPPORT_JQWDB_SAMPLES_H
#define ZEL_TESTS_SUPPORT_JQWDB_SAMPLES_H

#include <ZelComFuncDbase.h>

#include <cstdint>
#include <vector>

#include "tests/support/database_names.h"
#include "tests/support/member_call.h"
#include "tests/support/temp_dir.h"
#include "writer/db_writer.h"

namespace zel::testing {

// Model index 1 with OS number 1 is CPU code 2 under OS type 0, whose OSDB
// file stores its values most significant byte first; its JQWDB file is read
// least significant byte first all the same.
constexpr short kModel = 1;
constexpr short kOsNumber = 1;
constexpr short kCpuCode = 2;
constexpr short kOsType = 0;

// `count` records of `recordBytes` bytes at the stride `recordSize`; byte j of
// record i is 0xA0 + 16 * i + j, told apart from every other record's bytes.
inline writer::JqwdbTable patternTable(std::int32_t lastIndex, std::int32_t recordSize,
                                       unsigned count, std::uint32_t recordBytes) {
    writer::JqwdbTable t;
    t.lastIndex = lastIndex;
    t.recordSize = recordSize;
    for (unsigned i = 0; i < count; ++i) {
        t.records.emplace_back(recordBytes);
        for (std::uint32_t j = 0; j < recordBytes; ++j)
            t.records[i][j] = static_cast<std::uint8_t>(0xA0 + 16 * i + j);
    }
    return t;
}

inline writer::JqwdbLayout oneTable(unsigned number, const writer::JqwdbTable& table) {
    writer::JqwdbLayout layout;
    layout.tables[number] = table;
    return layout;
}

// A field of an output record where the record stores it: `width` bytes (1,
// 2 or 4) from byte `offset`, least significant first, taken as signed.
struct FieldPlace {
    std::uint32_t offset, width;
};

// The fields of PdbJAd, PdbCAd, PdbAnyWD, PdbAnyBD, PdbAnyPBD and the head
// items of PdbBkup in their records, by table (none for tables 2 to 5).
inline const std::vector<FieldPlace> kRecordPlaces[11] = {
    {{0, 4}, {4, 4}, {8, 2}, {10, 2}, {12, 1}, {13, 1}, {14, 2}},
    {{0, 4}, {4, 4}, {8, 2}, {10, 1}, {11, 1}, {12, 2}},
    {},
    {},
    {},
    {},
    {{0, 4}, {4, 2}, {6, 2}, {8, 1}},
    {{0, 4}, {4, 2}, {6, 1}, {7, 1}, {8, 1}},
    {{0, 4}, {4, 2}, {6, 2}, {8, 1}},
    {{0, 4}, {4, 2}, {6, 1}, {7, 1}, {8, 1}, {9, 1}},
    {{4, 4}, {8, 4}, {0, 1}, {1, 1}, {2, 1}, {12, 1}, {13, 1}},
};

// The fields at `places` of a record, as a reader of records of `recordSize`
// bytes delivers them: bytes at or past the record size read as 0.
inline std::vector<std::int64_t> fieldsAt(const writer::Bytes& record, std::uint32_t recordSize,
                                          const std::vector<FieldPlace>& places) {
    std::vector<std::int64_t> fields;
    for (const FieldPlace& p : places) {
        std::uint32_t value = 0;
        for (std::uint32_t k = 0; k < p.width; ++k) {
            const std::uint32_t at = p.offset + k;
            if (at < recordSize && at < record.size())
                value |= std::uint32_t{record[at]} << (8 * k);
        }
        const std::int64_t sign = std::int64_t{1} << (8 * p.width - 1);
        fields.push_back((std::int64_t{value} ^ sign) - sign);
    }
    return fields;
}

// Writes the JQWDB file of a CPU code and OS type; the placement of its tables.
inline writer::Placement writeJqwdb(const TempDir& dir, const writer::JqwdbLayout& layout,
                                    short cpuCode = kCpuCode, short osType = kOsType) {
    writer::Placement where;
    dir.write(jqwdbFileName(cpuCode, osType), writer::buildJqwdb(layout, &where));
    return where;
}

// The OSDB file whose CPU specification value 0 bounds the entry numbers of
// tables 2 and 4, less its last `cut` bytes.
inline void writeOsdbWithValue0(const TempDir& dir, std::int32_t value0, short cpuCode = kCpuCode,
                                short osType = kOsType, std::size_t cut = 0) {
    const std::int32_t values[6] = {value0, 3, 1234, -5, 100, -2};
    writer::OsdbLayout layout;
    writer::setCpuSpecValues(layout, values);
    writer::Bytes file = writer::buildOsdb(layout, osdbByteOrder(cpuCode));
    file.resize(file.size() - cut);
    dir.write(osdbFileName(cpuCode, osType), file);
}

// Calls CPdbTb<table> (entry number `entry` for tables 2 and 4).
inline TableAnswer readTable(CZelComFuncDbase& db, int table, short index, short entry = 1,
                             short model = kModel, short osNumber = kOsNumber) {
    return answer(db,
                  {static_cast<ZelMember>(ZEL_CPdbTb0 + table), model, osNumber, index, entry, 0});
}

}  // namespace zel::testing

#endif
