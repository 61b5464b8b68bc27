// The description's JSON Schema: printed by `zelcomdb schema` as it is
// installed; accepting the sample and its dump with a validator that is not
// build's (python3-jsonschema); agreeing with build on descriptions of the
// wrong shape; holding the fields and ranges of the file format; and build
// reporting every error of a description at once.
#include <gtest/gtest.h>

#include <filesystem>

#include "build.h"
#include "format/cpu_spec_values.h"
#include "format/jqwdb_tables.h"
#include "schema_check.h"
#include "schema_validation.h"
#include "tests/support/temp_dir.h"
#include "tool_run.h"

namespace {

using zel::testing::runTool;
using zel::testing::sampleDescription;
using zel::testing::TempDir;
using zel::tool::Json;

// Stands for a member taken out of the description.
const Json kRemoved(Json::value_t::discarded);

// The sample with the value at each pointer replaced (or removed).
Json edited(const std::vector<std::pair<std::string, Json>>& edits) {
    Json d = sampleDescription();
    for (const auto& [at, value] : edits) {
        const Json::json_pointer p(at);
        if (value.is_discarded())
            d[p.parent_pointer()].erase(p.back());
        else
            d[p] = value;
    }
    return d;
}

// Build's lines for a description: none when it builds.
std::vector<std::string> buildErrors(const Json& d) {
    try {
        zel::tool::buildFiles(d);
        return {};
    } catch (const zel::tool::DescriptionRefused& e) {
        return e.lines();
    }
}

std::string written(const TempDir& dir, const std::string& name, const Json& d) {
    const std::string text = d.dump(1);
    dir.write(name, zel::writer::Bytes(text.begin(), text.end()));
    return dir.file(name);
}

TEST(Schema, CommandPrintsTheInstalledFileByteForByte) {
    const auto run = runTool({"schema"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, zel::testing::readText(ZELCOMDB_SCHEMA));
    EXPECT_EQ(Json::parse(run.out)["$schema"], "https://json-schema.org/draft/2020-12/schema");
}

TEST(Schema, SampleAndItsDumpAreValid) {
    TempDir dir;
    const auto dump = runTool({"dump", zel::testing::sampleDir(), "--all", "--json"});
    ASSERT_EQ(dump.status, 0) << dump.err;
    const std::vector<std::string> files = {ZELCOMDB_SAMPLE,
                                            written(dir, "dump.json", Json::parse(dump.out))};
    for (const std::string& f : files) {
        zel::tool::Refusals refusals;
        zel::tool::checkAgainstSchema(zel::tool::descriptionSchema(), zel::tool::readDescription(f),
                                      refusals);
        EXPECT_EQ(refusals.count(), 0u) << f;
    }
    if (!zel::testing::schemaValidatorMissing().empty())
        GTEST_SKIP() << zel::testing::schemaValidatorMissing();
    EXPECT_EQ(zel::testing::schemaVerdicts(files), std::vector<std::string>(files.size(), "valid"));
}

struct ShapeRow {
    const char* what;
    std::vector<std::pair<std::string, Json>> edits;
    const char* refusal;  // build's line; "" where both accept
};

// Pair 0 is model 1 under OS number 1 (CPU code 2).
const ShapeRow kShapes[] = {
    {"a record with no fields", {{"/databases/0/jqwdb/pdbTb0/0", Json::object()}}, ""},
    {"a part given as a missing file", {{"/databases/0/jqwdb", {{"result", 102}}}}, ""},
    {"the lowest signed byte", {{"/databases/0/jqwdb/pdbTb0/0/attr1", -128}}, ""},
    {"derived members as the pair has them",
     {{"/databases/0/cpuCode", 2}, {"/databases/0/byteOrder", "most significant byte first"}},
     ""},
    {"unknown key at the top", {{"/extra", 1}}, "/extra: unknown key; expected one of format"},
    {"misspelt key of a pair",
     {{"/databases/0/osNumbr", 1}},
     "/databases/0/osNumbr: unknown key; did you mean \"osNumber\"?"},
    {"misspelt table key",
     {{"/databases/0/osdb/cpuSpc", {1, 2, 3, 4, 5, 6}}, {"/databases/0/osdb/cpuSpec", kRemoved}},
     "/databases/0/osdb/cpuSpc: unknown key; did you mean \"cpuSpec\"?"},
    {"swapped letters in a record field",
     {{"/databases/0/jqwdb/pdbTb0/0/wrod1", 3}},
     "/databases/0/jqwdb/pdbTb0/0/wrod1: unknown key; did you mean \"word1\"?"},
    {"letter case of a bit field",
     {{"/databases/0/osdb/dbTb4/0/bits/0/bitmask", 1}},
     "/databases/0/osdb/dbTb4/0/bits/0/bitmask: unknown key; did you mean \"bitMask\"?"},
    {"a key beside a result",
     {{"/databases/0/jqwdb/pdbTb3", {{"result", 114}, {"why", 1}}}},
     "/databases/0/jqwdb/pdbTb3/why: unknown key"},
    {"no format", {{"/format", kRemoved}}, "/format: missing; expected \"zelcomdb-database\""},
    {"no model",
     {{"/databases/0/model", kRemoved}},
     "/databases/0/model: missing; expected an integer 0..47"},
    {"no item number",
     {{"/databases/0/osdb/dbTb3/0/item", kRemoved}},
     "/databases/0/osdb/dbTb3/0/item: missing; expected an integer 0..32767"},
    {"a bit without its address",
     {{"/databases/0/osdb/dbTb4/0/bits/0/address", kRemoved}},
     "/databases/0/osdb/dbTb4/0/bits/0/address: missing"},
    {"no item count",
     {{"/databases/0/jqwdb/pdbTb10/itemCount", kRemoved}},
     "/databases/0/jqwdb/pdbTb10/itemCount: missing"},
    {"databases as an object",
     {{"/databases", Json::object()}},
     "/databases: expected an array, got"},
    {"a part as an array",
     {{"/databases/0/osdb", Json::array()}},
     "/databases/0/osdb: expected an object or a result {\"result\": CODE}, got"},
    {"an address as a word",
     {{"/databases/0/osdb/dbTb2/0/addresses/0", true}},
     "/databases/0/osdb/dbTb2/0/addresses/0: expected an integer -2147483648..2147483647 or a "
     "result {\"result\": CODE}, got true"},
    {"an entry field as text",
     {{"/databases/0/jqwdb/pdbTb2/0/entries/0/kind", "a"}},
     "/databases/0/jqwdb/pdbTb2/0/entries/0/kind: expected an integer 0..255, got \"a\""},
    {"the version as text", {{"/version", "1"}}, "/version: expected 1, got \"1\""},
    {"a byte order of no file",
     {{"/databases/0/byteOrder", "middle"}},
     "/databases/0/byteOrder: expected one of \"most significant"},
    {"model beyond the table",
     {{"/databases/0/model", 48}},
     "/databases/0/model: 48 is outside 0..47"},
    {"OS number 0", {{"/databases/0/osNumber", 0}}, "/databases/0/osNumber: 0 is outside 1..7"},
    {"a 16-bit CPU specification value beyond its word",
     {{"/databases/0/osdb/cpuSpec/2", 40000}},
     "/databases/0/osdb/cpuSpec/2: 40000 is outside -32768..32767"},
    {"five CPU specification values",
     {{"/databases/0/osdb/cpuSpec", {1, 2, 3, 4, 5}}},
     "/databases/0/osdb/cpuSpec: expected 6 values, got 5"},
    {"a signed byte beyond its range",
     {{"/databases/0/jqwdb/pdbTb0/0/attr1", 128}},
     "/databases/0/jqwdb/pdbTb0/0/attr1: 128 is outside -128..127"},
    {"a split value beyond 16 bits",
     {{"/databases/0/jqwdb/pdbTb10/items/2/attr2", 40000}},
     "/databases/0/jqwdb/pdbTb10/items/2/attr2: 40000 is outside -32768..32767"},
    {"memory kind 10",
     {{"/databases/0/osdb/memory/0/kind", 10}},
     "/databases/0/osdb/memory/0/kind: 10 is outside 0..9"},
    {"a result code beyond 16 bits",
     {{"/databases/0/jqwdb/pdbTb3", {{"result", 40000}}}},
     "/databases/0/jqwdb/pdbTb3/result: 40000 is outside -32768..32767"},
};

// Build and the schema's validator refuse the same descriptions, and the
// place the validator names holds the place build names.
TEST(Schema, BuildAndTheValidatorAgreeOnTheShape) {
    TempDir dir;
    std::vector<std::string> files;
    std::vector<std::vector<std::string>> refusals;
    for (const ShapeRow& row : kShapes) {
        files.push_back(written(dir, std::to_string(files.size()) + ".json", edited(row.edits)));
        refusals.push_back(buildErrors(edited(row.edits)));
        const auto& lines = refusals.back();
        if (!*row.refusal)
            EXPECT_EQ(lines, std::vector<std::string>{}) << row.what;
        else
            EXPECT_TRUE(!lines.empty() && lines[0].find(row.refusal) == 0)
                << row.what << ": " << ::testing::PrintToString(lines);
    }
    if (!zel::testing::schemaValidatorMissing().empty())
        GTEST_SKIP() << zel::testing::schemaValidatorMissing();
    const auto verdicts = zel::testing::schemaVerdicts(files);
    for (std::size_t i = 0; i < files.size(); ++i) {
        SCOPED_TRACE(kShapes[i].what);
        if (refusals[i].empty()) {
            EXPECT_EQ(verdicts[i], "valid");
            continue;
        }
        const std::string prefix = "invalid ";
        ASSERT_EQ(verdicts[i].rfind(prefix, 0), 0u) << verdicts[i];
        const std::string place =
            verdicts[i].substr(prefix.size(), verdicts[i].find(": ") - prefix.size());
        EXPECT_EQ(refusals[i][0].rfind(place, 0), 0u) << verdicts[i] << " / " << refusals[i][0];
    }
}

// The schema's record fields and ranges are the file format's (a field
// added, renamed or widened in one and not the other fails here).
TEST(Schema, HoldsTheFieldsAndRangesOfTheFileFormat) {
    const Json& schema = zel::tool::descriptionSchema();
    auto resolved = [&](const Json& s) -> const Json& {
        const Json* at = &s;
        while (at->contains("$ref"))
            at = &schema.at(Json::json_pointer(at->at("$ref").get<std::string>().substr(1)));
        return *at;
    };
    auto expectRange = [&](const Json& s, std::int64_t lowest, std::int64_t highest) {
        const Json& r = resolved(s);
        EXPECT_EQ(r.at("minimum"), lowest);
        EXPECT_EQ(r.at("maximum"), highest);
    };
    for (int t = 0; t < zel::kJqwdbTableCount; ++t) {
        SCOPED_TRACE("pdbTb" + std::to_string(t));
        const Json& record = resolved(schema["$defs"]["pdbTb" + std::to_string(t)]);
        const zel::RecordLayout& shape = zel::kJqwdbTables[t].layout;
        ASSERT_EQ(record["properties"].size(), static_cast<std::size_t>(shape.count));
        for (int f = 0; f < shape.count; ++f) {
            SCOPED_TRACE(shape.fields[f].name);
            // A tail item of table 10 takes this field from the 16-bit splitValue.
            const bool split = t == zel::kBackupTable &&
                               zel::kBackupTailFields[f].type == zel::FieldType::splitValue;
            const zel::FieldType type = split ? zel::FieldType::signed16 : shape.fields[f].type;
            expectRange(record["properties"].at(shape.fields[f].name), zel::lowestOf(type),
                        zel::highestOf(type));
        }
    }
    const Json& spec = schema["$defs"]["osdb"]["properties"]["cpuSpec"]["else"];
    ASSERT_EQ(spec["prefixItems"].size(), static_cast<std::size_t>(zel::kCpuSpecValues));
    for (int i = 0; i < zel::kCpuSpecValues; ++i)
        expectRange(spec["prefixItems"][i], zel::lowestCpuSpecValue(zel::kCpuSpecPlaces[i].width),
                    zel::highestCpuSpecValue(zel::kCpuSpecPlaces[i].width));
}

// Every error of a description in one run, each on its line with its place:
// the schema's first, then, on a description of the right shape, what the
// builder refuses in each pair, item and table.
TEST(Build, ReportsEveryErrorWithItsPlace) {
    struct Row {
        const char* what;
        std::vector<std::pair<std::string, Json>> edits;
        std::vector<const char*> lines;  // each begins the line of its place
    };
    std::vector<std::pair<std::string, Json>> manyKeys;
    for (int i = 0; i < 25; ++i) manyKeys.push_back({"/databases/0/k" + std::to_string(i), 1});
    const Row rows[] = {
        {"shape errors at several depths",
         {{"/databases/0/osdb/cpuSpc", {1, 2, 3, 4, 5, 6}},
          {"/databases/0/osdb/cpuSpec", kRemoved},
          {"/databases/1/model", kRemoved},
          {"/databases/2/jqwdb/pdbTb0/0/wrod1", 1}},
         {"/databases/0/osdb/cpuSpc: unknown key; did you mean \"cpuSpec\"?",
          "/databases/1/model: missing", "/databases/2/jqwdb/pdbTb0/0/wrod1: unknown key",
          "3 errors in the description; no file written"}},
        {"refusals in several pairs, items and memory kinds",
         {{"/databases/0/osdb/dbTb3/-", {{"item", 2}}},
          {"/databases/0/osdb/dbTb5/-", {{"item", 40}}},
          {"/databases/0/osdb/memory/-", {{"kind", 1}}},
          {"/databases/1/cpuCode", 3}},
         {"/databases/0/osdb/dbTb3/7/item: item 2 is described twice",
          "/databases/0/osdb/dbTb5/7/item: 40 is outside 0..27",
          "/databases/0/osdb/memory/5/kind: kind 1 is described twice",
          "/databases/1/cpuCode: 3, but model 1 OS number 2 has 2",
          "4 errors in the description; no file written"}},
        {"more errors than are shown",
         manyKeys,
         {"/databases/0/k0: unknown key", "/databases/0/k19: unknown key", "and 5 more errors",
          "25 errors in the description; no file written"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const auto lines = buildErrors(edited(row.edits));
        std::size_t at = 0;
        for (const char* expected : row.lines) {
            while (at < lines.size() && lines[at].rfind(expected, 0) != 0) ++at;
            EXPECT_LT(at, lines.size()) << expected << " in order in\n"
                                        << ::testing::PrintToString(lines);
        }
    }
    const std::size_t shown = zel::tool::Refusals::kShown;
    EXPECT_EQ(buildErrors(edited(manyKeys)).size(), shown + 2);

    // The program: each line on stderr as the tool's own, and no directory.
    TempDir dir;
    const auto run =
        runTool({"build", written(dir, "d.json", edited(rows[0].edits)), dir.file("db")});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err,
              "zelcomdb: /databases/0/osdb/cpuSpc: unknown key; did you mean \"cpuSpec\"?\n"
              "zelcomdb: /databases/1/model: missing; expected an integer 0..47\n"
              "zelcomdb: /databases/2/jqwdb/pdbTb0/0/wrod1: unknown key; did you mean \"word1\"?\n"
              "zelcomdb: 3 errors in the description; no file written\n");
    EXPECT_FALSE(std::filesystem::exists(dir.file("db")));
}

TEST(Build, SuggestsTheNearestKey) {
    const std::vector<std::string> keys = {"word1", "word2", "value1", "attr1"};
    const std::pair<std::string, const char*> cases[] = {
        {"wrod1", "did you mean \"word1\"?"},                  // two letters swapped
        {"WORD2", "did you mean \"word2\"?"},                  // letter case
        {"valu1", "did you mean \"value1\"?"},                 // one left out
        {"attr12", "did you mean \"attr1\"?"},                 // one added
        {"w", "expected one of word1, word2, value1, attr1"},  // too short to guess
        {"colour", "expected one of word1, word2, value1, attr1"},
        {std::string(100000, 'k'), "expected one of"},
    };
    for (const auto& [key, text] : cases)
        EXPECT_EQ(zel::tool::unknownKeyText(key, keys).find(text), 13u) << key.substr(0, 20);
}

}  // namespace
