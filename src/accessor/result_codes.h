// Result codes of every public member and the file layer's failure causes.
#ifndef ZEL_ACCESSOR_RESULT_CODES_H
#define ZEL_ACCESSOR_RESULT_CODES_H

#include <cstdint>

namespace zel {

constexpr short kOk = 0;
// A selector out of range, an entry not present, or no database file name
// for the CPU code and OS type.
constexpr short kRefused = -1;
// The requested item is marked absent in the item map for this CPU.
constexpr short kAbsent = -2;

// Failure causes of the file layer. A failure between opening and closing a
// database file ends the call with 100 + cause.
enum class Cause : std::uint16_t {
    none = 0,
    genericException = 1,
    fileNotFound = 2,
    badPath = 3,
    tooManyOpenFiles = 4,
    accessDenied = 5,
    invalidFile = 6,
    removeCurrentDir = 7,
    directoryFull = 8,
    badSeek = 9,
    hardIO = 10,
    sharingViolation = 11,
    lockViolation = 12,
    diskFull = 13,
    endOfFile = 14,
};

// 100 + cause, formed in 16 bits.
constexpr short fileFailureResult(Cause cause) {
    return static_cast<short>(static_cast<std::uint16_t>(100u + static_cast<unsigned>(cause)));
}

}  // namespace zel

#endif
