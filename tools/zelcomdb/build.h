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

// Reads the description file (ToolError for unreadable or invalid JSON).
Json readDescription(const std::string& path);

// Builds and writes the files into outDir (created when missing); the names
// of the files written.
std::vector<std::string> buildDatabase(const std::string& descriptionPath,
                                       const std::string& outDir);

}  // namespace zel::tool

#endif
