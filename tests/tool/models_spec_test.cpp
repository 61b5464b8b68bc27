// zelcomdb models and spec: the model table, the file names and their
// presence, the named CPU specification values, and the one-line errors.
#include <ZelComFuncDbase.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "schema.h"
#include "tests/support/temp_dir.h"
#include "tool_run.h"

namespace {

using zel::testing::linesOf;
using zel::testing::runTool;
using zel::testing::sampleDir;
using zel::tool::Json;

bool hasLine(const std::string& text, const std::string& fragment) {
    for (const auto& line : linesOf(text))
        if (line.find(fragment) != std::string::npos) return true;
    return false;
}

TEST(Models, TextListsEveryModelAndTheFileNamesOfEachOsNumber) {
    const auto run = runTool({"models"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(hasLine(run.out, "     25        36          0  least significant byte first"));
    EXPECT_TRUE(hasLine(run.out, "     13        16          1  most significant byte first"));
    // Irregular names: CPU code 37 is Q1 under OS type 2, CPU code 8 has OS type 6.
    EXPECT_TRUE(hasLine(run.out, "OSDB7Q1.BIN"));
    EXPECT_TRUE(hasLine(run.out, "OSDB8B.BIN"));
    EXPECT_FALSE(hasLine(run.out, "present"));
}

TEST(Models, JsonWithDirectoryTellsWhichFilesArePresentInAnyLetterCase) {
    zel::testing::TempDir dir;
    std::filesystem::copy_file(sampleDir() + "/OSDB2D.BIN", dir.file("osdb2d.bin"));
    const auto run = runTool({"models", dir.path(), "--json"});
    ASSERT_EQ(run.status, 0) << run.err;
    const Json doc = Json::parse(run.out);
    ASSERT_EQ(doc["models"].size(), 48u);
    int present = 0;
    for (const Json& f : doc["files"]) {
        if (f["osdbPresent"].get<bool>()) {
            ++present;
            EXPECT_EQ(f["osdbFile"], "OSDB2D.BIN");
            EXPECT_EQ(f["osNumber"], 1);
        }
        EXPECT_FALSE(f["jqwdbPresent"].get<bool>());
    }
    EXPECT_EQ(present, 1);  // model 1 is CPU code 2, the only model with it
}

TEST(Spec, TextNamesTheSixValues) {
    const auto run = runTool({"spec", sampleDir(), "13", "5"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(hasLine(run.out, "Model 13 (CPU code 16), OS number 5 (OS type 4): OSDB9N.BIN"));
    EXPECT_TRUE(hasLine(run.out, "0  entry bound (table 0 byte 0)"));
    EXPECT_TRUE(hasLine(run.out, "2  table 2 section 0 word"));
}

TEST(Spec, JsonValuesAreThoseOfTheLibrary) {
    for (const auto& [model, os] : {std::pair{1, 1}, std::pair{20, 2}, std::pair{13, 5}}) {
        const auto run =
            runTool({"spec", sampleDir(), std::to_string(model), std::to_string(os), "--json"});
        ASSERT_EQ(run.status, 0) << run.err;
        CZelComFuncDbase db(sampleDir().c_str());
        ZelLong v[6];
        ASSERT_EQ(db.CDbCpuSpec(static_cast<short>(model), static_cast<short>(os), v), 0);
        const Json doc = Json::parse(run.out);
        for (int i = 0; i < 6; ++i) EXPECT_EQ(doc["values"][static_cast<std::size_t>(i)], v[i]);
    }
}

struct ErrorCase {
    const char* name;
    std::vector<std::string> args;  // "{sample}" and "{empty}" stand for directories
    const char* message;
};

void PrintTo(const ErrorCase& c, std::ostream* os) { *os << c.name; }

class ToolErrors : public ::testing::TestWithParam<ErrorCase> {};

// Every error is one line on stderr with exit status 2, and nothing on stdout.
TEST_P(ToolErrors, OneLineOnStderrAndStatus2) {
    zel::testing::TempDir empty;
    std::vector<std::string> args;
    for (std::string a : GetParam().args) {
        if (a == "{sample}") a = sampleDir();
        if (a == "{empty}") a = empty.path();
        if (a == "{missing}") a = empty.file("none");
        args.push_back(a);
    }
    const auto run = runTool(args);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    const auto lines = linesOf(run.err);
    ASSERT_EQ(lines.size(), 1u) << run.err;
    EXPECT_EQ(lines[0].rfind("zelcomdb: ", 0), 0u) << lines[0];
    EXPECT_NE(lines[0].find(GetParam().message), std::string::npos) << lines[0];
}

const ErrorCase kErrors[] = {
    {"ModelAbove47", {"spec", "{sample}", "48", "1"}, "model index 48 is outside 0..47"},
    {"NegativeModel", {"spec", "{sample}", "-1", "1"}, "model index -1"},
    {"OsNumber0", {"spec", "{sample}", "1", "0"}, "OS number 0 is outside 1..7"},
    {"PairWithoutFiles", {"spec", "{sample}", "0", "3"}, "has no database files for OS number 3"},
    {"MissingFile", {"spec", "{empty}", "1", "1"}, "102 (file not found)"},
    {"NotANumber", {"spec", "{sample}", "one", "1"}, "MODEL"},
    {"NoSubcommand", {}, "subcommand"},
    {"UnknownSubcommand", {"list"}, "list"},
    {"DumpWithoutPair", {"dump", "{sample}"}, "dump needs MODEL and OS, or --all"},
    {"DumpAllWithPair", {"dump", "{sample}", "1", "1", "--all"}, "takes no MODEL"},
    {"DumpMissingDirectory", {"dump", "{missing}", "1", "1"}, "not a directory"},
    {"DumpAllEmptyDirectory", {"dump", "{empty}", "--all"}, "no database file found"},
    {"CheckMissingDirectory", {"check", "{missing}"}, "not a directory"},
    {"BuildMissingDescription", {"build", "{missing}", "{empty}"}, "cannot open the description"},
};

INSTANTIATE_TEST_SUITE_P(Tool, ToolErrors, ::testing::ValuesIn(kErrors),
                         [](const auto& info) { return std::string(info.param.name); });

class SubcommandHelp : public ::testing::TestWithParam<const char*> {};

TEST_P(SubcommandHelp, PrintsUsageAndSucceeds) {
    const std::string sub = GetParam();
    const auto run = sub.empty() ? runTool({"--help"}) : runTool({sub, "--help"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("Usage:"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("--help"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Tool, SubcommandHelp,
                         ::testing::Values("", "models", "spec", "dump", "check", "build"),
                         [](const auto& info) {
                             return std::string(*info.param ? info.param : "program");
                         });

}  // namespace
