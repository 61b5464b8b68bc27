// The OSDB half of `build`: turns the "osdb" part of a pair's description
// into file bytes. Every table and section that a reader of the CPU code can
// reach is laid out in full (zeros where the description gives nothing), so
// that the built file answers every accepted selector.
#ifndef ZELCOMDB_BUILD_OSDB_H
#define ZELCOMDB_BUILD_OSDB_H

#include <string>

#include "database_dir.h"
#include "description_errors.h"
#include "failing_place.h"
#include "osdb_geometry.h"
#include "schema.h"
#include "writer/db_writer.h"

namespace zel::tool {

// What CpuSpec answers for a pair once it is built: 0 with the six values
// (zeros when the description gives none), the result the description gives
// in their place, or 102 when no OSDB file is built.
struct CpuSpecAnswer {
    short result = kFileNotFound;
    CpuSpecValues values = {};
};
// The answer of an OSDB part (path: its JSON Pointer); refuses a result that a
// built file cannot give.
CpuSpecAnswer cpuSpecOf(const Json& osdb, const std::string& path);

// Throws ToolError naming the JSON Pointer of what it refuses first; what
// single items and memory kinds refuse goes to `refusals`, and the next one
// is read still.
writer::Bytes buildOsdbFile(const Json& osdb, const std::string& path, const ModelOsPair& pair,
                            Refusals& refusals);

}  // namespace zel::tool

#endif
