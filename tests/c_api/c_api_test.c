/* The C interface, compiled as C: every function called on a database and on
 * damaged copies of it, each result and output compared with what the C++
 * class gives for the same call (tests/c_api/oracle.cpp).
 *
 *   c_api_test [DATABASE_DIR]
 *
 * Without a directory the test writes its own database. Exit status 0 when
 * every answer agrees. */
#include <ZelComFuncDbaseC.h>
#include <stddef.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "tests/c_api/call_c.h"
#include "tests/c_api/oracle.h"

static int failures = 0;

#define MEMBER_NAME(member, output, arguments) #member,
static const char* const kMemberNames[ZEL_MEMBER_COUNT] = {ZEL_MEMBERS(MEMBER_NAME)};
#undef MEMBER_NAME

static void fail(const char* what) {
    ++failures;
    if (failures <= 20) fprintf(stderr, "FAIL: %s\n", what);
}

/* ---- outputs compared field by field (padding is not written) ---- */

#define SAME_FIELD(Record, field) &&x->field == y->field
#define SAME_RECORD(Record, output)                                    \
    static int same_##output(const ZelOutput* a, const ZelOutput* b) { \
        const Record *x = &a->output, *y = &b->output;                 \
        return 1 ZEL_##Record##_FIELDS(SAME_FIELD);                    \
    }
ZEL_RECORDS(SAME_RECORD)
#undef SAME_RECORD
#undef SAME_FIELD

static int same_cpuOs(const ZelOutput* x, const ZelOutput* y) {
    return x->cpuOs[0] == y->cpuOs[0] && x->cpuOs[1] == y->cpuOs[1];
}
static int same_values(const ZelOutput* x, const ZelOutput* y) {
    return memcmp(x->values, y->values, sizeof x->values) == 0;
}
static int same_one(const ZelOutput* x, const ZelOutput* y) { return x->one == y->one; }

static int sameOutput(ZelMember member, const ZelOutput* x, const ZelOutput* y) {
    switch (member) {
#define SAME_OUTPUT(member, output, arguments) \
    case ZEL_##member:                         \
        return same_##output(x, y);
        ZEL_MEMBERS(SAME_OUTPUT)
#undef SAME_OUTPUT
        case ZEL_MEMBER_COUNT:
            break;
    }
    return 0;
}

/* ---- one call compared ---- */

typedef struct Tally {
    long calls;
    long succeeded[ZEL_MEMBER_COUNT];
    long fileFailures; /* results 100..114 */
} Tally;

static void compare(ZelDb* db, const char* directory, const ZelCall* call, Tally* tally) {
    ZelOutput viaC, viaClass;
    short resultC, resultClass;
    /* The same caller values in both, so that untouched fields match too. */
    memset(&viaC, 0xA5, sizeof viaC);
    memset(&viaClass, 0xA5, sizeof viaClass);
    resultC = zel_call_c(db, call, &viaC);
    resultClass = zel_oracle_call(directory, call, &viaClass);
    ++tally->calls;
    if (resultC == 0) ++tally->succeeded[call->member];
    if (resultC >= 100 && resultC <= 114) ++tally->fileFailures;
    if (resultC != resultClass || !sameOutput(call->member, &viaC, &viaClass)) {
        char what[200];
        snprintf(what, sizeof what, "%s (%d, %d, %d, %d, %ld) in %s: C %d, C++ %d%s",
                 kMemberNames[call->member], call->first, call->second, call->third, call->fourth,
                 (long)call->value, directory, resultC, resultClass,
                 resultC == resultClass ? ", outputs differ" : "");
        fail(what);
    }
}

/* ---- the selectors swept ---- */

/* Model indices and OS numbers: those of the written and the sample
 * database's files and the nearest refused ones; for damaged copies only
 * those with files. */
static const short kModels[] = {-1, 1, 7, 11, 13, 20, 25, 48};
static const short kOsNumbers[] = {0, 1, 2, 5, 8};
static const short kModelsWithFiles[] = {1, 11, 20};
static const short kOsNumbersWithFiles[] = {1, 2};
static const short kCpuCodes[] = {-1, 0, 2, 8, 11, 12, 16, 30, 36, 99};
static const short kOsTypes[] = {-1, 0, 1, 4, 6, 7};
static const short kEntries[] = {-1, 0, 1, 4, 5, 8, 9, 12, 20, 40, 41};
static const short kMemoryKinds[] = {-1, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 100};
static const short kMemoryIndices[] = {-1, 0, 1, 5, 31, 100};
static const short kRecordIndices[] = {-1, 0, 1, 2, 4, 5, 6, 1000, -32768};
static const short kPMemSelectors[] = {-1, 0, 1, 7};
static const ZelLong kPMemValues[] = {0, -1, 123456789, -2147483647L - 1};

#define COUNT(array) (sizeof(array) / sizeof((array)[0]))

