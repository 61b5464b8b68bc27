// `zelcomdb dump`: everything the library answers for a model and OS number,
// read through the public class like any host, as a JSON description in the
// schema that `build` reads (schema.h). Values the library does not give
// (absent items, errors) appear as their result codes.
#ifndef ZELCOMDB_DUMP_H
#define ZELCOMDB_DUMP_H

#include <optional>
#include <string>
#include <vector>

#include "database_dir.h"
#include "schema.h"

namespace zel::tool {

// What a dump shows: the tables named by their JSON keys (all when none),
// and one OSDB item number, memory kind or JQWDB record index (all when
// none). A selected record carries its "index".
struct DumpSelection {
    std::vector<std::string> tables;
    std::optional<int> item;

    bool wants(const std::string& table) const;
    bool wantsOsdb() const;
    bool wantsJqwdb() const;
};

// The keys `--table` takes: cpuSpec, dbTb2 .. dbTb5, memory, pdbTb0 .. pdbTb10.
const std::vector<std::string>& tableKeys();

// The description of one pair.
Json dumpPair(const std::string& dir, const ModelOsPair& pair, const DumpSelection& selection = {});
// The whole document for the given pairs; with a selection it names it.
Json dumpDocument(const std::string& dir, const std::vector<ModelOsPair>& pairs,
                  const DumpSelection& selection = {});
// Whether a value asked for came back as a failure: a file error (100 and
// above) anywhere, or, when one item is selected, any result code other
// than 0. Absent items (-2) and refused indices (-1) are part of a whole
// dump: they are what the library answers beyond a file's contents.
bool dumpHasFailures(const Json& document, const DumpSelection& selection);
// Every pair of the directory with at least one database file present, one
// per CPU code and OS type.
std::vector<ModelOsPair> presentPairs(const std::string& dir);

}  // namespace zel::tool

#endif
