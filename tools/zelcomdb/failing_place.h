// How a built file makes a reader answer a result code in place of a value:
// the table or section is shown to its readers at a position where every
// read fails. Beyond the end of the file a read delivers too few bytes
// (114); at a position negative as a signed 32-bit value the positioning
// fails (109). Fields lie at most a few MiB after the start of their table
// or section, so every read of one stays on the same side. No other result
// that a reader gives instead of a value comes from what a file holds: 102
// is a file that is not there, -1 and -2 come from the selectors and the
// item maps.
#ifndef ZELCOMDB_FAILING_PLACE_H
#define ZELCOMDB_FAILING_PLACE_H

#include <ZelComFuncDbaseResults.h>

#include <optional>

#include "format/position.h"

namespace zel::tool {

// The start that makes every read of a table or section fail with
// `result`; none for a result that no file contents give.
inline std::optional<Pos> failingStart(short result) {
    if (result == ZEL_FILE_END_OF_FILE) return Pos{0x40000000u};
    if (result == ZEL_FILE_BAD_SEEK) return Pos{0xC0000000u};
    return std::nullopt;
}

// What a table or section of a built file can answer instead of values.
constexpr const char* kFailingResults =
    "a built file answers 109 or 114 for a table or section as a whole";

constexpr short kFileNotFound = ZEL_FILE_NOT_FOUND;

}  // namespace zel::tool

#endif
