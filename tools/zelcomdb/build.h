// `zelcomdb build DESCRIPTION.json OUTDIR`: writes the OSDB and JQWDB files
// of every model/OS pair of a description (schema.h). The whole description
// is checked before any file is written.
#ifndef ZELCOMDB_BUILD_H
#define ZELCOMDB_BUILD_H

#include <string>
#include <vector>

#include "schema.h"
#include "writer/db_writer.h"

namespace zel::tool {

struct BuiltFile {
    std::string name;  // as the library composes it, "OSDB2D.BIN"
    writer::Bytes bytes;
};

// The files of a description; throws ToolError naming what it refuses.
std::vector<BuiltFile> buildFiles(const Json& description);

// The name that reads the description from standard input.
constexpr const char* kStandardInput = "-";
// A description nests at most this deep (databases, pair, part, table,
// record, entries, entry, result).
constexpr int kDeepestNesting = 8;

// The largest description read, 64 MiB: the sample takes about 1 MiB, a
// dump of all 255 model/OS pairs with every table full a few tens.
constexpr std::size_t kLargestDescription = std::size_t{64} << 20;

// Reads the description file, or standard input for "-" (ToolError for an
// unreadable file, invalid JSON, a key twice in one object, nesting deeper
// than a description uses or more than kLargestDescription bytes).
Json readDescription(const std::string& path);

// Builds the files and writes them into outDir as a whole (output_dir.h);
// the names of the files written.
std::vector<std::string> buildDatabase(const std::string& descriptionPath,
                                       const std::string& outDir, bool replace = false);

}  // namespace zel::tool

#endif
