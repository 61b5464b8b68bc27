// Writing a database directory as a whole: the files go into a new directory
// beside the target, which takes the target's place only when every file has
// been written, flushed to the disk and closed. On any failure, and on
// SIGINT or SIGTERM, nothing is left behind and an existing target is kept
// as it was. The target is found as the system finds it: the real path of
// its parent, then its last name.
//
// Builds into one target take a lock, .NAME.lock beside it, and holding it
// a build first deals with what an interrupted one left: where NAME is
// missing, the old directory (.NAME.old-*) is put back; every other
// .NAME.new-* and .NAME.old-* is removed. A new directory is never promoted
// by a later build, since nothing tells that it was finished.
//
// Replacing swaps the two directories in one step where the system can
// (Linux). Elsewhere the old directory is renamed aside and the new one in;
// killed between the two renames, the target is missing until the next
// build puts the old one back.
#ifndef ZELCOMDB_OUTPUT_DIR_H
#define ZELCOMDB_OUTPUT_DIR_H

#include <string>
#include <vector>

#include "build.h"

namespace zel::tool {

// An existing target must be a directory, not a symbolic link, and must not
// be or hold the working directory, the description, the root or the home
// directory. One that is not empty is refused unless `replace`, and then
// replaced whole (no file of it stays); an empty one is removed only while
// it is empty. Throws ToolError.
void writeDirectory(const std::string& outDir, const std::vector<BuiltFile>& files, bool replace,
                    const std::string& descriptionPath);

}  // namespace zel::tool

#endif
