/* ZelComFuncDbase result codes: the 16-bit value every member of
 * CZelComFuncDbase and every zel_ function returns, by name, and their texts.
 * Plain C99, included by the C++ interface (ZelComFuncDbase.h) and the C
 * interface (ZelComFuncDbaseC.h).
 *
 * A failure of the file layer between opening and closing a database file
 * gives ZEL_FILE_ERROR + the layer's cause code (0..14); the names below
 * carry the cause. Each enumerator's comment begins with its text as
 * zel_result_text gives it. */
#ifndef ZELCOMFUNCDBASE_RESULTS_H
#define ZELCOMFUNCDBASE_RESULTS_H

#include "ZelComFuncDbaseRecords.h"

#ifdef __cplusplus
extern "C" {
/* In C++ the constants have the type of the result, short. */
enum ZelResult : short {
#else
enum ZelResult {
#endif
    ZEL_OK = 0,       /* "ok": success, the output has been written */
    ZEL_REFUSED = -1, /* "refused": a selector is out of range, an entry is not
                         present, or no database file exists for the CPU code
                         and OS type */
    ZEL_ABSENT = -2,  /* "absent": the item is marked absent for this CPU */

    ZEL_FILE_ERROR = 100,               /* "file error": cause 0, none given */
    ZEL_FILE_GENERIC = 101,             /* "generic file error" */
    ZEL_FILE_NOT_FOUND = 102,           /* "file not found": missing or not a
                                           regular file */
    ZEL_FILE_BAD_PATH = 103,            /* "bad path" */
    ZEL_FILE_TOO_MANY_OPEN_FILES = 104, /* "too many open files" */
    ZEL_FILE_ACCESS_DENIED = 105,       /* "access denied" */
    ZEL_FILE_INVALID_FILE = 106,        /* "invalid file" */
    ZEL_FILE_REMOVE_CURRENT_DIR = 107,  /* "cannot remove the current directory" */
    ZEL_FILE_DIRECTORY_FULL = 108,      /* "directory full" */
    ZEL_FILE_BAD_SEEK = 109,            /* "bad seek": an offset in the file
                                           points before its start */
    ZEL_FILE_HARD_IO = 110,             /* "hard I/O error" */
    ZEL_FILE_SHARING_VIOLATION = 111,   /* "sharing violation" */
    ZEL_FILE_LOCK_VIOLATION = 112,      /* "lock violation" */
    ZEL_FILE_DISK_FULL = 113,           /* "disk full" */
    ZEL_FILE_END_OF_FILE = 114          /* "end of file": the file ends inside
                                           a field the call needs */
};

/* A short stable English text for a result code ("ok", "refused", "file not
 * found", ...); "unknown result" for a value that is none of the above.
 * Never NULL; a static string. */
ZELCOMFUNCDBASE_API const char* ZELCOMFUNCDBASE_CALL zel_result_text(short code);

#ifdef __cplusplus
}
#endif

#endif /* ZELCOMFUNCDBASE_RESULTS_H */
