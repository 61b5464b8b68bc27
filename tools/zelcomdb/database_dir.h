// The database files of a directory, found by the names the library composes
// without regard to letter case, and the model/OS pairs that have names.
#ifndef ZELCOMDB_DATABASE_DIR_H
#define ZELCOMDB_DATABASE_DIR_H

#include <string>
#include <vector>

#include "accessor/file_naming.h"

namespace zel::tool {

// A model index and OS number with the CPU code, OS type and file names
// they stand for.
struct ModelOsPair {
    short model = 0;
    short osNumber = 0;
    short cpuCode = 0;
    short osType = 0;
    std::string osdbName;  // "OSDB2D.BIN"
    std::string jqwdbName;
};

// The pair for a model index and OS number; false when either is out of
// range. The names are empty when the pair has no database file.
bool pairOf(short model, short osNumber, ModelOsPair& pair);

// Every pair that has database file names. With distinctFiles, one pair per
// CPU code and OS type (the lowest model index), since several model indices
// share a CPU code.
std::vector<ModelOsPair> namedPairs(bool distinctFiles);

// A database directory as the library reads it: the directory its composed
// names lead to (a backslash in the path given is a separator there), and
// the file the library opens for each name (file_lookup.h).
class DatabaseDir {
  public:
    // Lists the directory; throws ToolError when it cannot be read.
    explicit DatabaseDir(const std::string& path);

    // The path as given, and the directory the library looks in.
    const std::string& path() const { return m_path; }
    const std::string& readPath() const { return m_readPath; }
    // The path as given, and where a backslash in it led the library.
    const std::string& shown() const { return m_shown; }
    // What the library finds for the OSDB or the JQWDB file of a pair.
    FoundFile lookUp(const ModelOsPair& pair, bool osdb) const;
    // The path of an entry of the directory the library looks in.
    std::string pathOf(const std::string& entry) const;
    // Every entry equal to `name` without regard to ASCII letter case.
    std::vector<std::string> variants(const std::string& name) const;
    const std::vector<std::string>& entries() const { return m_entries; }

  private:
    std::string m_path;
    std::string m_readPath;
    std::string m_shown;
    std::vector<std::string> m_entries;
};

// Why the library cannot read what stands under the name ("not a regular
// file", "cannot open: REASON"), or "" when it opens it or finds nothing.
std::string problemOf(const FoundFile& found);

// Whether something stands under the name: a file the library opens or an
// entry it refuses.
inline bool exists(const FoundFile& found) {
    return found.state != FileState::missing && found.state != FileState::unnamed;
}

}  // namespace zel::tool

#endif
