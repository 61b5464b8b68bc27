// Builds OSDB and JQWDB database files from a logical description: tables,
// sections and fields are placed by the writer, and every 2- and 4-byte value
// is stored in the byte order that the file's CPU code demands, so one
// description gives the same answers in either order. Used by the tests and
// the tools; not part of the library's interface.
#ifndef ZEL_WRITER_DB_WRITER_H
#define ZEL_WRITER_DB_WRITER_H

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "format/bytes.h"
#include "format/cpu_spec_values.h"

namespace zel::writer {

using Bytes = std::vector<std::uint8_t>;

// A stretch of a file (a plain table, a section) given by its fields; bytes
// no field covers are zero.
class Region {
  public:
    Region& u8(std::uint32_t offset, std::uint8_t value) { return put(offset, 1, value); }
    Region& u16(std::uint32_t offset, std::uint16_t value) { return put(offset, 2, value); }
    Region& u32(std::uint32_t offset, std::uint32_t value) { return put(offset, 4, value); }
    // Makes the region at least n bytes long.
    Region& reserve(std::uint32_t n);

    std::uint32_t size() const { return m_size; }
    Bytes bytes(ByteOrder order) const;

  private:
    struct Field {
        std::uint32_t offset;
        std::uint8_t width;
        std::uint32_t value;
    };
    Region& put(std::uint32_t offset, std::uint8_t width, std::uint32_t value);

    std::vector<Field> m_fields;
    std::uint32_t m_size = 0;
};

struct EndsInside {
    unsigned table;
    int section;
    std::uint32_t length;
};

// An OSDB table: plain, or (when sections is not empty) a sectioned table of
// an unread word, the section offset list and the sections.
struct OsdbTable {
    Region plain;
    std::vector<Region> sections;
};

struct OsdbLayout {
    std::map<unsigned, OsdbTable> tables;  // by table number
    unsigned directoryEntries = 16;
    std::uint32_t directoryBase = 16;
    // Place the directory after the tables (then directoryBase is ignored and
    // the directory entries are negative offsets, as 32-bit values).
    bool directoryLast = false;
    // Directory entries stored as given instead of the table's real offset
    // (for damaged files).
    std::map<unsigned, std::uint32_t> entryOverrides;
    // Tables and sections that the readers are to find at these absolute
    // positions instead of where their bytes lie (beyond the end of the
    // file, or negative as signed 32-bit values, so that reads there fail):
    // the directory entries and section offsets are stored to point there.
    std::map<unsigned, std::uint32_t> tablesAt;
    std::map<std::pair<unsigned, unsigned>, std::uint32_t> sectionsAt;
    // The table (section kPlain) or section placed after all others, the
    // file ending `length` bytes into it, so that reads beyond that meet the
    // end of the file. Not with directoryLast.
    std::optional<EndsInside> endsInside;
};

// Where the writer put things, as absolute file positions.
struct Placement {
    std::uint32_t directoryBase = 0;
    std::map<unsigned, std::uint32_t> tableStart;
    std::map<unsigned, std::vector<std::uint32_t>> sectionStart;
};

Bytes buildOsdb(const OsdbLayout& layout, ByteOrder order, Placement* placement = nullptr);

// Fills table 0 and sections 0 and 1 of table 2 with
// the six CPU specification values.
void setCpuSpecValues(OsdbLayout& layout, const std::int32_t (&values)[kCpuSpecValues]);

// A JQWDB table: the 16-byte header and records placed at the record size.
struct JqwdbTable {
    std::int32_t lastIndex = 0;  // table 10: the item count
    std::int32_t recordSize = 16;
    // Table 10: the header words at bytes 8 and 12, which hold splitIndex
    // and splitValue in their low 16 bits; 0 in the other tables.
    std::uint32_t splitIndexWord = 0;
    std::uint32_t splitValueWord = 0;
    std::vector<Bytes> records;
};

struct JqwdbLayout {
    std::map<unsigned, JqwdbTable> tables;  // 0..10
    std::uint32_t directoryBase = 16;
    std::map<unsigned, std::uint32_t> entryOverrides;
    std::map<unsigned, std::uint32_t> tablesAt;  // as in OsdbLayout
    std::optional<EndsInside> endsInside;        // as in OsdbLayout; a table
};

Bytes buildJqwdb(const JqwdbLayout& layout, Placement* placement = nullptr);

// Writes bytes to a file, replacing it; throws std::runtime_error on failure.
void writeFile(const std::string& path, const Bytes& bytes);

}  // namespace zel::writer

#endif
