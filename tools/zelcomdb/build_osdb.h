// The OSDB half of `build`: turns the "osdb" part of a pair's description
// into file bytes. Every table and section that a reader of the CPU code can
// reach is laid out in full (zeros where the description gives nothing), so
// that the built file answers every accepted selector.
#ifndef ZELCOMDB_BUILD_OSDB_H
#define ZELCOMDB_BUILD_OSDB_H

#include <string>

#include "database_dir.h"
#include "osdb_geometry.h"
#include "schema.h"
#include "writer/db_writer.h"

namespace zel::tool {

// The CPU specification values of a description: the six values, zeros when
// the description gives none.
void cpuSpecOf(const Json& osdb, const std::string& path, CpuSpecValues& cpuValues);

// Throws ToolError naming the JSON path of what it refuses.
writer::Bytes buildOsdbFile(const Json& osdb, const std::string& path, const ModelOsPair& pair);

}  // namespace zel::tool

#endif
