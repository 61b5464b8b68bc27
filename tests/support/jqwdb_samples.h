// JQWDB descriptions and the calls that read them, shared by the tests.
#ifndef ZEL_TESTS_SUPPORT_JQWDB_SAMPLES_H
#define ZEL_TESTS_SUPPORT_JQWDB_SAMPLES_H

#include <ZelComFuncDbase.h>

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <tuple>
#include <vector>

#include "tests/support/osdb_samples.h"
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

inline writer::Bytes bytesOf(std::initializer_list<unsigned> values) {
    writer::Bytes b;
    for (unsigned v : values) b.push_back(static_cast<std::uint8_t>(v));
    return b;
}

// A record of n bytes whose byte j is 0xA0 + 16 * i + j, so that the bytes of
// record i are told apart from those of every other record (and the header).
inline writer::Bytes patternRecord(unsigned i, std::uint32_t n) {
    writer::Bytes b(n);
    for (std::uint32_t j = 0; j < n; ++j) b[j] = static_cast<std::uint8_t>(0xA0 + 16 * i + j);
    return b;
}

// A table of `count` pattern records of `recordBytes` bytes at the stride
// `recordSize`.
inline writer::JqwdbTable patternTable(std::int32_t lastIndex, std::int32_t recordSize,
                                       unsigned count, std::uint32_t recordBytes) {
    writer::JqwdbTable t;
    t.lastIndex = lastIndex;
    t.recordSize = recordSize;
    for (unsigned i = 0; i < count; ++i) t.records.push_back(patternRecord(i, recordBytes));
    return t;
}

inline writer::JqwdbLayout oneTable(unsigned number, const writer::JqwdbTable& table) {
    writer::JqwdbLayout layout;
    layout.tables[number] = table;
    return layout;
}

// Writes the JQWDB file of the CPU code and OS type (by default those of
// kModel and kOsNumber); the placement of its tables.
inline writer::Placement writeJqwdb(const TempDir& dir, const writer::JqwdbLayout& layout,
                                    short cpuCode = kCpuCode, short osType = kOsType) {
    writer::Placement where;
    dir.write(writer::jqwdbFileName(cpuCode, osType), writer::buildJqwdb(layout, &where));
    return where;
}

// The OSDB file whose CPU specification value 0 bounds the entry numbers of
// tables 2 and 4.
inline void writeOsdbWithValue0(const TempDir& dir, std::int32_t value0, short cpuCode = kCpuCode,
                                short osType = kOsType) {
    std::int32_t values[6] = {value0, 3, 1234, -5, 100, -2};
    dir.write(writer::osdbFileName(cpuCode, osType), osdbBytes(cpuSpecLayout(values), cpuCode));
}

// The fields of the output records, in order, for comparison and printing.
inline auto fields(const PdbJAd& r) {
    return std::make_tuple(r.value1, r.value2, r.word1, r.word2, r.attr1, r.attr2, r.word3);
}
inline auto fields(const PdbCAd& r) {
    return std::make_tuple(r.value1, r.value2, r.word1, r.attr1, r.attr2, r.word2);
}
inline auto fields(const PdbWD& r) { return std::make_tuple(r.number, r.kind, r.extra); }
inline auto fields(const PdbBD& r) { return std::make_tuple(r.number, r.kind); }
inline auto fields(const PdbAnyWD& r) {
    return std::make_tuple(r.value1, r.word1, r.word2, r.attr1);
}
inline auto fields(const PdbAnyBD& r) {
    return std::make_tuple(r.value1, r.word1, r.attr1, r.attr2, r.attr3);
}
inline auto fields(const PdbAnyPBD& r) {
    return std::make_tuple(r.value1, r.word1, r.attr1, r.attr2, r.attr3, r.attr4);
}
inline auto fields(const ZelLong& v) { return std::make_tuple(v); }  // a single value
inline auto fields(const PdbBkup& r) {
    return std::make_tuple(r.value1, r.value2, r.attr1, r.attr2, r.attr3, r.attr4, r.attr5);
}

// An output record whose every byte is 0x5A, to tell an untouched one.
template <class Out>
Out sentinel() {
    Out out{};
    std::memset(static_cast<void*>(&out), 0x5A, sizeof out);
    return out;
}

template <class Out>
bool untouched(const Out& out) {
    return fields(out) == fields(sentinel<Out>());
}

// The answer of one table's entry point, whatever its output record: the
// result code, whether the output kept its sentinel, and its fields as
// numbers.
struct TableAnswer {
    short result = 0;
    bool untouched = true;
    std::vector<std::int64_t> fields;
};

template <class Out>
TableAnswer answerOf(short result, const Out& out) {
    TableAnswer a;
    a.result = result;
    a.untouched = untouched(out);
    std::apply([&](auto... f) { a.fields = {static_cast<std::int64_t>(f)...}; }, fields(out));
    return a;
}

template <class Out, class Call>
TableAnswer callWith(Call call) {
    Out out = sentinel<Out>();
    const short result = call(&out);
    return answerOf(result, out);
}

// Calls CPdbTb<table> (entry number `entry` for tables 2 and 4).
inline TableAnswer readTable(CZelComFuncDbase& db, int table, short index, short entry = 1,
                             short model = kModel, short osNumber = kOsNumber) {
    const short m = model, n = osNumber, i = index, e = entry;
    switch (table) {
        case 0:
            return callWith<PdbJAd>([&](PdbJAd* o) { return db.CPdbTb0(m, n, i, o); });
        case 1:
            return callWith<PdbCAd>([&](PdbCAd* o) { return db.CPdbTb1(m, n, i, o); });
        case 2:
            return callWith<PdbWD>([&](PdbWD* o) { return db.CPdbTb2(m, n, i, e, o); });
        case 3:
            return callWith<PdbWD>([&](PdbWD* o) { return db.CPdbTb3(m, n, i, o); });
        case 4:
            return callWith<PdbBD>([&](PdbBD* o) { return db.CPdbTb4(m, n, i, e, o); });
        case 5:
            return callWith<PdbBD>([&](PdbBD* o) { return db.CPdbTb5(m, n, i, o); });
        case 6:
            return callWith<PdbAnyWD>([&](PdbAnyWD* o) { return db.CPdbTb6(m, n, i, o); });
        case 7:
            return callWith<PdbAnyBD>([&](PdbAnyBD* o) { return db.CPdbTb7(m, n, i, o); });
        case 8:
            return callWith<PdbAnyWD>([&](PdbAnyWD* o) { return db.CPdbTb8(m, n, i, o); });
        case 9:
            return callWith<PdbAnyPBD>([&](PdbAnyPBD* o) { return db.CPdbTb9(m, n, i, o); });
        default:
            return callWith<PdbBkup>([&](PdbBkup* o) { return db.CPdbTb10(m, n, i, o); });
    }
}

}  // namespace zel::testing

#endif
