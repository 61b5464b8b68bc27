// File positions: sums of values read from a file, selectors and small
// constants, formed in 32-bit two's-complement wrap-around arithmetic (plain
// unsigned arithmetic, so no signed overflow) and taken as a signed 32-bit
// value when the file is positioned. A position that is negative then makes
// the positioning fail (bad seek).
// Layout described in doc/file_format.md#file-positions.
#ifndef ZEL_FORMAT_POSITION_H
#define ZEL_FORMAT_POSITION_H

#include <cstdint>

#include "format/bytes.h"

namespace zel {

using Pos = std::uint32_t;

// A signed 16-bit selector or table column entering position arithmetic:
// widened with its sign, so 65535 counts as -1.
inline Pos wide(short v) { return static_cast<Pos>(static_cast<std::int32_t>(v)); }
inline Pos wide16(std::uint16_t v) { return wide(asSigned16(v)); }

// Whether a position, taken as signed, lies before the start of the file.
constexpr bool isNegative(Pos pos) { return pos > 0x7FFFFFFFu; }

}  // namespace zel

#endif
