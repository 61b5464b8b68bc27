// Following the table directory of an open OSDB file: the directory base at
// offset 8, the table offsets relative to it, and the section offset list of a
// sectioned table. Table and section numbers enter the position arithmetic as
// signed 16-bit values.
#ifndef ZEL_OSDB_TABLE_DIRECTORY_H
#define ZEL_OSDB_TABLE_DIRECTORY_H

#include <cstdint>

#include "accessor/field_reader.h"
#include "accessor/position.h"

namespace zel {

constexpr Pos kDirectoryBaseAt = 8;

// Start of a table: directory base + entry `table` of the table directory.
inline Pos tableStartOf(FieldReader& r, std::uint16_t table) {
    const Pos directory = r.u32(kDirectoryBaseAt);
    return directory + r.u32(directory + 4u * wide16(table));
}

// Start of a section of a sectioned table: the section offset list follows
// the table's first (unread) word.
inline Pos sectionStartOf(FieldReader& r, Pos tableStart, std::uint16_t section) {
    return tableStart + r.u32(tableStart + 4u + 4u * wide16(section));
}

}  // namespace zel

#endif
