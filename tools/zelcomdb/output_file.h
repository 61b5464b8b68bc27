// A file the tool writes whole (the report): the text goes to a new file
// beside the target, which takes the target's name in one rename only when
// every byte is written and flushed to the disk. A failure, or SIGINT or
// SIGTERM, leaves no half file and the user's file as it was.
#ifndef ZELCOMDB_OUTPUT_FILE_H
#define ZELCOMDB_OUTPUT_FILE_H

#include <string>

namespace zel::tool {

// Writes text to path, "-" for standard output. An existing path must be a
// regular file (not a directory, a symbolic link or a device), and is
// replaced. Throws ToolError.
void writeOutputFile(const std::string& path, const std::string& text);

}  // namespace zel::tool

#endif
