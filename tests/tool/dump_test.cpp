// zelcomdb dump: the sample database that the program builds is clean, every
// value of its description comes back through the library and the dump
// builds the same database again; values the library does not give are
// result codes, damaged and missing files show their results.
#include <gtest/gtest.h>

#include <filesystem>

#include "build.h"
#include "printable.h"
#include "schema_validation.h"
#include "tests/support/temp_dir.h"
#include "tool_run.h"

namespace {

using zel::testing::runTool;
using zel::testing::sampleDir;
using zel::tool::Json;

// The described values as JSON pointers into a dump, which lists every OSDB
// item and memory kind at the index of its number.
Json flatDescription(Json d) {
    for (const char* list : {"dbTb2", "dbTb3", "dbTb4", "dbTb5", "memory"}) {
        Json byNumber = Json::object();
        for (const Json& x : d["osdb"][list])
            byNumber[(x.contains("item") ? x["item"] : x["kind"]).dump()] = x;
        d["osdb"][list] = byNumber;
    }
    return d.flatten();
}

// A dump of one pair; exit status 1 when it holds file errors.
Json dumpJson(const std::string& dir, int model, int os, int status = 0) {
    const auto run = runTool({"dump", dir, std::to_string(model), std::to_string(os), "--json"});
    EXPECT_EQ(run.status, status) << run.err;
    return Json::parse(run.out)["databases"][0];
}

TEST(Dump, SampleBuiltByTheProgramIsCleanAndDumpsBackToItsDescription) {
    zel::testing::TempDir first, second;
    ASSERT_EQ(runTool({"build", ZELCOMDB_SAMPLE, first.path()}).status, 0);
    const auto check = runTool({"check", first.path()});
    EXPECT_EQ(check.status, 0) << check.out << check.err;
    EXPECT_EQ(check.out, "0 findings in 22 files checked\nok\n");
    const auto dump = runTool({"dump", first.path(), "--all", "--json"});
    ASSERT_EQ(dump.status, 0) << dump.err;
    const Json doc = Json::parse(dump.out);
    // --all walks every present pair once, in the order of the description;
    // each gives back every described value.
    ASSERT_EQ(doc["databases"].size(), 11u);
    for (std::size_t i = 0; i < 11; ++i) {
        const Json got = doc["databases"][i].flatten(),
                   want = flatDescription(zel::testing::sampleDescription()["databases"][i]);
        for (const auto& [at, v] : want.items()) EXPECT_EQ(got.value(at, Json()), v) << i << at;
    }
    second.write("dump.json", zel::writer::Bytes(dump.out.begin(), dump.out.end()));
    const auto build = runTool({"build", second.file("dump.json"), second.file("db")});
    ASSERT_EQ(build.status, 0) << build.err;
    // A Windows path's backslashes are written doubled, as in every name.
    EXPECT_EQ(build.out, "wrote 22 files to " + zel::tool::escapedText(second.file("db")) + "\n");
    EXPECT_TRUE(runTool({"dump", second.file("db"), "--all", "--json"}).out == dump.out)
        << "the dumps differ";
}

TEST(Dump, AbsentItemsAndRefusedKindsAreResultCodesNotValues) {
    // CPU code 12 (model 12) uses the class-1 maps.
    Json osdb = dumpJson(sampleDir(), 12, 1)["osdb"];
    EXPECT_EQ(osdb["dbTb3"][19], Json({{"item", 19}, {"result", -2}}));
    EXPECT_EQ(osdb["dbTb4"][96], Json({{"item", 96}, {"result", -2}}));
    EXPECT_EQ(osdb["memory"][2], Json({{"kind", 2}, {"result", -1}}));
    EXPECT_EQ(osdb["dbTb2"].size(), 44u);  // items 0..43
    EXPECT_EQ(osdb["memory"][9]["values"].size(), 6u);
    // Entries capped at the slot count: CPU code 8 has 3 secondary slots,
    // its entry bound for them is 3; item 28 lies in section 7.
    EXPECT_EQ(dumpJson(sampleDir(), 7, 1)["osdb"]["dbTb2"][28]["addresses"].size(), 3u);
}

// A missing file is one result that build leaves out; a truncated one shows
// file errors in place of the values it no longer holds.
TEST(Dump, MissingAndTruncatedFilesShowTheirResults) {
    zel::testing::TempDir dir;
    std::filesystem::copy_file(sampleDir() + "/OSDB2W.BIN", dir.file("OSDB2W.BIN"));
    const Json doc = Json::parse(runTool({"dump", dir.path(), "--all", "--json"}).out);
    ASSERT_EQ(doc["databases"].size(), 1u);  // model 20 OS number 1
    EXPECT_EQ(doc["databases"][0]["jqwdb"], Json({{"result", 102}}));
    EXPECT_EQ(dumpJson(dir.path(), 1, 1, 1)["osdb"], Json({{"result", 102}}));
    const auto files = zel::tool::buildFiles(doc);
    zel::testing::expectSchemaAccepts(doc);
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].name, "OSDB2W.BIN");

    std::filesystem::copy_file(sampleDir() + "/JQWDB2W.BIN", dir.file("JQWDB2W.BIN"));
    std::filesystem::resize_file(dir.file("JQWDB2W.BIN"),
                                 std::filesystem::file_size(dir.file("JQWDB2W.BIN")) - 10);
    const Json table10 = dumpJson(dir.path(), 20, 1, 1)["jqwdb"]["pdbTb10"];
    EXPECT_EQ(table10["itemCount"], 5);
    EXPECT_EQ(table10["items"][3]["value1"], 0x9300);
    EXPECT_EQ(table10["items"][4], Json({{"result", 114}}));
}

