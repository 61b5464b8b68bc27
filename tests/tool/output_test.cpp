// Output that cannot be written is a failure of the tool: every subcommand
// ends with exit status 2 and says so, whether the device refuses the first
// byte or the file system fills up part-way.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"
#include "tool_run.h"

namespace {

using zel::testing::runTool;
using zel::testing::sampleDir;
using zel::testing::TempDir;

constexpr const char* kLost = "zelcomdb: cannot write output: No space left on device\n";

TEST(Output, ThatCannotBeWrittenIsAnErrorOfEverySubcommand) {
#if defined(_WIN32)
    GTEST_SKIP() << "Windows has no device that is always full";
#endif
    TempDir empty;
    const std::string s = sampleDir();
    const std::vector<std::string> commands[] = {
        {"dump", s, "1", "1"},
        {"dump", s, "--all", "--json"},
        {"check", s},
        {"check", s, "--json"},
        {"models", s},
        {"spec", s, "1", "1"},
        {"diff", s, empty.path(), "1", "1"},
        {"build", ZELCOMDB_SAMPLE, empty.file("db")},
        {"report", s, s, "-o", "-"},
        {"schema"},
        {"--version"},
        {"--help"},
        {"help"},
        {"help", "dump"},
    };
    for (const auto& args : commands) {
        const auto run = runTool(args, {"", "", "/dev/full"});
        EXPECT_EQ(run.status, 2) << args[0];
        EXPECT_EQ(run.err.substr(run.err.size() - std::min(run.err.size(), std::strlen(kLost))),
                  kLost)
            << args[0];
    }
}

// A dump saved on a file system that fills up is cut, and the tool says so.
TEST(Output, DumpCutByAFullFileSystemIsAnError) {
    TempDir dir;
    const std::string saved = dir.file("dump.json");
    // The program's standard output goes to the small file system; the size
    // of what reached it is printed after.
    const std::string mount = zel::testing::inSmallFileSystem(
        dir, "64k", " >" + saved + "; s=$?; wc -c <" + saved + "; exit $s");
    if (mount.empty()) GTEST_SKIP() << "cannot mount a small file system here";
    const auto run = runTool({"dump", sampleDir(), "--all", "--json"}, {"", mount});
    EXPECT_EQ(run.status, 2) << run.err;
    EXPECT_EQ(run.err, kLost);
    EXPECT_LE(std::stoul(run.out), 65536u) << "the dump was cut";
}

}  // namespace