/* Items -1 .. 130, every `step`-th. */
static void sweepPair(ZelDb* db, const char* directory, short model, short os, int step,
                      Tally* tally) {
    ZelCall call;
    size_t i, j;
    int item, m;
    memset(&call, 0, sizeof call);
    call.first = model;
    call.second = os;
    call.member = ZEL_CDbCpuOsType;
    compare(db, directory, &call, tally);
    call.member = ZEL_CDbCpuSpec;
    compare(db, directory, &call, tally);
    call.member = ZEL_GetPdbTb10ItemCount;
    compare(db, directory, &call, tally);
    for (item = -1; item <= 130; item += step) {
        call.third = (short)item;
        call.member = ZEL_CDbTb3;
        compare(db, directory, &call, tally);
        call.member = ZEL_CDbTb5;
        compare(db, directory, &call, tally);
        for (i = 0; i < COUNT(kEntries); ++i) {
            call.fourth = kEntries[i];
            call.member = ZEL_CDbTb2;
            compare(db, directory, &call, tally);
            call.member = ZEL_CDbTb4;
            compare(db, directory, &call, tally);
        }
    }
    for (i = 0; i < COUNT(kMemoryKinds); ++i)
        for (j = 0; j < COUNT(kMemoryIndices); ++j) {
            call.member = ZEL_CDbTbMem;
            call.third = kMemoryKinds[i];
            call.fourth = kMemoryIndices[j];
            compare(db, directory, &call, tally);
        }
    for (i = 0; i < COUNT(kPMemSelectors); ++i)
        for (j = 0; j < COUNT(kPMemValues); ++j) {
            call.member = ZEL_CPdbPMem;
            call.third = kPMemSelectors[i];
            call.value = kPMemValues[j];
            compare(db, directory, &call, tally);
        }
    call.value = 0;
    for (i = 0; i < COUNT(kRecordIndices); ++i) {
        call.third = kRecordIndices[i];
        for (m = ZEL_CPdbTb0; m <= ZEL_CPdbTb10; ++m) {
            call.member = (ZelMember)m;
            if (m == ZEL_CPdbTb2 || m == ZEL_CPdbTb4) {
                for (j = 0; j < COUNT(kEntries); ++j) {
                    call.fourth = kEntries[j];
                    compare(db, directory, &call, tally);
                }
            } else {
                compare(db, directory, &call, tally);
            }
        }
    }
}

typedef struct Sweep {
    const short* models;
    size_t modelCount;
    const short* osNumbers;
    size_t osNumberCount;
    int itemStep;
} Sweep;

/* Items every n-th; Windows programs run under Wine here, where a
 * file open costs many times more, so they take fewer. */
#ifdef _WIN32
enum { kWholeItemStep = 11, kDamagedItemStep = 29 };
#else
enum { kWholeItemStep = 5, kDamagedItemStep = 11 };
#endif
static const Sweep kWholeSweep = {kModels, COUNT(kModels), kOsNumbers, COUNT(kOsNumbers),
                                  kWholeItemStep};
static const Sweep kDamagedSweep = {kModelsWithFiles, COUNT(kModelsWithFiles), kOsNumbersWithFiles,
                                    COUNT(kOsNumbersWithFiles), kDamagedItemStep};

static void sweep(ZelDb* db, const char* directory, const Sweep* how, Tally* tally) {
    ZelCall call;
    size_t i, j;
    for (i = 0; i < how->modelCount; ++i)
        for (j = 0; j < how->osNumberCount; ++j)
            sweepPair(db, directory, how->models[i], how->osNumbers[j], how->itemStep, tally);
    memset(&call, 0, sizeof call);
    call.member = ZEL_CpuSpec;
    for (i = 0; i < COUNT(kCpuCodes); ++i)
        for (j = 0; j < COUNT(kOsTypes); ++j) {
            call.first = kCpuCodes[i];
            call.second = kOsTypes[j];
            compare(db, directory, &call, tally);
        }
}

/* ---- the checks ---- */

/* The records as this C compiler lays them out match the C++ layout. */
static void checkLayout(void) {
#define LAYOUT_OF(Record, field) \
    offsetof(Record, field), sizeof(((Record*)0)->field), sizeof(Record),
    static const size_t layout[] = {ZEL_RECORD_FIELDS(LAYOUT_OF) sizeof(ZelLong)};
#undef LAYOUT_OF
    size_t count = 0;
    const size_t* cxx = zel_oracle_layout(&count);
    if (count != COUNT(layout) || memcmp(cxx, layout, sizeof layout) != 0)
        fail("record layout differs between C and C++");
}

static void checkVersion(void) {
    if (strcmp(zel_version(), zel_oracle_version()) != 0) fail("zel_version");
}

/* A NUL-terminated UTF-16 copy of an ASCII path; NULL for any other. */
static unsigned short* utf16Of(const char* path) {
    size_t n = strlen(path), i;
    unsigned short* units = (unsigned short*)malloc((n + 1) * sizeof *units);
    if (!units) return NULL;
    for (i = 0; i <= n; ++i) {
        if ((unsigned char)path[i] >= 0x80) {
            free(units);
            return NULL;
        }
        units[i] = (unsigned char)path[i];
    }
    return units;
}

