/* ZelComFuncDbase output records, ZelLong, the export and calling-convention
 * macros, shared by the C++ interface (ZelComFuncDbase.h) and the C interface
 * (ZelComFuncDbaseC.h). Plain C99, so that C, C++ and any foreign-function
 * interface see one layout; a C++ translation unit may include both headers.
 * The library pins the size and every field offset of each record at compile
 * time on every target. */
#ifndef ZELCOMFUNCDBASE_RECORDS_H
#define ZELCOMFUNCDBASE_RECORDS_H

#include <limits.h>
#include <stdint.h>

/* Symbols of the library: exported from the shared library / DLL, imported
 * by its hosts; nothing of either kind in a static build
 * (ZELCOMFUNCDBASE_STATIC). */
#if defined(_WIN32) || defined(__CYGWIN__)
#if defined(ZELCOMFUNCDBASE_STATIC)
#define ZELCOMFUNCDBASE_API
#elif defined(ZELCOMFUNCDBASE_BUILDING)
#define ZELCOMFUNCDBASE_API __declspec(dllexport)
#else
#define ZELCOMFUNCDBASE_API __declspec(dllimport)
#endif
#else
#define ZELCOMFUNCDBASE_API __attribute__((visibility("default")))
#endif

/* The calling convention of every C function: __cdecl on 32-bit Windows, named
 * so that a host whose compiler defaults to another one (/Gz, /Gr) still
 * calls correctly; 64-bit Windows and other platforms have only one. */
#if defined(_WIN32) && !defined(_WIN64)
#define ZELCOMFUNCDBASE_CALL __cdecl
#else
#define ZELCOMFUNCDBASE_CALL
#endif

/* The interface's 32-bit signed value (CPU specification values, memory
 * values, item count, parameter memory): `long` where it is 32 bits wide, so
 * host code written with `long` compiles there unchanged; a 32-bit integer
 * elsewhere. */
#if LONG_MAX == 2147483647L
typedef long ZelLong;
#else
typedef int32_t ZelLong;
#endif

/* Word address entry of an OSDB file (CDbTb2, CDbTb3). */
typedef struct DbAd {
    int32_t address;         /* the 4-byte value of the selected slot */
    unsigned short headWord; /* the 2-byte value at the head of the row */
} DbAd;

/* Bit address of an OSDB file (CDbTb4, CDbTb5): a byte address and a mask of
 * bits within that byte (only the low 8 bits can be set). */
typedef struct DbBAd {
    int32_t address;
    unsigned short bitMask;
} DbBAd;

/* Record of JQWDB table 0 (CPdbTb0). */
typedef struct PdbJAd {
    int32_t value1;
    int32_t value2;
    short word1;
    short word2;
    short attr1; /* signed byte, sign-extended */
    short attr2; /* signed byte, sign-extended */
    short word3;
} PdbJAd;

/* Record of JQWDB table 1 (CPdbTb1). */
typedef struct PdbCAd {
    int32_t value1;
    int32_t value2;
    short word1;
    short attr1; /* signed byte, sign-extended */
    short attr2; /* signed byte, sign-extended */
    short word2;
} PdbCAd;

/* Word device entry of JQWDB tables 2 and 3 (CPdbTb2, CPdbTb3). */
typedef struct PdbWD {
    unsigned short number;
    unsigned short kind;  /* byte 0..255, never sign-extended */
    unsigned short extra; /* byte 0..255, never sign-extended */
} PdbWD;

/* Bit device entry of JQWDB tables 4 and 5 (CPdbTb4, CPdbTb5). */
typedef struct PdbBD {
    unsigned short number;
    unsigned short kind; /* byte 0..255, never sign-extended */
} PdbBD;

/* Record of JQWDB tables 6 and 8 (CPdbTb6, CPdbTb8). */
typedef struct PdbAnyWD {
    int32_t value1;
    short word1;
    short word2;
    short attr1; /* signed byte, sign-extended */
} PdbAnyWD;

/* Record of JQWDB table 7 (CPdbTb7). */
typedef struct PdbAnyBD {
    int32_t value1;
    short word1;
    short attr1; /* attr1..attr3: signed bytes, sign-extended */
    short attr2;
    short attr3;
} PdbAnyBD;

/* Record of JQWDB table 9 (CPdbTb9). */
typedef struct PdbAnyPBD {
    int32_t value1;
    short word1;
    short attr1; /* attr1..attr4: signed bytes, sign-extended */
    short attr2;
    short attr3;
    short attr4;
} PdbAnyPBD;

/* Item of JQWDB table 10, the backup table (CPdbTb10). Tail items carry -1 in
 * the fields they do not have. */
typedef struct PdbBkup {
    int32_t value1;
    int32_t value2;
    short attr1;
    short attr2;
    short attr3;
    short attr4;
    short attr5;
} PdbBkup;

#endif /* ZELCOMFUNCDBASE_RECORDS_H */
