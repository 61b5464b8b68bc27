// Running the zelcomdb program from the tests, and the sample description.
#ifndef ZEL_TESTS_TOOL_TOOL_RUN_H
#define ZEL_TESTS_TOOL_TOOL_RUN_H

#include <string>
#include <vector>

#include "schema.h"

namespace zel::testing {

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs zelcomdb with the arguments, capturing its output and exit status.
ToolRun runTool(const std::vector<std::string>& args);

// The lines of a text.
std::vector<std::string> linesOf(const std::string& text);

// The bundled sample description.
const tool::Json& sampleDescription();
std::string samplePath();

// A directory holding the sample database, built once for the test program.
const std::string& sampleDir();

// A copy of the sample description with only its databases[index].
tool::Json samplePair(std::size_t index);

}  // namespace zel::testing

#endif
