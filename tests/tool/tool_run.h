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

struct RunOptions {
    std::string input;   // a file for standard input; none when empty
    std::string before;  // shell commands run first in the same shell ("ulimit -v N;")
};

// The exit status of a program that hung and was stopped.
constexpr int kHung = 124;

// Runs zelcomdb with the arguments, capturing its output and exit status; a
// run that takes longer than a minute is stopped with status kHung.
ToolRun runTool(const std::vector<std::string>& args, const RunOptions& options = {});
// An argument quoted for the shell.
std::string shellQuoted(const std::string& argument);
std::string readText(const std::string& path);

// The bundled sample description, and a directory holding the sample
// database, built once.
const tool::Json& sampleDescription();
const std::string& sampleDir();

}  // namespace zel::testing

#endif
