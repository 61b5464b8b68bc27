// `zelcomdb spec DIR MODEL OS`: the six CPU specification values, named.
#ifndef ZELCOMDB_CPU_VALUES_COMMAND_H
#define ZELCOMDB_CPU_VALUES_COMMAND_H

#include <ostream>
#include <string>

#include "database_dir.h"
#include "schema.h"

namespace zel::tool {

// The pair of a model index and OS number; throws ToolError when either is
// out of range or the pair has no database file.
ModelOsPair requirePair(int model, int osNumber);

// What each CPU specification value is, for the output.
const char* cpuSpecValueName(int value);

// {"model", "osNumber", "cpuCode", "osType", "osdbFile", "values": [...]},
// with "result" in place of "values" when the library gives a result code;
// throws ToolError when the directory cannot be read.
Json specJson(const std::string& dir, const ModelOsPair& pair);
void printSpec(const Json& doc, std::ostream& out);

}  // namespace zel::tool

#endif
