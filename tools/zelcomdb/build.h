// `zelcomdb build DESCRIPTION.json OUTDIR`: writes the OSDB and JQWDB files
// of every model/OS pair of a description (description.schema.json). The
// whole description is checked before any file is written, and every error
// found is reported (up to Refusals::kShown), each naming its JSON Pointer.
//
// `build` lays a file out so that the library gives each result entry back
// where a file can: 102 for a whole part (the file is not written), 109 or
// 114 for everything read from one table or section (placed at a negative
// position or beyond the end of the file), 114 for what lies after the
// values of one table or section per file (placed last, the file ending
// after its values), -2 for an absent item, -1 for memory kind 2. Any other
// result is refused, naming its path. The description says what the library
// answers, not where it lies in the file: the builder lays the files out
// itself, and record sizes are its choice.
#ifndef ZELCOMDB_BUILD_H
#define ZELCOMDB_BUILD_H

#include <string>
#include <vector>

#include "description_errors.h"
#include "schema.h"
#include "writer/db_writer.h"

namespace zel::tool {

struct BuiltFile {
    std::string name;  // as the library composes it, "OSDB2D.BIN"
    writer::Bytes bytes;
};

// The files of a description; throws DescriptionRefused naming what it
// refuses.
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
// unreadable file, invalid JSON with its line and column, nesting deeper
// than a description uses or more than kLargestDescription bytes;
// DescriptionRefused naming every key that appears twice in one object).
Json readDescription(const std::string& path);

// Builds the files and writes them into outDir as a whole (output_dir.h);
// the names of the files written.
std::vector<std::string> buildDatabase(const std::string& descriptionPath,
                                       const std::string& outDir, bool replace = false);

}  // namespace zel::tool

#endif
