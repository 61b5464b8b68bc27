// The letter-case rule by which a composed name finds its directory entry
// where the file system tells letter case apart: the names come from a
// platform whose file system ignores letter case.
#ifndef ZEL_PLATFORM_LETTER_CASE_H
#define ZEL_PLATFORM_LETTER_CASE_H

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zel {

// Whether two names are equal without regard to ASCII letter case.
bool equalIgnoringAsciiCase(std::string_view a, std::string_view b);

// Which entry of a directory a file name reads. The entry equal to `wanted`
// when there is one; otherwise, among the entries equal to it without regard
// to ASCII letter case, the one whose name sorts first as unsigned bytes. The
// choice depends on the names alone, not on the order in which the directory
// lists them nor on the kind of file an entry is (a chosen entry that is no
// regular file is refused as a missing file would be; no other variant is
// tried). The index into `entries`, or -1 when no entry matches.
std::ptrdiff_t chooseCaseVariant(std::string_view wanted, const std::vector<std::string>& entries);

}  // namespace zel

#endif
