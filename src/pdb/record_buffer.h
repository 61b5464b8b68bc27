// The 16-byte buffer that one JQWDB record is read into, and the fields taken
// from it. Every multi-byte field is stored least significant byte first; the
// field offsets are checked against the buffer size when the code is compiled.
#ifndef ZEL_PDB_RECORD_BUFFER_H
#define ZEL_PDB_RECORD_BUFFER_H

#include <cstdint>

#include "format/bytes.h"
#include "format/jqwdb_tables.h"

namespace zel {

struct RecordBuffer {
    unsigned char bytes[kRecordBufferBytes] = {};

    // Signed 32-bit value at record bytes At..At+3, the stored bits unchanged.
    template <std::uint32_t At>
    std::int32_t value32() const {
        static_assert(At + 4 <= kRecordBufferBytes, "field beyond the record buffer");
        return asSigned32(loadLE32(bytes + At));
    }

    // Signed 16-bit value at record bytes At..At+1, the stored bits unchanged.
    template <std::uint32_t At>
    short word16() const {
        static_assert(At + 2 <= kRecordBufferBytes, "field beyond the record buffer");
        return asSigned16(loadLE16(bytes + At));
    }

    // The signed byte at record byte At, widened with its sign (0xFF gives -1).
    template <std::uint32_t At>
    short attr8() const {
        static_assert(At < kRecordBufferBytes, "field beyond the record buffer");
        return asSigned8(bytes[At]);
    }
};

}  // namespace zel

#endif
