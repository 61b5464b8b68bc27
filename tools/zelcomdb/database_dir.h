// The database files of a directory, found by the names the library composes
// without regard to letter case, and the model/OS pairs that have names.
#ifndef ZELCOMDB_DATABASE_DIR_H
#define ZELCOMDB_DATABASE_DIR_H

#include <string>
#include <vector>

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

class DatabaseDir {
  public:
    // Lists the directory; throws ToolError when it cannot be read.
    explicit DatabaseDir(const std::string& path);

    const std::string& path() const { return m_path; }
    // The entry that the library reads for `name` (the letter-case rule of
    // file_naming.h: the exact name, else the first case variant by bytes),
    // or "" when there is none.
    std::string find(const std::string& name) const;
    // Every entry equal to `name` without regard to ASCII letter case.
    std::vector<std::string> variants(const std::string& name) const;
    const std::vector<std::string>& entries() const { return m_entries; }
    // The full path of an entry.
    std::string pathOf(const std::string& entry) const;

  private:
    std::string m_path;
    std::vector<std::string> m_entries;
};

}  // namespace zel::tool

#endif
