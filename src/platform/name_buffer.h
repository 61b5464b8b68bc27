// The 512-unit buffer that a reader zeroes and the file naming fills with the
// composed file name, terminating NUL included.
#ifndef ZEL_PLATFORM_NAME_BUFFER_H
#define ZEL_PLATFORM_NAME_BUFFER_H

#include <cstddef>

namespace zel {

constexpr std::size_t kNameUnits = 512;

struct NameBuffer {
    unsigned short units[kNameUnits] = {};
};

}  // namespace zel

#endif
