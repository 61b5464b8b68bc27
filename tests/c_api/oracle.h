/* Bridge between the C test program of the C interface and the C++ class it
 * is compared with: one call of any member described as data, the answer of
 * the C++ class for it, the record layouts as the C++ compiler sees them, and
 * the database directories to run on. Test-only; C99 and C++. */
#ifndef ZEL_TESTS_C_API_ORACLE_H
#define ZEL_TESTS_C_API_ORACLE_H

#include <ZelComFuncDbaseRecords.h>
#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The public members, in the order of the C header. */
typedef enum ZelMember {
    ZEL_CDbCpuOsType,
    ZEL_CDbCpuSpec,
    ZEL_CpuSpec,
    ZEL_CDbTb2,
    ZEL_CDbTb3,
    ZEL_CDbTb4,
    ZEL_CDbTb5,
    ZEL_CDbTbMem,
    ZEL_CPdbPMem,
    ZEL_CPdbTb0,
    ZEL_CPdbTb1,
    ZEL_CPdbTb2,
    ZEL_CPdbTb3,
    ZEL_CPdbTb4,
    ZEL_CPdbTb5,
    ZEL_CPdbTb6,
    ZEL_CPdbTb7,
    ZEL_CPdbTb8,
    ZEL_CPdbTb9,
    ZEL_CPdbTb10,
    ZEL_GetPdbTb10ItemCount,
    ZEL_MEMBER_COUNT
} ZelMember;

/* A call: the two leading selectors (model index and OS number, or CPU code
 * and OS type for CpuSpec), the further short arguments in order, and the
 * long argument of CPdbPMem. */
typedef struct ZelCall {
    ZelMember member;
    short first;
    short second;
    short third;
    short fourth;
    ZelLong value;
} ZelCall;

/* Whatever a member writes. */
typedef union ZelOutput {
    short cpuOs[2];
    ZelLong values[6];
    ZelLong one;
    DbAd dbAd;
    DbBAd dbBAd;
    PdbJAd jAd;
    PdbCAd cAd;
    PdbWD wd;
    PdbBD bd;
    PdbAnyWD anyWd;
    PdbAnyBD anyBd;
    PdbAnyPBD anyPbd;
    PdbBkup bkup;
} ZelOutput;

/* The fields of each record, X(record, field), and of all records. */
/* clang-format off */
#define ZEL_DbAd_FIELDS(X) X(DbAd, address) X(DbAd, headWord)
#define ZEL_DbBAd_FIELDS(X) X(DbBAd, address) X(DbBAd, bitMask)
#define ZEL_PdbJAd_FIELDS(X) \
    X(PdbJAd, value1) X(PdbJAd, value2) X(PdbJAd, word1) X(PdbJAd, word2) X(PdbJAd, attr1) \
    X(PdbJAd, attr2) X(PdbJAd, word3)
#define ZEL_PdbCAd_FIELDS(X) \
    X(PdbCAd, value1) X(PdbCAd, value2) X(PdbCAd, word1) X(PdbCAd, attr1) X(PdbCAd, attr2) \
    X(PdbCAd, word2)
#define ZEL_PdbWD_FIELDS(X) X(PdbWD, number) X(PdbWD, kind) X(PdbWD, extra)
#define ZEL_PdbBD_FIELDS(X) X(PdbBD, number) X(PdbBD, kind)
#define ZEL_PdbAnyWD_FIELDS(X) \
    X(PdbAnyWD, value1) X(PdbAnyWD, word1) X(PdbAnyWD, word2) X(PdbAnyWD, attr1)
#define ZEL_PdbAnyBD_FIELDS(X) \
    X(PdbAnyBD, value1) X(PdbAnyBD, word1) X(PdbAnyBD, attr1) X(PdbAnyBD, attr2) \
    X(PdbAnyBD, attr3)
#define ZEL_PdbAnyPBD_FIELDS(X) \
    X(PdbAnyPBD, value1) X(PdbAnyPBD, word1) X(PdbAnyPBD, attr1) X(PdbAnyPBD, attr2) \
    X(PdbAnyPBD, attr3) X(PdbAnyPBD, attr4)
#define ZEL_PdbBkup_FIELDS(X) \
    X(PdbBkup, value1) X(PdbBkup, value2) X(PdbBkup, attr1) X(PdbBkup, attr2) X(PdbBkup, attr3) \
    X(PdbBkup, attr4) X(PdbBkup, attr5)
#define ZEL_RECORD_FIELDS(X) \
    ZEL_DbAd_FIELDS(X) ZEL_DbBAd_FIELDS(X) ZEL_PdbJAd_FIELDS(X) ZEL_PdbCAd_FIELDS(X) \
    ZEL_PdbWD_FIELDS(X) ZEL_PdbBD_FIELDS(X) ZEL_PdbAnyWD_FIELDS(X) ZEL_PdbAnyBD_FIELDS(X) \
    ZEL_PdbAnyPBD_FIELDS(X) ZEL_PdbBkup_FIELDS(X)
/* clang-format on */

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