TEST(Dump, TextShowsAlignedTablesAndResultsInWords) {
    const auto run = runTool({"dump", sampleDir(), "12", "1"});
    ASSERT_EQ(run.status, 0) << run.err;
    for (const char* text :
         {"Model 12, OS number 1: CPU code 12, OS type 0, OSDB most significant byte first",
          "\n      19             -2 (absent)\n",
          "    index  value1  value2  word1  word2  attr1  attr2  word3\n"
          "        0   68624  131072    100     -1      0     -3      7\n",
          "    item count 5"})
        EXPECT_NE(run.out.find(text), std::string::npos) << text << "\n" << run.out;
}

}  // namespace

// --table and --item show a part of the full dump, the same in JSON and in
// text; a selected record names its index.
TEST(Dump, TableAndItemShowThatPartOfTheFullDump) {
    const Json full = dumpJson(sampleDir(), 1, 1);
    const int item = 1;
    for (const char* table :
         {"cpuSpec", "dbTb2", "dbTb3", "dbTb4", "dbTb5", "memory", "pdbTb0", "pdbTb1", "pdbTb2",
          "pdbTb3", "pdbTb4", "pdbTb5", "pdbTb6", "pdbTb7", "pdbTb8", "pdbTb9", "pdbTb10"}) {
        SCOPED_TRACE(table);
        const std::vector<std::string> args = {
            "dump", sampleDir(), "1", "1", "--table", table, "--item", std::to_string(item)};
        auto withJson = args;
        withJson.push_back("--json");
        const auto run = runTool(withJson);
        ASSERT_EQ(run.status, 0) << run.err;
        const Json doc = Json::parse(run.out);
        EXPECT_EQ(doc["selection"], Json({{"tables", {table}}, {"item", item}}));
        const bool inOsdb = std::string(table).rfind("pdbTb", 0) != 0;
        const Json& got = doc["databases"][0][inOsdb ? "osdb" : "jqwdb"];
        ASSERT_EQ(got.size(), 1u) << got.dump();
        ASSERT_FALSE(doc["databases"][0].contains(inOsdb ? "jqwdb" : "osdb"));
        const Json& all = full[inOsdb ? "osdb" : "jqwdb"][table];
        Json want;
        if (std::string(table) == "cpuSpec") {
            want = all;
        } else if (inOsdb) {
            for (const Json& x : all)
                if (x.value(std::string(table) == "memory" ? "kind" : "item", -1) == item)
                    want = Json::array({x});
        } else {
            const Json& records = std::string(table) == "pdbTb10" ? all["items"] : all;
            Json r = {{"index", item}};
            r.update(records[item]);
            want = Json::array({r});
            if (std::string(table) == "pdbTb10")
                want = {{"itemCount", all["itemCount"]}, {"items", want}};
        }
        EXPECT_EQ(got[table], want);

        const std::string text = runTool(args).out;
        std::size_t headings = 0;
        for (std::size_t at = text.find("\n  C"); at != std::string::npos;
             at = text.find("\n  C", at + 1))
            ++headings;
        EXPECT_EQ(headings, 1u) << text;
    }
    // The selection is not a database: build refuses it.
    zel::testing::TempDir dir;
    const auto selected = runTool({"dump", sampleDir(), "1", "1", "--table", "dbTb3", "--json"});
    dir.write("d.json", zel::writer::Bytes(selected.out.begin(), selected.out.end()));
    const auto build = runTool({"build", dir.file("d.json"), dir.file("db")});
    EXPECT_EQ(build.status, 2);
    EXPECT_NE(build.err.find("selection: unknown key"), std::string::npos) << build.err;
}
