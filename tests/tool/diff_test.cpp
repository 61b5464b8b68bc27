// zelcomdb diff: two databases built from descriptions that differ in one
// value of each kind of table give exactly the line naming that value.
#include <gtest/gtest.h>

#include <tuple>

#include "tests/support/temp_dir.h"
#include "tool_run.h"

namespace {

using zel::testing::runTool;
using zel::tool::Json;

// Sample pair 0 alone: model 1, OS number 1, CPU code 2.
Json firstPair() {
    Json d = zel::testing::sampleDescription();
    d["databases"] = Json::array({d["databases"][0]});
    return d;
}

// Builds a description with the program into dir/name.
std::string built(const zel::testing::TempDir& dir, const std::string& name, const Json& d) {
    const std::string text = d.dump();
    dir.write(name + ".json", zel::writer::Bytes(text.begin(), text.end()));
    const auto run = runTool({"build", dir.file(name + ".json"), dir.file(name)});
    EXPECT_EQ(run.status, 0) << run.err;
    return dir.file(name);
}

TEST(Diff, OneChangedValueOfEachTableKindIsOneLine) {
    zel::testing::TempDir dir;
    const std::string before = built(dir, "before", firstPair());
    const std::tuple<const char*, Json, const char*> cases[] = {
        {"/osdb/cpuSpec/3", 5, "cpuSpec, [3]: 2 -> 5"},
        {"/osdb/dbTb2/0/addresses/2", 1, "dbTb2, item 0, addresses[2]: 53778 -> 1"},
        {"/osdb/dbTb3/0/address", 1, "dbTb3, item 0, address: 57872 -> 1"},
        {"/osdb/dbTb4/0/bits/1/bitMask", 3, "dbTb4, item 0, bits[1].bitMask: 2 -> 3"},
        {"/osdb/dbTb5/0/bitMask", 128, "dbTb5, item 0, bitMask: 1 -> 128"},
        {"/osdb/memory/0/values/1", 7, "memory, kind 0, values[1]: 33792 -> 7"},
        {"/jqwdb/pdbTb0/1/word1", 5, "pdbTb0, record 1, word1: 101 -> 5"},
        {"/jqwdb/pdbTb2/0/entries/1/kind", 7, "pdbTb2, record 0, entries[1].kind: 160 -> 7"},
        {"/jqwdb/pdbTb5/1/kind", 1, "pdbTb5, record 1, kind: 145 -> 1"},
        {"/jqwdb/pdbTb9/0/attr4", 9, "pdbTb9, record 0, attr4: 4 -> 9"},
        {"/jqwdb/pdbTb10/items/0/attr5", 9, "pdbTb10, item 0, attr5: 5 -> 9"},
        {"/jqwdb/pdbTb3/-",
         {{"number", 1}, {"kind", 2}, {"extra", 3}},
         "pdbTb3, record 3: (none) -> {\"number\":1,\"kind\":2,\"extra\":3}"},
        {"/jqwdb", {{"result", 102}}, "jqwdb: (200 values) -> result 102 (file not found)"},
    };
    for (const auto& [at, value, line] : cases) {
        SCOPED_TRACE(at);
        Json d = firstPair();
        d["databases"][0][Json::json_pointer(at)] = value;
        zel::testing::TempDir other;
        const std::string after = built(other, "after", d);
        const auto run = runTool({"diff", before, after});
        EXPECT_EQ(run.status, 1) << run.err;
        EXPECT_EQ(run.out, std::string("model 1, OS 1, ") + line + "\n");
        const Json json = Json::parse(runTool({"diff", before, after, "1", "1", "--json"}).out);
        EXPECT_EQ(json["count"], 1);
        EXPECT_EQ(json["differences"][0]["new"], value.is_object() ? value : Json(value))
            << json.dump();
    }
}

// A file that only one directory holds is one difference; the directories
// swapped swap old and new.
TEST(Diff, OldAndNewFollowTheOrderOfTheDirectories) {
    zel::testing::TempDir dir, empty;
    const std::string db = built(dir, "db", firstPair());
    const auto forward = runTool({"diff", db, empty.path()});
    const auto backward = runTool({"diff", empty.path(), db});
    EXPECT_EQ(forward.out,
              "model 1, OS 1, osdb: (1923 values) -> result 102 (file not found)\n"
              "model 1, OS 1, jqwdb: (200 values) -> result 102 (file not found)\n");
    EXPECT_EQ(backward.out,
              "model 1, OS 1, osdb: result 102 (file not found) -> (1923 values)\n"
              "model 1, OS 1, jqwdb: result 102 (file not found) -> (200 values)\n");
    EXPECT_EQ(runTool({"diff", db, db, "--json"}).out,
              "{\n  \"differences\": [],\n  \"count\": 0\n}\n");
}

}  // namespace
