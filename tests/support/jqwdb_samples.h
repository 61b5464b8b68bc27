// JQWDB descriptions and the calls that read them, shared by the tests.
#ifndef ZEL_TESTS_SUPPORT_JQWDB_SAMPLES_H
#define ZEL_TESTS_SUPPORT_JQWDB_SAMPLES_H

#include <ZelComFuncDbase.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <tuple>
#include <vector>

#include "tests/support/database_names.h"
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

// The fields of the output records, in order, for comparison.
inline auto fields(const PdbJAd& r) {
    return std::tuple(r.value1, r.value2, r.word1, r.word2, r.attr1, r.attr2, r.word3);
}
inline auto fields(const PdbCAd& r) {
    return std::tuple(r.value1, r.value2, r.word1, r.attr1, r.attr2, r.word2);
}
inline auto fields(const PdbWD& r) { return std::tuple(r.number, r.kind, r.extra); }
inline auto fields(const PdbBD& r) { return std::tuple(r.number, r.kind); }
inline auto fields(const PdbAnyWD& r) { return std::tuple(r.value1, r.word1, r.word2, r.attr1); }
inline auto fields(const PdbAnyBD& r) {
    return std::tuple(r.value1, r.word1, r.attr1, r.attr2, r.attr3);
}
inline auto fields(const PdbAnyPBD& r) {
    return std::tuple(r.value1, r.word1, r.attr1, r.attr2, r.attr3, r.attr4);
}
inline auto fields(const PdbBkup& r) {
    return std::tuple(r.value1, r.value2, r.attr1, r.attr2, r.attr3, r.attr4, r.attr5);
}
inline auto fields(const ZelLong& v) { return std::tuple(v); }
inline auto fields(const DbAd& r) { return std::tuple(r.address, r.headWord); }
inline auto fields(const DbBAd& r) { return std::tuple(r.address, r.bitMask); }
using CpuValues = std::array<ZelLong, 6>;  // the CPU specification values
inline const CpuValues& fields(const CpuValues& v) { return v; }

// A call's answer, whatever its output: the result code, whether the output
// kept its sentinel (every byte 0x5A) and its fields as numbers.
struct TableAnswer {
    short result = 0;
    bool untouched = true;
    std::vector<std::int64_t> fields;
};

template <class Out, class Call>
TableAnswer callWith(Call call) {
    Out sentinel, out;
    std::memset(static_cast<void*>(&sentinel), 0x5A, sizeof sentinel);
    std::memcpy(static_cast<void*>(&out), &sentinel, sizeof out);
    TableAnswer a;
    a.result = call(&out);
    a.untouched = fields(out) == fields(sentinel);
    std::apply([&](auto... f) { a.fields = {static_cast<std::int64_t>(f)...}; }, fields(out));
    return a;
}

// Calls CPdbTb<table> (entry number `entry` for tables 2 and 4).
inline TableAnswer readTable(CZelComFuncDbase& db, int table, short index, short entry = 1,
                             short model = kModel, short osNumber = kOsNumber) {
    const short m = model, n = osNumber, i = index, e = entry;
    if (table == 0) return callWith<PdbJAd>([&](auto* o) { return db.CPdbTb0(m, n, i, o); });
    if (table == 1) return callWith<PdbCAd>([&](auto* o) { return db.CPdbTb1(m, n, i, o); });
    if (table == 2) return callWith<PdbWD>([&](auto* o) { return db.CPdbTb2(m, n, i, e, o); });
    if (table == 3) return callWith<PdbWD>([&](auto* o) { return db.CPdbTb3(m, n, i, o); });
    if (table == 4) return callWith<PdbBD>([&](auto* o) { return db.CPdbTb4(m, n, i, e, o); });
    if (table == 5) return callWith<PdbBD>([&](auto* o) { return db.CPdbTb5(m, n, i, o); });
    if (table == 6) return callWith<PdbAnyWD>([&](auto* o) { return db.CPdbTb6(m, n, i, o); });
    if (table == 7) return callWith<PdbAnyBD>([&](auto* o) { return db.CPdbTb7(m, n, i, o); });
    if (table == 8) return callWith<PdbAnyWD>([&](auto* o) { return db.CPdbTb8(m, n, i, o); });
    if (table == 9) return callWith<PdbAnyPBD>([&](auto* o) { return db.CPdbTb9(m, n, i, o); });
    return callWith<PdbBkup>([&](auto* o) { return db.CPdbTb10(m, n, i, o); });
}

}  // namespace zel::testing

#endif
