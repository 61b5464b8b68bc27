// The class's answer to a call of the C interface's test. Including both
// public headers here also checks that a C++ unit may.
#include <ZelComFuncDbase.h>
#include <ZelComFuncDbaseC.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/c_api/oracle.h"
#include "tests/support/both_ways.h"
#include "tests/support/member_call.h"

extern "C" short zel_oracle_call(const char* utf8Directory, const ZelCall* call, ZelOutput* out) {
    CZelComFuncDbase db(utf8Directory);
    // Every answer the C test compares with, on the database it writes, its
    // damaged copies and the sample database, is also asked of the slow twin.
    ZelPlainComFuncDbase plain(utf8Directory);
    const std::string differ = zel::testing::bothWaysDiffer(db, plain, *call);
    if (!differ.empty()) {
        std::fprintf(stderr, "%s: the library and its plain reading differ: %s\n", utf8Directory,
                     differ.c_str());
        std::abort();
    }
    return zel::testing::callMember(db, *call, out);
}
