#include "tool_run.h"

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "build.h"
#include "tests/support/temp_dir.h"

namespace zel::testing {
namespace {

std::string quoted(const std::string& arg) {
    std::string q = "'";
    for (char c : arg) q += (c == '\'') ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace

ToolRun runTool(const std::vector<std::string>& args) {
    TempDir capture;
    std::string command = quoted(ZELCOMDB_PROGRAM);
    for (const auto& a : args) command += " " + quoted(a);
    command += " >" + quoted(capture.file("out")) + " 2>" + quoted(capture.file("err"));
    const int raw = std::system(command.c_str());
    ToolRun run;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = slurp(capture.file("out"));
    run.err = slurp(capture.file("err"));
    return run;
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::stringstream s(text);
    for (std::string line; std::getline(s, line);) lines.push_back(line);
    return lines;
}

std::string samplePath() { return ZELCOMDB_SAMPLE; }

const tool::Json& sampleDescription() {
    static const tool::Json sample = tool::readDescription(samplePath());
    return sample;
}

const std::string& sampleDir() {
    static const TempDir dir;
    static const bool built = !tool::buildDatabase(samplePath(), dir.path()).empty();
    (void)built;
    return dir.path();
}

tool::Json samplePair(std::size_t index) {
    tool::Json d = sampleDescription();
    d["databases"] = tool::Json::array({sampleDescription()["databases"][index]});
    return d;
}

}  // namespace zel::testing
