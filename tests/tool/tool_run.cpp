#include "tool_run.h"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "build.h"
#include "tests/support/temp_dir.h"

namespace zel::testing {

std::string shellQuoted(const std::string& argument) {
    std::string quoted = "'";
    for (char c : argument) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

ToolRun runTool(const std::vector<std::string>& args, const RunOptions& options) {
    TempDir capture;
    std::string command = options.before + " timeout -k 5 60 " + shellQuoted(ZELCOMDB_PROGRAM);
    for (const auto& a : args) command += " " + shellQuoted(a);
    command += " >" + shellQuoted(capture.file("out")) + " 2>" + shellQuoted(capture.file("err"));
    command += " <" + shellQuoted(options.input.empty() ? "/dev/null" : options.input);
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
