// zelcomdb dump: every value of the sample description comes back through
// the library, values the library does not give are result codes, damaged
// and missing files show their results, --all walks the present pairs.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "build.h"
#include "schema.h"
#include "tests/support/temp_dir.h"
#include "tool_run.h"

namespace {

using zel::testing::runTool;
using zel::testing::sampleDescription;
using zel::testing::sampleDir;
using zel::tool::Json;

// Lists of OSDB items and memory kinds are matched by their number, every
// other list by position.
const char* listKey(const std::string& path) {
    const std::string name = path.substr(path.rfind('.') + 1);
    if (name.rfind("dbTb", 0) == 0) return "item";
    if (name == "memory") return "kind";
    return nullptr;
}

// Every value of `described` appears in `dumped` at the same place.
void expectDescribed(const Json& described, const Json& dumped, const std::string& path) {
    if (described.is_object()) {
        ASSERT_TRUE(dumped.is_object()) << path << ": " << dumped.dump();
        for (const auto& [k, v] : described.items()) {
            ASSERT_TRUE(dumped.contains(k)) << path << "." << k;
            expectDescribed(v, dumped[k], path + "." + k);
        }
    } else if (described.is_array()) {
        ASSERT_TRUE(dumped.is_array()) << path;
        const char* key = listKey(path);
        for (std::size_t i = 0; i < described.size(); ++i) {
            const std::string at = path + "[" + std::to_string(i) + "]";
            if (!key) {
                ASSERT_LT(i, dumped.size()) << at;
                expectDescribed(described[i], dumped[i], at);
                continue;
            }
            bool found = false;
            for (const Json& d : dumped)
                if (d[key] == described[i][key]) {
                    expectDescribed(described[i], d, at);
                    found = true;
                }
            EXPECT_TRUE(found) << at;
        }
    } else {
        EXPECT_EQ(described, dumped) << path;
    }
}

Json dumpJson(const std::string& dir, int model, int os) {
    const auto run = runTool({"dump", dir, std::to_string(model), std::to_string(os), "--json"});
    EXPECT_EQ(run.status, 0) << run.err;
    return Json::parse(run.out);
}

class SamplePairs : public ::testing::TestWithParam<std::size_t> {};

TEST_P(SamplePairs, DumpGivesBackEveryDescribedValue) {
    const Json& described = sampleDescription()["databases"][GetParam()];
    const Json doc = dumpJson(sampleDir(), described["model"], described["osNumber"]);
    ASSERT_EQ(doc["databases"].size(), 1u);
    expectDescribed(described, doc["databases"][0],
                    "databases[" + std::to_string(GetParam()) + "]");
}

INSTANTIATE_TEST_SUITE_P(Dump, SamplePairs, ::testing::Range<std::size_t>(0, 11),
                         [](const auto& info) {
                             const Json& d = sampleDescription()["databases"][info.param];
                             return "Model" + std::to_string(d["model"].get<int>()) + "Os" +
                                    std::to_string(d["osNumber"].get<int>());
                         });

const Json* itemOf(const Json& list, const char* key, int number) {
    for (const Json& x : list)
        if (x[key] == number) return &x;
    return nullptr;
}

TEST(Dump, AbsentItemsAndRefusedKindsAreResultCodesNotValues) {
    // CPU code 12 (model 12) uses the class-1 maps.
    const Json osdb = dumpJson(sampleDir(), 12, 1)["databases"][0]["osdb"];
    EXPECT_EQ(*itemOf(osdb["dbTb3"], "item", 19), Json({{"item", 19}, {"result", -2}}));
    EXPECT_EQ(*itemOf(osdb["dbTb4"], "item", 96), Json({{"item", 96}, {"result", -2}}));
    EXPECT_EQ(*itemOf(osdb["memory"], "kind", 2), Json({{"kind", 2}, {"result", -1}}));
    EXPECT_EQ(osdb["dbTb2"].size(), 44u);  // items 0..43
    EXPECT_EQ(osdb["memory"][9]["values"].size(), 6u);
    // Entries capped at the slot count: CPU code 8 has 3 secondary slots,
    // its entry bound for them is 3; item 28 lies in section 7.
    const Json small = dumpJson(sampleDir(), 7, 1)["databases"][0]["osdb"];
    EXPECT_EQ((*itemOf(small["dbTb2"], "item", 28))["addresses"].size(), 3u);
}

TEST(Dump, MissingJqwdbFileIsOneResultAndBuildLeavesItOut) {
    zel::testing::TempDir dir;
    std::filesystem::copy_file(sampleDir() + "/OSDB2W.BIN", dir.file("OSDB2W.BIN"));
    const Json doc = dumpJson(dir.path(), 20, 1);
    EXPECT_EQ(doc["databases"][0]["jqwdb"], Json({{"result", 102}}));
    EXPECT_TRUE(doc["databases"][0]["osdb"].contains("cpuSpec"));
    const auto files = zel::tool::buildFiles(doc);
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].name, "OSDB2W.BIN");
}

TEST(Dump, TruncatedFileShowsFileErrorsInPlaceOfValues) {
    zel::testing::TempDir dir;
    const std::string to = dir.file("JQWDB2W.BIN");
    std::filesystem::copy_file(sampleDir() + "/JQWDB2W.BIN", to);
    std::filesystem::copy_file(sampleDir() + "/OSDB2W.BIN", dir.file("OSDB2W.BIN"));
    std::filesystem::resize_file(to, std::filesystem::file_size(to) - 10);
    const Json table10 = dumpJson(dir.path(), 20, 1)["databases"][0]["jqwdb"]["pdbTb10"];
    ASSERT_EQ(table10["itemCount"], 5);
    EXPECT_EQ(table10["items"][3], Json({{"value1", 0x9300},
                                         {"value2", 2048},
                                         {"attr1", 12},
                                         {"attr2", -1},
                                         {"attr3", -1},
                                         {"attr4", -1},
                                         {"attr5", -1}}));
    EXPECT_EQ(table10["items"][4], Json({{"result", 114}}));
}

TEST(Dump, AllWalksEveryPresentPairOnce) {
    const auto run = runTool({"dump", sampleDir(), "--all", "--json"});
    ASSERT_EQ(run.status, 0) << run.err;
    const Json doc = Json::parse(run.out);
    EXPECT_EQ(doc["format"], "zelcomdb-database");
    ASSERT_EQ(doc["databases"].size(), 11u);
    for (std::size_t i = 0; i < 11; ++i) {
        const Json& d = sampleDescription()["databases"][i];
        bool found = false;
        for (const Json& x : doc["databases"])
            found = found || (x["model"] == d["model"] && x["osNumber"] == d["osNumber"]);
        EXPECT_TRUE(found) << d["model"] << "/" << d["osNumber"];
    }
}

TEST(Dump, TextShowsAlignedTablesAndResultsInWords) {
    const auto run = runTool({"dump", sampleDir(), "12", "1"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string& out = run.out;
    EXPECT_NE(out.find("Model 12, OS number 1: CPU code 12, OS type 0, OSDB most significant byte "
                       "first"),
              std::string::npos);
    EXPECT_NE(out.find("\n      19             -2 (absent)\n"), std::string::npos) << out;
    EXPECT_NE(out.find("    index  value1  value2  word1  word2  attr1  attr2  word3\n"
                       "        0   68624  131072    100     -1      0     -3      7\n"),
              std::string::npos);
    EXPECT_NE(out.find("    item count 5"), std::string::npos);
}

}  // namespace
