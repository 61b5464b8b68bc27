// zelcomdb diff: one changed value of each kind of table is one line,
// numbered and in the radix that dump shows; a delivery with a file removed,
// one renamed in letter case, a letter-case duplicate, a changed value and a
// byte changed where no reader reaches
// shows every change in each output form and through each filter.
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

TEST(Diff, OneChangedValueOfEachTableKindIsOneLineNumberedAsDumpShowsIt) {
    zel::testing::TempDir dir;
    const std::string before = built(dir, "before", firstPair());
    // Entries from 1, records and memory indices from 0; addresses, head
    // words and bit masks in hexadecimal, as in dump's tables.
    const std::tuple<const char*, Json, const char*> cases[] = {
        {"/osdb/cpuSpec/3", 5, "cpuSpec, value 3: 2 -> 5"},
        {"/osdb/dbTb2/0/addresses/2", 1, "dbTb2, item 0, addresses, entry 3: 0xd212 -> 0x1"},
        {"/osdb/dbTb3/0/address", 1, "dbTb3, item 0, address: 0xe210 -> 0x1"},
        {"/osdb/dbTb4/0/bits/1/bitMask", 3, "dbTb4, item 0, bits, entry 2, bitMask: 0x2 -> 0x3"},
        {"/osdb/dbTb5/0/bitMask", 128, "dbTb5, item 0, bitMask: 0x1 -> 0x80"},
        {"/osdb/memory/0/values/1", 7, "memory, kind 0, values, index 1: 33792 -> 7"},
        {"/jqwdb/pdbTb0/1/word1", 5, "pdbTb0, record 1, word1: 101 -> 5"},
        {"/jqwdb/pdbTb2/0/entries/1/kind", 7, "pdbTb2, record 0, entry 2, kind: 160 -> 7"},
        {"/jqwdb/pdbTb5/1/kind", 1, "pdbTb5, record 1, kind: 145 -> 1"},
        {"/jqwdb/pdbTb10/items/0/attr5", 9, "pdbTb10, item 0, attr5: 5 -> 9"},
        {"/jqwdb/pdbTb3/-",
         {{"number", 1}, {"kind", 2}, {"extra", 3}},
         "pdbTb3, record 3: (none) -> {number 1, kind 2, extra 3}"},
    };
    for (const auto& [at, value, line] : cases) {
        SCOPED_TRACE(at);
        Json d = firstPair();
        d["databases"][0][Json::json_pointer(at)] = value;
        zel::testing::TempDir other;
        const std::string after = built(other, "after", d);
        const auto run = runTool({"diff", before, after});
        EXPECT_EQ(run.status, 1) << run.err;
        EXPECT_NE(run.out.find("\n  model 1, OS 1, " + std::string(line) + "\n"), std::string::npos)
            << run.out;
        const Json json = Json::parse(runTool({"diff", before, after, "1", "1", "--json"}).out);
        ASSERT_EQ(json["differences"].size(), 1u) << json.dump();
        EXPECT_EQ(json["differences"][0]["new"], value);
    }
}

// A file that only one directory holds is one difference naming it; the
// directories swapped swap old and new.
TEST(Diff, AFileInOneDirectoryIsOneDifferenceNamingIt) {
    zel::testing::TempDir dir, empty;
    const std::string db = built(dir, "db", firstPair());
    const auto forward = runTool({"diff", db, empty.path(), "--stat"});
    const auto backward = runTool({"diff", empty.path(), db, "--stat"});
    EXPECT_EQ(forward.out,
              " JQWDB2D.BIN | removed, 1 difference, 640 bytes changed\n"
              " OSDB2D.BIN  | removed, 1 difference, 23392 bytes changed\n"
              " 2 files changed (2 removed), 2 differences\n");
    EXPECT_EQ(backward.out,
              " JQWDB2D.BIN | added, 1 difference, 640 bytes changed\n"
              " OSDB2D.BIN  | added, 1 difference, 23392 bytes changed\n"
              " 2 files changed (2 added), 2 differences\n");
    const Json removed = Json::parse(runTool({"diff", db, empty.path(), "--json"}).out);
    EXPECT_EQ(removed["differences"][0], Json::parse(R"({"file": "JQWDB2D.BIN", "model": null,
        "os": null, "table": null, "index": null, "field": null, "old": "present", "new": null})"));
    const auto same = runTool({"diff", db, db, "--json"});
    EXPECT_EQ(same.status, 0);
    EXPECT_EQ(Json::parse(same.out)["summary"]["unchanged"], 2);
}

// The sample delivery of the tool tests (tool_run.h).
class DeliveryDiff : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        s_dir = new zel::testing::TempDir;
        s_new = zel::testing::sampleDelivery(*s_dir, "new");
    }
    static void TearDownTestSuite() { delete s_dir; }

    static zel::testing::ToolRun diff(std::vector<std::string> options) {
        std::vector<std::string> args = {"diff", zel::testing::sampleDir(), s_new};
        args.insert(args.end(), options.begin(), options.end());
        return runTool(args);
    }
    static zel::testing::TempDir* s_dir;
    static std::string s_new;
};
zel::testing::TempDir* DeliveryDiff::s_dir = nullptr;
std::string DeliveryDiff::s_new;

