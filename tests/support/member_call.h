// Any public member called on an accessor from its description
// (tests/support/members.h), and its answer in a form that tests compare.
#ifndef ZEL_TESTS_SUPPORT_MEMBER_CALL_H
#define ZEL_TESTS_SUPPORT_MEMBER_CALL_H

#include <ZelComFuncDbase.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <tuple>
#include <utility>
#include <vector>

#include "tests/support/members.h"

namespace zel::testing {

// The fields of each output, in order, for comparison.
#define ZEL_TUPLE_OF_FIELD(Record, field) std::make_tuple(r.field),
#define ZEL_FIELDS_OF_RECORD(Record, output)                                             \
    inline auto fields(const Record& r) {                                                \
        return std::tuple_cat(ZEL_##Record##_FIELDS(ZEL_TUPLE_OF_FIELD) std::tuple<>()); \
    }
ZEL_RECORDS(ZEL_FIELDS_OF_RECORD)
#undef ZEL_FIELDS_OF_RECORD
#undef ZEL_TUPLE_OF_FIELD
inline auto fields(const ZelLong& v) { return std::make_tuple(v); }
template <class T, std::size_t... I>
auto tupleOf(const T* values, std::index_sequence<I...>) {
    return std::make_tuple(values[I]...);
}
template <class T, std::size_t N>
auto fields(const T (&values)[N]) {
    return tupleOf(values, std::make_index_sequence<N>{});
}

// Calls the member that `call` names on the library's accessor or on its slow
// twin's (tests/plain); its result code.
template <class Db>
short callMember(Db& db, const ZelCall& call, ZelOutput* o) {
    const short a = call.first, b = call.second, c = call.third, d = call.fourth;
    const ZelLong v = call.value;
    switch (call.member) {
#define ZEL_CALL_MEMBER(member, output, arguments) \
    case ZEL_##member:                             \
        return db.member arguments;
        ZEL_MEMBERS(ZEL_CALL_MEMBER)
#undef ZEL_CALL_MEMBER
        case ZEL_MEMBER_COUNT:
            break;
    }
    return -32768;
}

// The bytes of ZelOutput that a member writes into: the size of its record.
inline std::size_t outputSize(ZelMember member) {
    switch (member) {
#define ZEL_OUTPUT_SIZE(member, output, arguments) \
    case ZEL_##member:                             \
        return sizeof(ZelOutput::output);
        ZEL_MEMBERS(ZEL_OUTPUT_SIZE)
#undef ZEL_OUTPUT_SIZE
        case ZEL_MEMBER_COUNT:
            break;
    }
    return 0;
}

// A call's answer, whatever its output: the result code, whether the output
// kept its sentinel (every byte 0x5A) and its fields as numbers.
struct TableAnswer {
    short result = 0;
    bool untouched = true;
    std::vector<std::int64_t> fields;
};

template <class Out>
void noteOutput(TableAnswer& a, const Out& out, const Out& sentinel) {
    a.untouched = fields(out) == fields(sentinel);
    std::apply([&](auto... f) { a.fields = {static_cast<std::int64_t>(f)...}; }, fields(out));
}

// The answer of callInto(ZelOutput*), a call of `member` however made.
template <class CallInto>
TableAnswer answerWith(ZelMember member, CallInto callInto) {
    ZelOutput sentinel, out;
    std::memset(static_cast<void*>(&sentinel), 0x5A, sizeof sentinel);
    std::memcpy(static_cast<void*>(&out), &sentinel, sizeof out);
    TableAnswer a;
    a.result = callInto(&out);
    switch (member) {
#define ZEL_NOTE_OUTPUT(member, output, arguments)  \
    case ZEL_##member:                              \
        noteOutput(a, out.output, sentinel.output); \
        break;
        ZEL_MEMBERS(ZEL_NOTE_OUTPUT)
#undef ZEL_NOTE_OUTPUT
        case ZEL_MEMBER_COUNT:
            break;
    }
    return a;
}

template <class Db>
TableAnswer answer(Db& db, const ZelCall& call) {
    return answerWith(call.member, [&](ZelOutput* o) { return callMember(db, call, o); });
}

}  // namespace zel::testing

#endif
