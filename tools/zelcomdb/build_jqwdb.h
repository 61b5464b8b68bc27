// The JQWDB half of `build`: the "jqwdb" part of a pair's description into
// file bytes. The record sizes are the builder's: the bytes a reader uses,
// rounded up to 4, and for tables 2 and 4 one 4-byte entry per accepted entry
// number. Table 10's splitIndex and splitValue are derived from its items.
#ifndef ZELCOMDB_BUILD_JQWDB_H
#define ZELCOMDB_BUILD_JQWDB_H

#include <cstdint>
#include <string>
#include <vector>

#include "build_osdb.h"
#include "database_dir.h"
#include "osdb_geometry.h"
#include "schema.h"
#include "writer/db_writer.h"

namespace zel::tool {

// The split of table 10 that gives the described items: splitIndex 0 when
// every item is a head item.
struct BackupSplit {
    std::uint16_t splitIndex = 0;
    std::uint16_t splitValue = 0;
};
// items[i] = {value1, value2, attr1, ..., attr5}; throws ToolError naming
// the item that no split can give.
BackupSplit deriveBackupSplit(const std::vector<std::vector<std::int64_t>>& items,
                              const std::string& path);

// spec: what CpuSpec answers for the pair (tables 2 and 4 ask it first).
// What one table refuses goes to `refusals`, and the next table is read still.
writer::Bytes buildJqwdbFile(const Json& jqwdb, const std::string& path, const ModelOsPair& pair,
                             const CpuSpecAnswer& spec, Refusals& refusals);

}  // namespace zel::tool

#endif
