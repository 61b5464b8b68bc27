// Running the zelcomdb program from the tests, and the sample database.
#ifndef ZEL_TESTS_TOOL_TOOL_RUN_H
#define ZEL_TESTS_TOOL_TOOL_RUN_H

#include <string>
#include <vector>

#include "schema.h"

namespace zel::testing {

struct ToolRun {
    int status = -1;
    std::string out, err;
};

// Runs zelcomdb with the arguments, capturing its output and exit status.
ToolRun runTool(const std::vector<std::string>& args);
std::string readText(const std::string& path);

// The bundled sample description, and a directory holding the sample
// database, built once.
const tool::Json& sampleDescription();
const std::string& sampleDir();

}  // namespace zel::testing

#endif
