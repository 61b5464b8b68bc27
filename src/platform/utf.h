// Conversions between the UTF-16 names of the accessor and UTF-8.
#ifndef ZEL_PLATFORM_UTF_H
#define ZEL_PLATFORM_UTF_H

#include <cstddef>
#include <string>

#include "platform/name_buffer.h"

namespace zel {

// Room for any name of the name buffer in UTF-8: at most three bytes per
// 16-bit unit, plus the NUL.
constexpr std::size_t kPathBytes = kNameUnits * 3 + 1;

// The length of the well-formed UTF-8 sequence at s (shortest form, no
// surrogate, at most U+10FFFF), or 0 when none starts there. Reads no further
// than a NUL.
std::size_t utf8SequenceLength(const unsigned char* s);

// Converts a NUL-terminated UTF-16 name into a NUL-terminated UTF-8 path,
// every backslash becoming '/' and every kept byte (U+DC80..U+DCFF, see
// utf8ToUtf16) becoming its byte again. False for any other lone surrogate
// or a name longer than the name buffer.
bool nameToPosixPath(const unsigned short* name, char (&path)[kPathBytes]);

// Converts NUL-terminated UTF-8 into UTF-16. A byte that starts no valid
// sequence is kept as the lone low surrogate U+DC00 + byte (U+DC80..U+DCFF),
// so that a path in another encoding (Latin-1, say) comes back unchanged.
std::u16string utf8ToUtf16(const char* utf8);

// Converts UTF-16 into UTF-8; a kept byte becomes its byte again, any other
// lone surrogate U+FFFD.
std::string utf16ToUtf8(const std::u16string& utf16);

}  // namespace zel

#endif
