#include "tool_run.h"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "build.h"
#include "tests/support/temp_dir.h"

namespace zel::testing {

ToolRun runTool(const std::vector<std::string>& args) {
    TempDir capture;
    std::string command = "'" ZELCOMDB_PROGRAM "'";
    for (const auto& a : args) command += " '" + a + "'";  // no argument holds a quote
    command += " >'" + capture.file("out") + "' 2>'" + capture.file("err") + "'";
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readText(capture.file("out")),
            readText(capture.file("err"))};
}

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

const tool::Json& sampleDescription() {
    static const tool::Json sample = tool::readDescription(ZELCOMDB_SAMPLE);
    return sample;
}

const std::string& sampleDir() {
    static const TempDir dir;
    static const auto built = tool::buildDatabase(ZELCOMDB_SAMPLE, dir.path());
    (void)built;
    return dir.path();
}

}  // namespace zel::testing
