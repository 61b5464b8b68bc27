// The exit statuses every subcommand keeps: 0 clean (no finding, no
// difference, every value asked for delivered), 1 findings, differences or a
// result code where a value was asked for, 2 a usage error or a failure of
// the tool.
#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"
#include "tool_run.h"

namespace {

using zel::testing::runTool;

TEST(ExitStatus, IsTheSameContractForEverySubcommand) {
    zel::testing::TempDir empty, out;
    const std::string s = zel::testing::sampleDir(), e = empty.path(), missing = e + "/none";
    const std::pair<std::vector<std::string>, int> cases[] = {
        {{"models"}, 0},
        {{"models", s}, 0},
        {{"models", missing}, 2},
        {{"spec", s, "1", "1"}, 0},
        {{"spec", e, "1", "1"}, 1},  // 102: no file, no values
        {{"spec", s, "0", "3"}, 2},  // no such pair
        {{"dump", s, "1", "1"}, 0},
        {{"dump", s, "--all"}, 0},
        {{"dump", e, "1", "1"}, 1},
        {{"dump", e, "--all"}, 1},
        {{"dump", s, "12", "1", "--table", "dbTb3", "--item", "3"}, 0},
        {{"dump", s, "12", "1", "--table", "dbTb3", "--item", "19"}, 1},   // absent: -2
        {{"dump", s, "12", "1", "--table", "pdbTb10", "--item", "5"}, 1},  // beyond: -1
        {{"dump", s, "1"}, 2},
        {{"dump", missing, "1", "1"}, 2},
        {{"diff", s, s}, 0},
        {{"diff", s, s, "1", "1"}, 0},
        {{"diff", s, e}, 1},
        {{"diff", s, e, "1", "1"}, 1},
        {{"diff", s, missing}, 2},
        {{"diff", s, s, "1"}, 2},
        {{"check", s}, 0},
        {{"check", e}, 1},
        {{"check", missing}, 2},
        {{"build", ZELCOMDB_SAMPLE, out.file("db")}, 0},
        {{"build", ZELCOMDB_SAMPLE, out.file("db")}, 2},  // not empty now
        {{"build", ZELCOMDB_SAMPLE, out.file("db"), "--force"}, 0},
        {{"build", missing, out.file("other")}, 2},
        {{"schema"}, 0},
        {{"schema", "x"}, 2},
        {{"help"}, 0},
        {{"help", "diff"}, 0},
        {{"help", "nothing"}, 2},
        {{}, 2},
        {{"cpuValues"}, 2},
    };
    for (const auto& [args, status] : cases) {
        const auto run = runTool(args);
        std::string call;
        for (const auto& a : args) call += " " + a;
        EXPECT_EQ(run.status, status) << call << "\n" << run.err;
        if (status == 2) {
            EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << call << "\n" << run.err;
        }
    }
}

}  // namespace
