// `zelcomdb diff DIR_A DIR_B`: what the library answers in two database
// directories, compared value by value. Both directories are dumped
// (dump.h) and the dumps walked side by side; a result code counts as a
// value, so a value that became an error is a difference like any other.
#ifndef ZELCOMDB_DIFF_H
#define ZELCOMDB_DIFF_H

#include <optional>
#include <string>
#include <vector>

#include "database_dir.h"
#include "schema.h"

namespace zel::tool {

struct Difference {
    short model = 0;
    short osNumber = 0;
    std::string table;         // "dbTb3", "pdbTb6", or "osdb"/"jqwdb" for a whole file
    std::optional<int> index;  // the item, memory kind or record; none for the whole table
    std::string field;         // "address", "entries[1].kind"; empty for the whole item
    Json before;               // null where A has nothing there
    Json after;
};

// The differences between two dumps of the same pair (dumpPair).
std::vector<Difference> diffPair(const Json& a, const Json& b);
// Dumps the pairs in both directories and compares them.
std::vector<Difference> diffDirectories(const std::string& dirA, const std::string& dirB,
                                        const std::vector<ModelOsPair>& pairs);
// The pairs with a database file in either directory.
std::vector<ModelOsPair> pairsInEither(const std::string& dirA, const std::string& dirB);

// "model 1, OS 1, dbTb3, item 12, address: 4660 -> 4661"
std::string differenceLine(const Difference& d);
// {"differences": [{"model", "osNumber", "table", "index", "field", "old", "new"}], "count"}
Json differencesJson(const std::vector<Difference>& differences);

}  // namespace zel::tool

#endif
