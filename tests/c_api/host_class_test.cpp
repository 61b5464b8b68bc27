// CZelComFuncDbaseHost (include/ZelComFuncDbaseHost.hpp) used as a host of
// another compiler uses it: every member of the member list called through
// it on a database and on damaged copies of it, each answer compared with the
// C function the member stands for (which c_api_test compares with the C++
// class), through copies and assigned accessors whose originals are gone.
// Nothing of the library is linked but its zel_ functions (the build checks
// this program's import table).
//
//   host_class_test [DATABASE_DIR]
//
// Without a directory the test writes its own database. Exit status 0 when
// every answer agrees.
#include <ZelComFuncDbaseHost.hpp>
#include <cstdio>
#include <string>

#include "tests/c_api/call_c.h"
#include "tests/c_api/oracle.h"
#include "tests/support/member_call.h"

namespace {

using zel::testing::answer;
using zel::testing::answerWith;
using zel::testing::TableAnswer;

int failures = 0;

void fail(const char* what, const ZelCall& call, const char* directory) {
    if (++failures <= 20)
        std::fprintf(stderr, "FAIL: %s: member %d (%d, %d, %d, %d) in %s\n", what,
                     static_cast<int>(call.member), call.first, call.second, call.third,
                     call.fourth, directory);
}

// Selectors that reach every kind of answer on the written and the sample
// database: refused, missing file, absent item, entries in and out of range
// (2 is the CPU code of model 1, for CpuSpec).
const short kFirst[] = {-1, 1, 2, 11, 20, 48};
const short kSecond[] = {0, 1, 2, 8};
const short kThird[] = {-1, 0, 5, 130};
const short kFourth[] = {-1, 1, 41};

struct Tally {
    long calls = 0;
    long succeeded[ZEL_MEMBER_COUNT] = {};
    long fileFailures = 0;
};

// Every member with every selector combination, alternately through the two
// accessors, against the C functions on a ZelDb of its own.
Tally sweep(CZelComFuncDbaseHost& one, CZelComFuncDbaseHost& other, const char* directory) {
    Tally tally;
    ZelDb* reference = zel_open_utf8(directory);
    for (int m = 0; m < ZEL_MEMBER_COUNT; ++m)
        for (short a : kFirst)
            for (short b : kSecond)
                for (short c : kThird)
                    for (short d : kFourth) {
                        const ZelCall call = {static_cast<ZelMember>(m), a, b, c, d, -77};
                        CZelComFuncDbaseHost& db = tally.calls % 2 ? one : other;
                        const TableAnswer viaHost = answer(db, call);
                        const TableAnswer viaC = answerWith(call.member, [&](ZelOutput* o) {
                            return zel_call_c(reference, &call, o);
                        });
                        ++tally.calls;
                        if (viaHost.result == 0) ++tally.succeeded[m];
                        if (viaHost.result >= 100 && viaHost.result <= 114) ++tally.fileFailures;
                        if (viaHost.result != viaC.result || viaHost.untouched != viaC.untouched ||
                            viaHost.fields != viaC.fields)
                            fail("the host class and the C function differ", call, directory);
                    }
    zel_close(reference);
    return tally;
}

// A copy and an accessor assigned twice (from elsewhere, then to itself),
// both outliving the accessor they came from; the original is opened from
// UTF-16 when the path is ASCII, from UTF-8 otherwise.
Tally sweepCopies(const char* directory) {
    std::basic_string<unsigned short> utf16;
    bool ascii = true;
    for (const char* at = directory; *at; ++at) {
        ascii = ascii && static_cast<unsigned char>(*at) < 0x80;
        utf16 += static_cast<unsigned char>(*at);
    }
    CZelComFuncDbaseHost* original =
        ascii ? new CZelComFuncDbaseHost(utf16.c_str()) : new CZelComFuncDbaseHost(directory);
    CZelComFuncDbaseHost copy(*original);
    CZelComFuncDbaseHost assigned("no such directory");
    assigned = *original;
    CZelComFuncDbaseHost& same = assigned;
    assigned = same;
    delete original;
    return sweep(copy, assigned, directory);
}

}  // namespace

int main(int argc, char** argv) {
    ZelOracleDir* written = argc > 1 ? nullptr : zel_oracle_write_database();
    const char* directory = written ? zel_oracle_dir_path(written) : argv[1];

    const Tally whole = sweepCopies(directory);
    for (int m = 0; m < ZEL_MEMBER_COUNT; ++m)
        if (whole.succeeded[m] == 0)
            fail("never succeeded", ZelCall{static_cast<ZelMember>(m), 0, 0, 0, 0, 0}, directory);
    std::printf("%s: %ld calls agree\n", directory, whole.calls);

    for (int kind = 0; kind < zel_oracle_damage_kinds(); ++kind) {
        const char* label = "";
        ZelOracleDir* damaged = zel_oracle_damaged_copy(directory, kind, &label);
        const Tally tally = sweepCopies(zel_oracle_dir_path(damaged));
        std::printf("damaged (%s): %ld calls agree, %ld file failures\n", label, tally.calls,
                    tally.fileFailures);
        if (tally.fileFailures == 0)
            fail("no file failure", ZelCall{ZEL_MEMBER_COUNT, 0, 0, 0, 0, 0}, label);
        zel_oracle_remove_dir(damaged);
    }

    if (written) zel_oracle_remove_dir(written);
    if (failures) std::fprintf(stderr, "%d failures\n", failures);
    return failures ? 1 : 0;
}
