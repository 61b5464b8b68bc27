// The causes of a file layer failure, numbered as the public result codes
// ZEL_FILE_ERROR + cause name them.
#ifndef ZEL_PLATFORM_FILE_CAUSE_H
#define ZEL_PLATFORM_FILE_CAUSE_H

#include <ZelComFuncDbaseResults.h>

#include <cstdint>

namespace zel {

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

}  // namespace zel

#endif
