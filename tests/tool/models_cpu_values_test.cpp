// zelcomdb models, the model table, the file names and their presence; the
// six CPU values of a model and OS number; the usage and the one-line errors.
#include <ZelComFuncDbase.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/temp_dir.h"
#include "tool_run.h"

namespace {

using zel::testing::runTool;
using zel::testing::sampleDir;
using zel::tool::Json;

TEST(Models, TableFileNamesAndWhichFilesArePresentInAnyLetterCase) {
    zel::testing::TempDir dir;
    std::filesystem::copy_file(sampleDir() + "/OSDB2D.BIN", dir.file("osdb2d.bin"));
    const std::string text = runTool({"models", dir.path()}).out;
    // Irregular names: CPU code 37 is Q1 under OS type 2, CPU code 8 has OS
    // type 6. Model 1 is CPU code 2, the only model with it.
    for (const char* row :
         {"\n     25        36          0  least significant byte first\n",
          "\n     13        16          1  most significant byte first\n", "OSDB7Q1.BIN",
          "OSDB8B.BIN",
          "\n      1          1        0  OSDB2D.BIN   JQWDB2D.BIN   yes           no\n"})
        EXPECT_NE(text.find(row), std::string::npos) << row;
    EXPECT_EQ(text.find("yes"), text.rfind("yes"));
    EXPECT_EQ(runTool({"models"}).out.find("present"), std::string::npos);
    EXPECT_EQ(Json::parse(runTool({"models", "--json"}).out)["models"].size(), 48u);
}

TEST(CpuValues, AreThoseOfTheLibraryAndTextNamesThem) {
    for (const auto& [model, os] : {std::pair{1, 1}, std::pair{20, 2}, std::pair{13, 5}}) {
        ZelLong v[6];
        ASSERT_EQ(CZelComFuncDbase(sampleDir().c_str()).CDbCpuSpec(model, os, v), 0);
        const auto run =
            runTool({"spec", sampleDir(), std::to_string(model), std::to_string(os), "--json"});
        EXPECT_EQ(Json::parse(run.out)["values"], Json(std::vector<ZelLong>(v, v + 6))) << run.err;
    }
    const std::string text = runTool({"spec", sampleDir(), "13", "5"}).out;
    for (const char* line : {"Model 13 (CPU code 16), OS number 5 (OS type 4): OSDB9N.BIN\n",
                             "0  entry bound (table 0 byte 0)", "2  table 2 section 0 word"})
        EXPECT_NE(text.find(line), std::string::npos) << line;
}

// Every error is one line on stderr with exit status 2, and nothing on stdout.
TEST(Tool, ErrorIsOneLineOnStderrAndStatus2) {
    zel::testing::TempDir empty;
    const std::string s = sampleDir(), e = empty.path(), missing = empty.file("none");
    const std::pair<std::vector<std::string>, const char*> cases[] = {
        {{"spec", s, "48", "1"}, "model index 48 is outside 0..47"},
        {{"spec", s, "-1", "9"}, "model index -1"},
        {{"spec", s, "1", "0"}, "OS number 0 is outside 1..7"},
        {{"spec", s, "1", "8"}, "OS number 8 is outside 1..7"},
        {{"spec", s, "0", "3"}, "has no database files for OS number 3"},
        {{"spec", s, "one", "1"}, "MODEL"},
        {{}, "subcommand"},
        {{"list"},
         "unknown subcommand list (models, spec, dump, diff, check, report, build, schema, help"},
        {{"dump", s}, "dump needs MODEL and OS, or --all"},
        {{"dump", s, "1", "1", "--all"}, "takes no MODEL"},
        {{"dump", missing, "1", "1"}, "not a directory"},
        {{"dump", s, "1", "1", "--table", "dbTb9"}, "--table: dbTb9 not in {cpuSpec,dbTb2"},
        {{"dump", s, "1", "1", "--item", "40000"}, "--item: Value 40000 not in range"},
        {{"diff", s}, "DIR_B is required"},
        {{"diff", s, missing}, "not a directory"},
        {{"help", "list"},
         "no subcommand list (models, spec, dump, diff, check, report, build, schema, help"},
        {{"build", e, e}, "not a regular file (the description)"},
        {{"build", zel::testing::kNullDevice, e}, "not a regular file (the description)"},
        {{"check", missing}, "not a directory"},
        {{"build", missing, e}, "none: cannot open: "},
    };
    for (const auto& [args, message] : cases) {
        const auto run = runTool(args);
        EXPECT_EQ(run.status, 2) << message;
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err.rfind("zelcomdb: ", 0), 0u) << run.err;
        EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
        EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
    }
}

}  // namespace
