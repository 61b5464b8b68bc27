// Any member asked of the library and of its slow twin (tests/plain), which
// reads each field on its own with no window and no slots: both must give the
// same result code and the same output bytes, from the same sentinel.
#ifndef ZEL_TESTS_SUPPORT_BOTH_WAYS_H
#define ZEL_TESTS_SUPPORT_BOTH_WAYS_H

#include <cstring>
#include <string>

#include "tests/plain/plain_accessor.h"
#include "tests/support/member_call.h"

namespace zel::testing {

// Empty when both ways agree; else what each gave.
inline std::string bothWaysDiffer(CZelComFuncDbase& fast, ZelPlainComFuncDbase& plain,
                                  const ZelCall& call) {
    ZelOutput out[2];
    std::memset(static_cast<void*>(out), 0x5A, sizeof out);
    const short results[2] = {callMember(fast, call, &out[0]), callMember(plain, call, &out[1])};
    const std::size_t size = outputSize(call.member);
    if (results[0] == results[1] && std::memcmp(&out[0], &out[1], size) == 0) return {};
    std::string text = "member " + std::to_string(call.member) + " (" + std::to_string(call.first);
    for (long argument : {long{call.second}, long{call.third}, long{call.fourth}, long{call.value}})
        text += ", " + std::to_string(argument);
    for (int way = 0; way < 2; ++way) {
        text += (way == 0 ? "): library " : "; plain reads ") + std::to_string(results[way]);
        for (std::size_t i = 0; i < size; ++i)
            text += " " + std::to_string(reinterpret_cast<unsigned char*>(&out[way])[i]);
    }
    return text;
}

}  // namespace zel::testing

#endif
