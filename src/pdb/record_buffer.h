// The 16-byte buffer that one JQWDB record is read into, and the decoding of
// an output record from it by a record layout (format/jqwdb_tables.h): each
// field of the output record, in order, from the record bytes its layout
// entry names. Every multi-byte field is stored least significant byte first.
#ifndef ZEL_PDB_RECORD_BUFFER_H
#define ZEL_PDB_RECORD_BUFFER_H

#include <cstddef>
#include <cstdint>

#include "format/bytes.h"
#include "format/jqwdb_tables.h"

namespace zel {

struct RecordBuffer {
    unsigned char bytes[kRecordBufferBytes] = {};
};

// The value of one field; splitValue is what a table 10 tail item's
// splitValue field takes.
inline std::int64_t fieldValue(const unsigned char* bytes, const RecordField& field,
                               short splitValue) {
    const unsigned char* at = bytes + field.offset;
    switch (field.type) {
        case FieldType::signed32:
            return asSigned32(loadLE32(at));
        case FieldType::signed16:
            return asSigned16(loadLE16(at));
        case FieldType::unsigned16:
            return loadLE16(at);
        case FieldType::signed8:
            return asSigned8(*at);
        case FieldType::unsigned8:
            return *at;
        case FieldType::splitValue:
            return splitValue;
        case FieldType::missing:
            break;
    }
    return -1;
}

// Stores the output record that the first `Count` fields of a layout
// (format/jqwdb_tables.h) decode into the caller's record member by member,
// so bytes between and after the members (padding) keep what the caller held
// instead of receiving whatever the stack held. The structured binding of
// each arity also checks that the layout names every member.
template <class T>
void setMember(T& member, std::int64_t value) {
    member = static_cast<T>(value);
}
template <class Out, std::size_t Count>
void storeDecodedRecord(Out* out, const unsigned char* bytes, const RecordField* fields,
                        short splitValue = -1) {
    const auto v = [&](std::size_t i) { return fieldValue(bytes, fields[i], splitValue); };
    Out& o = *out;
    if constexpr (Count == 2) {
        auto& [a, b] = o;
        setMember(a, v(0)), setMember(b, v(1));
    } else if constexpr (Count == 3) {
        auto& [a, b, c] = o;
        setMember(a, v(0)), setMember(b, v(1)), setMember(c, v(2));
    } else if constexpr (Count == 4) {
        auto& [a, b, c, d] = o;
        setMember(a, v(0)), setMember(b, v(1)), setMember(c, v(2)), setMember(d, v(3));
    } else if constexpr (Count == 5) {
        auto& [a, b, c, d, e] = o;
        setMember(a, v(0)), setMember(b, v(1)), setMember(c, v(2)), setMember(d, v(3));
        setMember(e, v(4));
    } else if constexpr (Count == 6) {
        auto& [a, b, c, d, e, f] = o;
        setMember(a, v(0)), setMember(b, v(1)), setMember(c, v(2)), setMember(d, v(3));
        setMember(e, v(4)), setMember(f, v(5));
    } else {
        static_assert(Count == 7, "output records have 2 to 7 members");
        auto& [a, b, c, d, e, f, g] = o;
        setMember(a, v(0)), setMember(b, v(1)), setMember(c, v(2)), setMember(d, v(3));
        setMember(e, v(4)), setMember(f, v(5)), setMember(g, v(6));
    }
}

}  // namespace zel

#endif