#ifdef _WIN32
/* The wchar_t entry of Windows, from a wchar_t copy of the UTF-16 path
 * (a path that is not ASCII is opened from UTF-8 instead). */
static ZelDb* openWide(const unsigned short* units, const char* directory) {
    wchar_t wide[1024];
    size_t i = 0;
    if (!units) return zel_open_utf8(directory);
    do wide[i] = (wchar_t)units[i];
    while (units[i++] && i < COUNT(wide));
    wide[COUNT(wide) - 1] = 0;
    return zel_open_w(wide);
}
#endif

/* Accessors opened from UTF-16, from UTF-8 (and on Windows from wchar_t) and
 * a copy answer as the class does, the copy also after its original is
 * closed; NULL is refused. */
static void checkOpenCopyClose(const char* directory) {
    unsigned short* units = utf16Of(directory);
    ZelDb* fromUtf8 = zel_open_utf8(directory);
    ZelDb* fromUtf16 = units ? zel_open(units) : zel_open_utf8(directory);
    ZelDb* copy = zel_copy(fromUtf16);
#ifdef _WIN32
    ZelDb* fromWide = openWide(units, directory);
    const int opened = 4;
#else
    ZelDb* fromWide = NULL;
    const int opened = 3;
#endif
    Tally tally;
    short cpuCode = 7, osType = 7;
    memset(&tally, 0, sizeof tally);
    if (!fromUtf8 || !fromUtf16 || !copy) fail("zel_open, zel_open_utf8 or zel_copy gave NULL");
    sweepPair(fromUtf8, directory, 1, 1, 13, &tally);
    sweepPair(fromUtf16, directory, 1, 1, 13, &tally);
    if (fromWide) sweepPair(fromWide, directory, 1, 1, 13, &tally);
    zel_close(fromUtf16);
    sweepPair(copy, directory, 1, 1, 13, &tally);
    if (tally.succeeded[ZEL_CDbCpuSpec] != opened) fail("accessors opened in different ways");
    zel_close(fromWide);
    zel_close(copy);
    zel_close(fromUtf8);
    zel_close(NULL);
    free(units);

    if (zel_copy(NULL) != NULL) fail("zel_copy(NULL)");
    fromUtf8 = zel_open_utf8(NULL);
    fromUtf16 = zel_open(NULL);
    if (!fromUtf8 || !fromUtf16 || zel_CDbCpuOsType(fromUtf8, &cpuCode, &osType, 13, 5) != 0 ||
        zel_CDbCpuOsType(fromUtf16, &cpuCode, &osType, 13, 5) != 0 || cpuCode != 16)
        fail("a NULL directory is the empty one");
    zel_close(fromUtf8);
    zel_close(fromUtf16);
    cpuCode = osType = 7;
    if (zel_CDbCpuOsType(NULL, &cpuCode, &osType, 1, 1) != -1 || cpuCode != 7 || osType != 7)
        fail("NULL accessor is refused with nothing written");
}

/* Every member succeeded at least once on the undamaged database, so that
 * the comparison did not merely agree on failures. */
static void checkCoverage(const Tally* tally) {
    int m;
    for (m = 0; m < ZEL_MEMBER_COUNT; ++m)
        if (tally->succeeded[m] == 0) {
            char what[80];
            snprintf(what, sizeof what, "%s never succeeded on the database", kMemberNames[m]);
            fail(what);
        }
}

int main(int argc, char** argv) {
    ZelOracleDir* written = NULL;
    const char* directory;
    Tally tally;
    int kind;
    ZelDb* db;

    if (argc > 1) {
        directory = argv[1];
    } else {
        written = zel_oracle_write_database();
        directory = zel_oracle_dir_path(written);
    }

    checkLayout();
    checkVersion();
    checkOpenCopyClose(directory);

    memset(&tally, 0, sizeof tally);
    db = zel_open_utf8(directory);
    sweep(db, directory, &kWholeSweep, &tally);
    zel_close(db);
    checkCoverage(&tally);
    printf("%s: %ld calls agree\n", directory, tally.calls);

    for (kind = 0; kind < zel_oracle_damage_kinds(); ++kind) {
        const char* label = "";
        ZelOracleDir* damaged = zel_oracle_damaged_copy(directory, kind, &label);
        const char* path = zel_oracle_dir_path(damaged);
        memset(&tally, 0, sizeof tally);
        db = zel_open_utf8(path);
        sweep(db, path, &kDamagedSweep, &tally);
        zel_close(db);
        printf("damaged (%s): %ld calls agree, %ld file failures\n", label, tally.calls,
               tally.fileFailures);
        if (tally.fileFailures == 0) fail("a damaged database gave no file failure");
        zel_oracle_remove_dir(damaged);
    }

    if (written) zel_oracle_remove_dir(written);
    if (failures) fprintf(stderr, "%d failures\n", failures);
    return failures ? 1 : 0;
}
