// `zelcomdb diff DIR_A DIR_B`: two deliveries of database files compared
// file by file. Each file the library reads under a composed name is matched
// in both directories by the library's own lookup: added, removed, renamed in
// letter case, or changed. What the library answers from the files is then
// compared value by value (both directories dumped, dump.h, and the dumps
// walked side by side; a result code counts as a value), and the bytes that
// changed where no reader reaches are counted, so that no change is
// invisible.
#ifndef ZELCOMDB_DIFF_H
#define ZELCOMDB_DIFF_H

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "database_dir.h"
#include "dump.h"
#include "file_layout.h"
#include "schema.h"

namespace zel::tool {

// What a diff compares: the pairs of one model index and/or OS number (all
// when none), and the tables and item of a dump's selection.
struct DiffFilter {
    std::optional<int> model;
    std::optional<int> osNumber;
    DumpSelection selection;
};

// The value of a file as a whole in a difference: the library opens it.
constexpr const char* kFilePresent = "present";

// A value that differs. For a file added or removed as a whole, the one
// difference names the file and leaves model, OS number, table and index
// out; `before` and `after` are then "present" or null.
struct Difference {
    std::string file;  // the name the library reads (the new one where both exist)
    std::optional<short> model;
    std::optional<short> osNumber;
    std::string table;         // "dbTb3", "pdbTb6"; empty for the whole file
    std::optional<int> index;  // the item, memory kind or record; none for the whole table
    std::string field;         // "address", "entries[1].kind"; empty for the whole unit
    Json before;               // null where A has nothing there
    Json after;
};

enum class FileStatus { added, removed, renamed, changed };

// One database file that differs between the directories.
struct FileDifference {
    FileStatus status = FileStatus::changed;
    bool osdb = true;
    std::string oldName, newName;  // the directory entries; empty where absent
    // Renamed: the entry the library reads in DIR_B. A letter-case
    // duplicate (added or removed beside the file the library reads): the
    // entry it reads instead, in the directory that holds the duplicate.
    std::string readName;
    bool caseDuplicate = false;            // no reader reads this entry
    std::vector<ModelOsPair> readers;      // every model and OS number that reads it
    std::optional<std::uint64_t> oldSize;  // regular files only
    std::optional<std::uint64_t> newSize;
    // Bytes that differ or exist in one version only; none where a version
    // is no regular file and nothing was compared.
    std::optional<std::uint64_t> changedBytes;
    std::size_t differences = 0;       // entries of DirectoryDiff::differences for it
    std::vector<ByteRange> unreached;  // changed bytes no reader reaches in either version
    std::uint64_t unreachedBytes() const;
    const std::string& name() const { return newName.empty() ? oldName : newName; }
};

struct DirectoryDiff {
    std::string oldDir, newDir;
    std::vector<FileDifference> files;  // by name, letter case aside
    std::vector<Difference> differences;
    std::size_t unchanged = 0;  // files compared that are the same in both
};

// How many files differ in each way, and the bytes no reader reaches.
struct DiffCounts {
    std::size_t byStatus[4] = {};  // by FileStatus
    std::size_t files = 0;
    std::uint64_t unreachedBytes = 0;
    std::size_t of(FileStatus s) const { return byStatus[static_cast<int>(s)]; }
};
DiffCounts countsOf(const DirectoryDiff& diff);
// "added", "removed", "renamed", "changed"
const char* statusWord(FileStatus status);

// Matches the files of both directories and compares what the library
// answers from them. Throws ToolError when a directory cannot be read.
DirectoryDiff diffDirectories(const std::string& oldDir, const std::string& newDir,
                              const DiffFilter& filter = {});

// The key that numbers a table's units in a dump ("item" in the OSDB tables,
// "kind" in memory), or nullptr where their place in the list numbers them.
const char* numberKeyOf(const std::string& table);

// The differences between two dumps of the same pair (dumpPair), each
// named by the file of its part.
std::vector<Difference> diffPair(const Json& a, const Json& b);

// The JSON document of a diff:
//   {"old", "new", "summary": {"added", "removed", "renamed", "changed",
//    "unchanged", "differences", "unreachedBytes"},
//    "files": [{"status", "family", "oldName", "newName", ["readName",]
//               ["caseDuplicate",] "readers": [{"model", "os"}], "oldSize",
//               "newSize", "changedBytes", "differences",
//               "unreached": {"bytes", "ranges": [{"offset", "length"}]}}],
//    "differences": [{"file", "model", "os", "table", "index", "field",
//                     "old", "new"}]}
// Values as dump --json gives them; a result code as {"result", "text"}.
Json diffDocument(const DirectoryDiff& diff);
Json diffDocument(const std::string& oldDir, const std::string& newDir,
                  const DiffFilter& filter = {});

// A value as diff's text shows it: in the radix dump shows the field in
// (table and field as in a difference), a result code with its text, a
// whole record as its fields, a long list by its count.
std::string valueText(const Json& value, const std::string& table = {},
                      const std::string& field = {});
// "dbTb2, item 0, addresses, entry 3": a difference's place numbered as dump
// shows it (entries from 1, records and memory indices from 0).
std::string placeText(const Difference& d);

// The summary line, "3 files changed (1 removed, ...), 12 differences, ...".
std::string summaryLine(const DirectoryDiff& diff);
// The text forms: summary, then each file's header and its differences;
// --stat (a line per file, then the summary); --name-only.
void printDiff(const DirectoryDiff& diff, std::ostream& out);
void printDiffStat(const DirectoryDiff& diff, std::ostream& out);
void printDiffNames(const DirectoryDiff& diff, std::ostream& out);

}  // namespace zel::tool

#endif
