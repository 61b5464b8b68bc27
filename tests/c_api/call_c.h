/* Any member of the member list (tests/support/members.h) called through the
 * C function of the same name. C99 and C++. */
#ifndef ZEL_TESTS_C_API_CALL_C_H
#define ZEL_TESTS_C_API_CALL_C_H

#include <ZelComFuncDbaseC.h>

#include "tests/support/members.h"

/* The result code of zel_<member> with the call's arguments. */
static inline short zel_call_c(ZelDb* db, const ZelCall* call, ZelOutput* o) {
    const short a = call->first, b = call->second, c = call->third, d = call->fourth;
    const ZelLong v = call->value;
    switch (call->member) {
#define ZEL_CALL_C(member, output, arguments) \
    case ZEL_##member:                        \
        return zel_##member(db, ZEL_UNPACK arguments);
#define ZEL_UNPACK(...) __VA_ARGS__
        ZEL_MEMBERS(ZEL_CALL_C)
#undef ZEL_UNPACK
#undef ZEL_CALL_C
        case ZEL_MEMBER_COUNT:
            break;
    }
    return -32768;
}

#endif
