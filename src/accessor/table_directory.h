// Following the table directory of an open OSDB or JQWDB file: the directory
// base, the table offsets relative to it, and the section offset list of a
// sectioned OSDB table (format/directory.h).
#ifndef ZEL_ACCESSOR_TABLE_DIRECTORY_H
#define ZEL_ACCESSOR_TABLE_DIRECTORY_H

#include <cstdint>

#include "format/directory.h"
#include "platform/field_reader.h"

namespace zel {

// Start of a table: directory base + entry `table` of the table directory.
inline Pos tableStartOf(FieldReader& r, std::uint16_t table) {
    const Pos directory = r.u32(kDirectoryBaseAt);
    return directory + r.u32(tableEntryAt(directory, table));
}

// Start of a section of a sectioned table.
inline Pos sectionStartOf(FieldReader& r, Pos tableStart, std::uint16_t section) {
    return tableStart + r.u32(sectionEntryAt(tableStart, section));
}

}  // namespace zel

#endif
