// `zelcomdb dump`: everything the library answers for a model and OS number,
// read through the public class like any host, as a JSON description in the
// schema that `build` reads (schema.h). Values the library does not give
// (absent items, errors) appear as their result codes.
#ifndef ZELCOMDB_DUMP_H
#define ZELCOMDB_DUMP_H

#include <string>
#include <vector>

#include "database_dir.h"
#include "schema.h"

namespace zel::tool {

// The description of one pair.
Json dumpPair(const std::string& dir, const ModelOsPair& pair);
// The whole document for the given pairs.
Json dumpDocument(const std::string& dir, const std::vector<ModelOsPair>& pairs);
// Every pair of the directory with at least one database file present, one
// per CPU code and OS type.
std::vector<ModelOsPair> presentPairs(const std::string& dir);

}  // namespace zel::tool

#endif
