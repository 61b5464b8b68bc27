/* Every public member of the accessor described as data, for the tests in C
 * and in C++: one call of any member (ZelCall), whatever a member writes
 * (ZelOutput), the list of the members with their arguments, and the fields
 * of each output record. C99 and C++. */
#ifndef ZEL_TESTS_SUPPORT_MEMBERS_H
#define ZEL_TESTS_SUPPORT_MEMBERS_H

#include <ZelComFuncDbaseRecords.h>

/* X(member, output, (arguments)), in the order of the C header: the
 * ZelOutput member it writes, and its arguments after the accessor, from the
 * short selectors a, b, c, d and the long value v of a ZelCall and the
 * ZelOutput* o. */
/* clang-format off */
#define ZEL_MEMBERS(X) \
    X(CDbCpuOsType, cpuOs, (&o->cpuOs[0], &o->cpuOs[1], a, b)) \
    X(CDbCpuSpec, values, (a, b, o->values)) \
    X(CpuSpec, values, (a, b, o->values)) \
    X(CDbTb2, dbAd, (a, b, c, d, &o->dbAd)) \
    X(CDbTb3, dbAd, (a, b, c, &o->dbAd)) \
    X(CDbTb4, dbBAd, (a, b, c, d, &o->dbBAd)) \
    X(CDbTb5, dbBAd, (a, b, c, &o->dbBAd)) \
    X(CDbTbMem, one, (a, b, c, d, &o->one)) \
    X(CPdbPMem, one, (a, b, c, v, &o->one)) \
    X(CPdbTb0, jAd, (a, b, c, &o->jAd)) \
    X(CPdbTb1, cAd, (a, b, c, &o->cAd)) \
    X(CPdbTb2, wd, (a, b, c, d, &o->wd)) \
    X(CPdbTb3, wd, (a, b, c, &o->wd)) \
    X(CPdbTb4, bd, (a, b, c, d, &o->bd)) \
    X(CPdbTb5, bd, (a, b, c, &o->bd)) \
    X(CPdbTb6, anyWd, (a, b, c, &o->anyWd)) \
    X(CPdbTb7, anyBd, (a, b, c, &o->anyBd)) \
    X(CPdbTb8, anyWd, (a, b, c, &o->anyWd)) \
    X(CPdbTb9, anyPbd, (a, b, c, &o->anyPbd)) \
    X(CPdbTb10, bkup, (a, b, c, &o->bkup)) \
    X(GetPdbTb10ItemCount, one, (a, b, &o->one))
/* clang-format on */

#define ZEL_MEMBER_ENUM(member, output, arguments) ZEL_##member,
typedef enum ZelMember { ZEL_MEMBERS(ZEL_MEMBER_ENUM) ZEL_MEMBER_COUNT } ZelMember;
#undef ZEL_MEMBER_ENUM

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

/* The output records with their ZelOutput members, X(Record, output), and
 * the fields of each record, X(Record, field). */
/* clang-format off */
#define ZEL_RECORDS(X) \
    X(DbAd, dbAd) X(DbBAd, dbBAd) X(PdbJAd, jAd) X(PdbCAd, cAd) X(PdbWD, wd) X(PdbBD, bd) \
    X(PdbAnyWD, anyWd) X(PdbAnyBD, anyBd) X(PdbAnyPBD, anyPbd) X(PdbBkup, bkup)
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

#endif
