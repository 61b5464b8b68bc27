/* ZelComFuncDbase, C interface: the members of CZelComFuncDbase as plain C
 * functions of the same shared library / DLL, for hosts built with any
 * compiler and for any language with a foreign-function interface.
 *
 * A host opens one ZelDb per database directory and calls zel_<member> with
 * the accessor first and then the member's arguments, in the member's order
 * and types. Each function returns exactly what the member returns and
 * writes exactly what it writes: ZEL_OK (0) with the output written, ZEL_REFUSED
 * (-1), ZEL_ABSENT (-2) or ZEL_FILE_ERROR + cause (100..114), named and put
 * into words (zel_result_text) in ZelComFuncDbaseResults.h.
 * Outputs are left untouched on failure, except that zel_CpuSpec writes each
 * value as soon as it has read it, zel_CDbCpuOsType writes the CPU code before
 * it checks the OS number, and zel_CDbTbMem and zel_GetPdbTb10ItemCount store
 * their value before they close the file.
 *
 * Two results exist only here: a NULL accessor gives -1 with nothing written,
 * and a failure that the C++ class would throw (memory exhausted) gives 101.
 * Nothing is thrown across this interface, no C++ type crosses it and the
 * library allocates nothing that the caller must free but the ZelDb itself.
 * One ZelDb may be used by several threads at once. */
#ifndef ZELCOMFUNCDBASEC_H
#define ZELCOMFUNCDBASEC_H

#include "ZelComFuncDbaseRecords.h"
#include "ZelComFuncDbaseResults.h"

#ifdef _WIN32
#include <stddef.h> /* wchar_t in C */
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* An accessor for one database directory. */
typedef struct ZelDb ZelDb;

/* Opens an accessor on a directory given as a NUL-terminated UTF-16 path
 * (a backslash is appended unless the path ends in one). No file is touched
 * here; a missing directory shows as 102 on the first call that reads a file.
 * A NULL path is the empty directory, as for the C++ class. NULL only when
 * memory runs out. */
ZELCOMFUNCDBASE_API ZelDb* ZELCOMFUNCDBASE_CALL zel_open(const unsigned short* utf16Directory);
/* The same from a NUL-terminated UTF-8 path. */
ZELCOMFUNCDBASE_API ZelDb* ZELCOMFUNCDBASE_CALL zel_open_utf8(const char* utf8Directory);
#ifdef _WIN32
/* The same from a wchar_t path, on Windows only, where wchar_t is a UTF-16
 * unit: zel_open_w(L"C:\\db") needs no cast. */
ZELCOMFUNCDBASE_API ZelDb* ZELCOMFUNCDBASE_CALL zel_open_w(const wchar_t* directory);
#endif
/* Releases an accessor; NULL is allowed. */
ZELCOMFUNCDBASE_API void ZELCOMFUNCDBASE_CALL zel_close(ZelDb* db);
/* A second accessor on the same directory; NULL when memory runs out or db
 * is NULL. */
ZELCOMFUNCDBASE_API ZelDb* ZELCOMFUNCDBASE_CALL zel_copy(const ZelDb* db);

/* The library's version, "MAJOR.MINOR.PATCH"; a static string. */
ZELCOMFUNCDBASE_API const char* ZELCOMFUNCDBASE_CALL zel_version(void);

/* Model index (0..47) -> CPU code, OS number (1..7) -> OS type; no file. */
ZELCOMFUNCDBASE_API short ZELCOMFUNCDBASE_CALL zel_CDbCpuOsType(ZelDb* db, short* cpuCode,
                                                                short* osType, short modelIndex,
                                                                short osNumber);
/* The six CPU specification values; every failure is folded into -1. */
ZELCOMFUNCDBASE_API short ZELCOMFUNCDBASE_CALL zel_CDbCpuSpec(ZelDb* db, short modelIndex,
                                                              short osNumber, ZelLong* values);
/* The six CPU specification values by internal CPU code and OS type. */
ZELCOMFUNCDBASE_API short ZELCOMFUNCDBASE_CALL zel_CpuSpec(ZelDb* db, short cpuCode, short osType,
                                                           ZelLong* values);

/* Word addresses (tables 2, 3), bit addresses (tables 4, 5) and memory table
 * values of the OSDB file. */
ZELCOMFUNCDBASE_API short ZELCOMFUNCDBASE_CALL zel_CDbTb2(ZelDb* db, short modelIndex,
                                                          short osNumber, short item, short entry,
                                                          DbAd* out);
ZELCOMFUNCDBASE_API short ZELCOMFUNCDBASE_CALL zel_CDbTb3(ZelDb* db, short modelIndex,
                                                          short osNumber, short item, DbAd* out);
ZELCOMFUNCDBASE_API short ZELCOMFUNCDBASE_CALL zel_CDbTb4(ZelDb* db, short modelIndex,
                                                          short osNumber, short item, short entry,
                                                          DbBAd* out);
ZELCOMFUNCDBASE_API short ZELCOMFUNCDBASE_CALL zel_CDbTb5(ZelDb* db, short modelIndex,
                                                          short osNumber, short item, DbBAd* out);
ZELCOMFUNCDBASE_API short ZELCOMFUNCDBASE_CALL zel_CDbTbMem(ZelDb* db, short modelIndex,
                                                            short osNumber, short memoryKind,
                                                            short memoryIndex, ZelLong* out);

/* Parameter memory pass-through, the records of JQWDB tables 0 to 10 and the
 * item count of table 10. */
ZELCOMFUNCDBASE_API short ZELCOMFUNCDBASE_CALL zel_CPdbPMem(ZelDb* db, short modelIndex,
                                                            short osNumber, short selector,
                                                            ZelLong value, ZelLong* out);
