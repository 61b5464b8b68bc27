/* Bridge between the C test program of the C interface and the C++ class it
 * is compared with: the answer of the C++ class to a call of any member
 * described as data (tests/support/members.h), the record layouts as the C++ compiler sees them,
 * and the database directories to run on. Test-only; C99 and C++. */
#ifndef ZEL_TESTS_C_API_ORACLE_H
#define ZEL_TESTS_C_API_ORACLE_H

#include <stddef.h>

#include "tests/support/members.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Sizes and field offsets of the records and the size of ZelLong, as the
 * C++ compiler lays them out, in the order of ZEL_RECORD_FIELDS (each field
 * followed by its record's size), ZelLong last; the count through *count. */
const size_t* zel_oracle_layout(size_t* count);

/* The answer of CZelComFuncDbase, constructed from the UTF-8 directory. */
short zel_oracle_call(const char* utf8Directory, const ZelCall* call, ZelOutput* out);

/* The version the library was built as. */
const char* zel_oracle_version(void);

/* A temporary directory, removed by zel_oracle_remove_dir. */
typedef struct ZelOracleDir ZelOracleDir;
const char* zel_oracle_dir_path(const ZelOracleDir* dir);
void zel_oracle_remove_dir(ZelOracleDir* dir);

/* A database of OSDB and JQWDB files for models 1 and 20 under OS number 1
 * and model 11 under OS number 2, every table filled with values that tell
 * where a read landed. */
ZelOracleDir* zel_oracle_write_database(void);

/* The files of a directory, each damaged in the way numbered `kind`
 * (0 .. zel_oracle_damage_kinds() - 1), in a new directory; a label of the
 * damage through *label. */
ZelOracleDir* zel_oracle_damaged_copy(const char* from, int kind, const char** label);
int zel_oracle_damage_kinds(void);

#ifdef __cplusplus
}
#endif

#endif
