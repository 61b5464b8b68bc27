// Result codes of every public member and the file layer's failure causes,
// in the library's own names for the public constants.
#ifndef ZEL_ACCESSOR_RESULT_CODES_H
#define ZEL_ACCESSOR_RESULT_CODES_H

#include <ZelComFuncDbaseResults.h>

#include <cstdint>

namespace zel {

constexpr short kOk = ZEL_OK;
// A selector out of range, an entry not present, or no database file name
// for the CPU code and OS type.
constexpr short kRefused = ZEL_REFUSED;
// The requested item is marked absent in the item map for this CPU.
constexpr short kAbsent = ZEL_ABSENT;

// Failure causes of the file layer. A failure between opening and closing a
// database file ends the call with ZEL_FILE_ERROR (100) + cause.
enum class Cause : std::uint16_t {
    none = ZEL_FILE_ERROR - ZEL_FILE_ERROR,
    genericException = ZEL_FILE_GENERIC - ZEL_FILE_ERROR,
    fileNotFound = ZEL_FILE_NOT_FOUND - ZEL_FILE_ERROR,
    badPath = ZEL_FILE_BAD_PATH - ZEL_FILE_ERROR,
    tooManyOpenFiles = ZEL_FILE_TOO_MANY_OPEN_FILES - ZEL_FILE_ERROR,
    accessDenied = ZEL_FILE_ACCESS_DENIED - ZEL_FILE_ERROR,
    invalidFile = ZEL_FILE_INVALID_FILE - ZEL_FILE_ERROR,
    removeCurrentDir = ZEL_FILE_REMOVE_CURRENT_DIR - ZEL_FILE_ERROR,
    directoryFull = ZEL_FILE_DIRECTORY_FULL - ZEL_FILE_ERROR,
    badSeek = ZEL_FILE_BAD_SEEK - ZEL_FILE_ERROR,
    hardIO = ZEL_FILE_HARD_IO - ZEL_FILE_ERROR,
    sharingViolation = ZEL_FILE_SHARING_VIOLATION - ZEL_FILE_ERROR,
    lockViolation = ZEL_FILE_LOCK_VIOLATION - ZEL_FILE_ERROR,
    diskFull = ZEL_FILE_DISK_FULL - ZEL_FILE_ERROR,
    endOfFile = ZEL_FILE_END_OF_FILE - ZEL_FILE_ERROR,
};

// 100 + cause, formed in 16 bits.
constexpr short fileFailureResult(Cause cause) {
    return static_cast<short>(
        static_cast<std::uint16_t>(unsigned{ZEL_FILE_ERROR} + static_cast<unsigned>(cause)));
}

}  // namespace zel

#endif