constexpr const char* kSummary =
    "5 files changed (1 added, 1 removed, 1 renamed in letter case, 2 changed), 3 differences, 1 "
    "byte changed where no reader reaches";

TEST_F(DeliveryDiff, EveryOutputFormShowsEveryChange) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{},
         std::string(kSummary) +
             "\n\nremoved JQWDB2W.BIN (640 bytes), read by model 20 on OS 1\n"
             "\nchanged JQWDB3B.BIN (640 bytes, 1 byte changed), read by model 7 on OS 2\n"
             "  1 byte changed where no reader reaches: offset 0\n"
             "\nchanged JQWDB3W.BIN (640 bytes, 1 byte changed), read by model 20 on OS 2\n"
             "  model 20, OS 2, pdbTb4, record 1, entry 3, kind: 156 -> 157\n"
             "\nadded osdb2k.bin (31324 bytes): a letter-case duplicate of OSDB2K.BIN, which the "
             "library reads; no reader reads this one\n"
             "\nrenamed in letter case OSDB3D.BIN -> osdb3d.bin, the library reads osdb3d.bin "
             "(23392 bytes, the same bytes), read by model 1 on OS 2\n"},
        {{"--stat"},
         " JQWDB2W.BIN | removed, 1 difference, 640 bytes changed\n"
         " JQWDB3B.BIN | changed, 0 differences, 1 byte changed (1 where no reader reaches)\n"
         " JQWDB3W.BIN | changed, 1 difference, 1 byte changed\n"
         " osdb2k.bin  | added, a letter-case duplicate no reader reads, 1 difference, 31324 bytes "
         "changed\n"
         " osdb3d.bin  | renamed from OSDB3D.BIN, 0 differences, 0 bytes changed\n " +
             std::string(kSummary) + "\n"},
        {{"--name-only"}, "JQWDB2W.BIN\nJQWDB3B.BIN\nJQWDB3W.BIN\nosdb2k.bin\nosdb3d.bin\n"},
        {{"-q"}, ""},
    };
    for (const auto& [options, expected] : cases) {
        SCOPED_TRACE(options.empty() ? "text" : options[0]);
        const auto run = diff(options);
        EXPECT_EQ(run.status, 1) << run.err;
        EXPECT_EQ(run.out, expected);
    }
    const Json doc = Json::parse(diff({"--json"}).out);
    EXPECT_EQ(doc["summary"], Json::parse(R"({"added": 1, "removed": 1, "renamed": 1,
        "changed": 2, "unchanged": 18, "differences": 3, "unreachedBytes": 1})"));
    std::vector<std::string> shape;
    for (const Json& f : doc["files"])
        shape.push_back(f["status"].get<std::string>() + " " + f["newName"].dump() + " " +
                        f.value("readName", "-"));
    EXPECT_EQ(shape, (std::vector<std::string>{
                         "removed null -", "changed \"JQWDB3B.BIN\" -", "changed \"JQWDB3W.BIN\" -",
                         "added \"osdb2k.bin\" OSDB2K.BIN", "renamed \"osdb3d.bin\" osdb3d.bin"}));
    EXPECT_EQ(doc["differences"][1], Json::parse(R"({"file": "JQWDB3W.BIN", "model": 20, "os": 2,
        "table": "pdbTb4", "index": 1, "field": "entries[2].kind", "old": 156, "new": 157})"));
}

// Each filter narrows the files listed and the answers compared; a file
// whose bytes differ stays listed whatever answers are selected.
TEST_F(DeliveryDiff, FiltersNarrowTheFilesAndTheAnswers) {
    const std::tuple<std::vector<std::string>, std::string, int> cases[] = {
        {{"--model", "20"}, "JQWDB2W.BIN\nJQWDB3W.BIN\n", 2},
        {{"--os", "2", "--table", "pdbTb4"}, "JQWDB3B.BIN\nJQWDB3W.BIN\n", 1},
        {{"20", "2", "--table", "pdbTb4", "--item", "0"}, "JQWDB3W.BIN\n", 0},
        {{"--os", "1", "--table", "dbTb3"}, "osdb2k.bin\n", 1},
        {{"1", "1", "--table", "pdbTb4"}, "", 0},
        {{"--model", "25"}, "", 0},
    };
    for (const auto& [options, names, differences] : cases) {
        SCOPED_TRACE(options[0] + " " + options[1]);
        std::vector<std::string> args = options;
        args.push_back("--name-only");
        const auto run = diff(args);
        EXPECT_EQ(run.status, names.empty() ? 0 : 1) << run.err;
        EXPECT_EQ(run.out, names);
        args.back() = "--json";
        EXPECT_EQ(Json::parse(diff(args).out)["summary"]["differences"], differences);
    }
    EXPECT_EQ(diff({"--model", "48"}).status, 2);
    EXPECT_EQ(diff({"--stat", "-q"}).status, 2);
}

}  // namespace
