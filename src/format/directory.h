// What OSDB and JQWDB files share: the directory base at byte 8 (the position
// of the table directory), the table directory of 32-bit offsets relative to
// the directory base, and, in OSDB files, the section offset list of a
// sectioned table. Positions in 32-bit wrap-around arithmetic; table and
// section numbers enter it as signed 16-bit values.
// Layout described in doc/file_format.md#header-and-table-directory (and #sectioned-tables).
#ifndef ZEL_FORMAT_DIRECTORY_H
#define ZEL_FORMAT_DIRECTORY_H

#include <cstdint>

#include "format/position.h"

namespace zel {

// Bytes 0 to 7 of both families are read by no reader.
constexpr Pos kDirectoryBaseAt = 8;
constexpr std::uint32_t kWordBytes = 4;  // directory base, directory entries, section offsets

// A place in an OSDB table that is not a section of it.
constexpr int kPlain = -1;

// Entry `table` of the table directory; the table starts at the directory
// base + the entry's value.
inline Pos tableEntryAt(Pos directoryBase, std::uint16_t table) {
    return directoryBase + kWordBytes * wide16(table);
}

// A sectioned OSDB table: an unread word at the table start, then the section
// offset list, each offset relative to the table start.
inline Pos sectionEntryAt(Pos tableStart, std::uint16_t section) {
    return tableStart + kWordBytes + kWordBytes * wide16(section);
}

}  // namespace zel

#endif