ZELCOMFUNCDBASE_API short ZELCOMFUNCDBASE_CALL zel_CPdbTb0(ZelDb* db, short modelIndex,
                                                           short osNumber, short index,
                                                           PdbJAd* out);
ZELCOMFUNCDBASE_API short ZELCOMFUNCDBASE_CALL zel_CPdbTb1(ZelDb* db, short modelIndex,
                                                           short osNumber, short index,
                                                           PdbCAd* out);
ZELCOMFUNCDBASE_API short ZELCOMFUNCDBASE_CALL zel_CPdbTb2(ZelDb* db, short modelIndex,
                                                           short osNumber, short index, short entry,
                                                           PdbWD* out);
ZELCOMFUNCDBASE_API short ZELCOMFUNCDBASE_CALL zel_CPdbTb3(ZelDb* db, short modelIndex,
                                                           short osNumber, short index, PdbWD* out);
ZELCOMFUNCDBASE_API short ZELCOMFUNCDBASE_CALL zel_CPdbTb4(ZelDb* db, short modelIndex,
                                                           short osNumber, short index, short entry,
                                                           PdbBD* out);
ZELCOMFUNCDBASE_API short ZELCOMFUNCDBASE_CALL zel_CPdbTb5(ZelDb* db, short modelIndex,
                                                           short osNumber, short index, PdbBD* out);
ZELCOMFUNCDBASE_API short ZELCOMFUNCDBASE_CALL zel_CPdbTb6(ZelDb* db, short modelIndex,
                                                           short osNumber, short index,
                                                           PdbAnyWD* out);
ZELCOMFUNCDBASE_API short ZELCOMFUNCDBASE_CALL zel_CPdbTb7(ZelDb* db, short modelIndex,
                                                           short osNumber, short index,
                                                           PdbAnyBD* out);
ZELCOMFUNCDBASE_API short ZELCOMFUNCDBASE_CALL zel_CPdbTb8(ZelDb* db, short modelIndex,
                                                           short osNumber, short index,
                                                           PdbAnyWD* out);
ZELCOMFUNCDBASE_API short ZELCOMFUNCDBASE_CALL zel_CPdbTb9(ZelDb* db, short modelIndex,
                                                           short osNumber, short index,
                                                           PdbAnyPBD* out);
ZELCOMFUNCDBASE_API short ZELCOMFUNCDBASE_CALL zel_CPdbTb10(ZelDb* db, short modelIndex,
                                                            short osNumber, short index,
                                                            PdbBkup* out);
ZELCOMFUNCDBASE_API short ZELCOMFUNCDBASE_CALL zel_GetPdbTb10ItemCount(ZelDb* db, short modelIndex,
                                                                       short osNumber,
                                                                       ZelLong* count);

/* The bounds of what a host may ask, from the library's built-in tables; no
 * file is read and no accessor is needed. A program that walks a whole
 * database asks them instead of keeping its own copy of the tables. Tables
 * are numbered as the members: 2 for zel_CDbTb2 ... 5 for zel_CDbTb5. */

/* The item numbers zel_CDbTb<table> knows for a model: 0..count - 1. -1 for
 * a table other than 2..5 or a model index out of range. */
ZELCOMFUNCDBASE_API short ZELCOMFUNCDBASE_CALL zel_item_count(short table, short modelIndex);
/* The entry numbers 1..n of an item of zel_CDbTb2 or zel_CDbTb4 that lie in
 * the item's own row: the bound that the six CPU specification values set
 * (as zel_CDbCpuSpec delivers them), at most the row's slot count, 0 for
 * none. -1 for a table other than 2 and 4, a model index out of range, an
 * item beyond the map or NULL values; -2 for an item marked absent. */
ZELCOMFUNCDBASE_API short ZELCOMFUNCDBASE_CALL zel_entry_count(short table, short modelIndex,
                                                               short item,
                                                               const ZelLong* cpuSpecValues);
/* The entry numbers 1..n that zel_CPdbTb2 and zel_CPdbTb4 accept under an OS
 * number, from the CPU specification values; -1 for an OS number out of
 * range or NULL values. */
ZELCOMFUNCDBASE_API short ZELCOMFUNCDBASE_CALL zel_device_entry_count(short osNumber,
                                                                      const ZelLong* cpuSpecValues);
/* The memory kinds of zel_CDbTbMem are 0..count - 1. */
ZELCOMFUNCDBASE_API short ZELCOMFUNCDBASE_CALL zel_memory_kind_count(void);
/* The highest memory index of a kind; -1 for a kind zel_CDbTbMem refuses. */
ZELCOMFUNCDBASE_API short ZELCOMFUNCDBASE_CALL zel_memory_last_index(short kind);
/* 1 when the OSDB files of a model store 2- and 4-byte values most
 * significant byte first, 0 when least significant first (JQWDB files always
 * are); -1 for a model index out of range. */
ZELCOMFUNCDBASE_API short ZELCOMFUNCDBASE_CALL zel_big_endian(short modelIndex);
/* The name of the OSDB or JQWDB file that answers a model and OS number,
 * without directory ("OSDB2D.BIN"), NUL-terminated into name[0..size - 1].
 * 0, or -1 with nothing written for a selector out of range, a pair with no
 * database file or a buffer too small (16 bytes always suffice). */
ZELCOMFUNCDBASE_API short ZELCOMFUNCDBASE_CALL zel_osdb_file_name(short modelIndex, short osNumber,
                                                                  char* name, int size);
ZELCOMFUNCDBASE_API short ZELCOMFUNCDBASE_CALL zel_jqwdb_file_name(short modelIndex, short osNumber,
                                                                   char* name, int size);

#ifdef __cplusplus
}
#endif

#endif /* ZELCOMFUNCDBASEC_H */
