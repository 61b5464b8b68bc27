// Result codes of every public member, in the library's own names for the
// public constants.
#ifndef ZEL_ACCESSOR_RESULT_CODES_H
#define ZEL_ACCESSOR_RESULT_CODES_H

#include <ZelComFuncDbaseResults.h>

#include <cstdint>

#include "platform/file_cause.h"

namespace zel {

constexpr short kOk = ZEL_OK;
// A selector out of range, an entry not present, or no database file name
// for the CPU code and OS type.
constexpr short kRefused = ZEL_REFUSED;
// The requested item is marked absent in the item map for this CPU.
constexpr short kAbsent = ZEL_ABSENT;

// A failure between opening and closing a database file ends the call with
// ZEL_FILE_ERROR (100) + the file layer's cause, formed in 16 bits.
constexpr short fileFailureResult(Cause cause) {
    return static_cast<short>(
        static_cast<std::uint16_t>(unsigned{ZEL_FILE_ERROR} + static_cast<unsigned>(cause)));
}

}  // namespace zel

#endif
