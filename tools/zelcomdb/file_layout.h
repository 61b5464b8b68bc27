// How a database file is laid out as the library's readers see it: the named
// ranges of its bytes (header, table directory, tables, section offset lists,
// sections, rows, CPU specification values, memory entries, JQWDB table
// headers and records) and every byte some reader reads. The structure comes
// from the same walk that `check` makes (check_osdb.cpp, check_jqwdb.cpp),
// which follows the readers call by call: a read that fails ends that call,
// as it ends the library's.
#ifndef ZELCOMDB_FILE_LAYOUT_H
#define ZELCOMDB_FILE_LAYOUT_H

#include <cstdint>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "format/position.h"
#include "schema.h"

namespace zel::tool {

struct ByteRange {
    std::uint64_t offset = 0, length = 0;
};

// A named range of a file's bytes, as the readers see it.
struct LayoutPart {
    std::uint64_t offset = 0, length = 0;
    // Stable id: "header", "directory", "table", "section-offsets",
    // "section", "row", "cpu-values", "memory", "table-header", "split",
    // "record".
    std::string kind;
    std::string name;  // "table 6", "table 6 section 2", "pdbTb6 record 4"
    int depth = 0;     // 0 file level, 1 inside a table, 2 inside a section or record list
};

struct FileLayout {
    std::string family;          // "osdb" or "jqwdb"; "" for a name no pair composes
    std::uint64_t size = 0;      // the file's size in bytes
    std::uint64_t reachEnd = 0;  // how far its header and tables reach (may exceed size)
    // Sorted by offset, then depth. A part that reaches beyond the end of the
    // file is kept whole: its bytes there simply are not in the file.
    std::vector<LayoutPart> parts;
    // Sorted and merged: every byte of the file that some reader of some
    // model and OS number reads, for any item, entry or record index it
    // accepts.
    std::vector<ByteRange> reached;
};

// The layout of the file at `path`, for every CPU code and OS type whose
// composed name is its name in any letter case (the family and byte order as
// the library decides them). Entry bounds of JQWDB tables 2 and 4 come from
// the OSDB file the library reads beside it. Never throws: a damaged,
// missing or unreadable file gives what can be read of it.
FileLayout fileLayout(const std::string& path);

// Bytes that differ between two versions of a file, or exist in one only;
// sorted, merged. A version that cannot be read has none to compare.
std::vector<ByteRange> changedRanges(const std::string& oldPath, const std::string& newPath);

// Bytes that differ between two versions of a file (or exist in one only)
// that no reader reaches in either version's layout; sorted, merged.
std::vector<ByteRange> unreachedChanges(const std::string& oldPath, const std::string& newPath);

// {"family", "size", "reachEnd", "parts": [{"offset", "length", "kind",
// "name", "depth"}], "reached": [{"offset", "length"}]}
Json layoutJson(const FileLayout& layout);
// [{"offset", "length"}, ...], as layoutJson, diff and the report write ranges.
Json rangesJson(const std::vector<ByteRange>& ranges);

// Collects one walk of a file: the parts and the bytes the readers read.
class LayoutBuilder {
  public:
    explicit LayoutBuilder(std::uint64_t size) : m_size(size) {}

    // A part that starts at `start` (a position as the readers form it) and
    // grows over the reads given to it; the same kind and name give the same
    // part. -1 when the start lies before the file.
    int part(Pos start, const char* kind, const std::string& name, int depth);
    // A field of `width` bytes that a reader reads at pos, part of the given
    // parts (-1 for none): the bytes the file holds join `reached`. False when
    // the read fails (a negative position, or the file ends inside the
    // field), as the reader's call then ends.
    bool read(Pos pos, std::uint32_t width, std::initializer_list<int> parts = {});
    // Makes a part at least `length` bytes long, whatever its reads cover.
    void cover(int part, std::uint64_t length);

    // Adds this walk to a layout.
    void addTo(FileLayout& layout) const;

  private:
    struct Growing {
        LayoutPart part;
        std::uint64_t end;
    };
    std::uint64_t m_size;
    std::uint64_t m_reachEnd = 0;
    std::vector<Growing> m_parts;
    std::map<std::string, int> m_byName;
    std::vector<ByteRange> m_reached;
};

// Sorts ranges and merges those that overlap or touch.
std::vector<ByteRange> mergedRanges(std::vector<ByteRange> ranges);

}  // namespace zel::tool

#endif
