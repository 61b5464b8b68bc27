// Writing a database directory as a whole: the files go into a new directory
// beside the target, which takes the target's place only when every file has
// been written, flushed to the disk and closed. On any failure nothing is
// left behind and an existing target is kept as it was.
#ifndef ZELCOMDB_OUTPUT_DIR_H
#define ZELCOMDB_OUTPUT_DIR_H

#include <string>
#include <vector>

#include "build.h"

namespace zel::tool {

// An existing target must be a directory; one that is not empty is refused
// unless `replace`, and then replaced whole (no file of it stays). Throws
// ToolError.
void writeDirectory(const std::string& outDir, const std::vector<BuiltFile>& files, bool replace);

}  // namespace zel::tool

#endif
