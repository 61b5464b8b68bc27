// `zelcomdb check DIR`: structural validation of every database file of a
// directory whose name the library would compose (any letter case): the
// header and table directory lie inside the file, every table, section and
// row that a mapped item or an accepted record index reaches lies inside the
// file, record sizes are plausible, last index and item count are not
// negative, and table 10's split values fit its item count. One finding per
// fault, naming the file, the table and the offset. The directory as a whole
// is checked too: names that differ only in letter case, a JQWDB file without
// the OSDB file its readers need, names that no model and OS number reach, a
// directory name too long for the names the library composes.
#ifndef ZELCOMDB_CHECK_H
#define ZELCOMDB_CHECK_H

#include <cstdint>
#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "database_dir.h"
#include "format/bytes.h"
#include "format/position.h"
#include "schema.h"
#include "tool_file.h"
#include "writer/db_writer.h"

namespace zel::tool {

// A finding's kind is a short stable id of its cause (the table in
// doc/zelcomdb.md); a finding that groups the items of one cause gives
// their range.
struct Finding {
    Finding(std::string file_, std::string where_, std::int64_t offset_, std::string message_,
            std::string kind_, int first_ = -1, int last_ = -1)
        : file(std::move(file_)),
          where(std::move(where_)),
          offset(offset_),
          message(std::move(message_)),
          kind(std::move(kind_)),
          first(first_),
          last(last_) {}
    std::string file;
    std::string where;    // "header", "directory", "table 6 section 0"
    std::int64_t offset;  // the file offset of the fault
    std::string message;
    std::string kind;           // "row-outside", "record-size", ...
    int first = -1, last = -1;  // the items of a grouped finding; -1 for none
};
std::string findingLine(const Finding& f);

// The findings of one file, each reported once.
class Findings {
  public:
    explicit Findings(std::string file) : m_file(std::move(file)) {}
    void add(const char* kind, const std::string& where, std::int64_t offset,
             const std::string& message, int first = -1, int last = -1);
    const std::vector<Finding>& list() const { return m_list; }

  private:
    std::string m_file;
    std::set<std::pair<std::string, std::int64_t>> m_seen;
    std::vector<Finding> m_list;
};

// A database file and its byte order; reads are checked against the file's
// end and positions taken as signed 32-bit values. Only the bytes asked for
// are read (a block at a time), so a file of any size costs little memory.
class FileImage {
  public:
    FileImage(const RegularFile& file, ByteOrder order) : m_file(file), m_order(order) {}
    std::uint64_t size() const { return m_file.size(); }
    // Whether [pos, pos + width) lies in the file (pos not negative).
    bool holds(Pos pos, std::uint64_t width) const;
    static bool negative(Pos pos) { return isNegative(pos); }
    // The value at pos; the caller has checked holds(pos, width).
    std::uint32_t u32(Pos pos) const;
    std::uint16_t u16(Pos pos) const;
    std::uint8_t u8(Pos pos) const;
    // Whether a read failed although the file holds the bytes (an I/O error,
    // or the file shrank); the values read then were 0.
    bool readFailed() const { return m_readFailed; }

  private:
    void bytesAt(Pos pos, std::size_t n, unsigned char* out) const;

    static constexpr std::size_t kBlock = 4096;
    const RegularFile& m_file;
    ByteOrder m_order;
    mutable std::vector<unsigned char> m_block;
    mutable std::uint64_t m_blockAt = 0;
    mutable bool m_readFailed = false;
};

// Checks a span of `width` bytes at pos that a reader reaches: a finding when
// it starts at a negative offset or ends beyond the file. True when sound.
bool checkSpan(const FileImage& file, Findings& findings, const char* kind,
               const std::string& where, Pos pos, std::uint64_t width, const std::string& what);

// The directory base at byte 8: a finding when the file is too short for it
// or it is negative. True with the base when sound.
bool directoryBaseOf(const FileImage& file, Findings& findings, Pos& base);

class LayoutBuilder;
// One walk of a file as the readers of a pair read it: the findings, and
// the parts and bytes read into the layout.
void checkOsdbFile(const FileImage& file, const ModelOsPair& pair, Findings& findings,
                   LayoutBuilder& layout);
// specValue0: CPU specification value 0 of the pair (bounds tables 2 and 4),
// or none when the OSDB file does not deliver it.
void checkJqwdbFile(const FileImage& file, const ModelOsPair& pair, const std::int32_t* specValue0,
                    Findings& findings, LayoutBuilder& layout);

struct CheckReport {
    std::string directory;
    std::vector<std::string> files;  // the database files checked, in name order
    std::vector<Finding> findings;   // sorted by file and offset
};

// Every finding of the directory; throws ToolError when the directory
// cannot be listed.
CheckReport checkDirectory(const std::string& dir);
// The findings, the count of each file that has any and the total; "ok" as
// the last line when there is none.
void printCheck(const CheckReport& report, std::ostream& out);
// {"directory", "files": [{"file", "findings"}], "findings": [{"file",
// "table", "offset", "reason", "kind", and "first", "last" when grouped}],
// "count", "ok"}
Json checkJson(const CheckReport& report);

}  // namespace zel::tool

#endif
