// zelcomdb build: the refusals that name what they refuse (values two items
// share that disagree, values the library could never deliver) and write no
// file, and the split of the backup table derived from its items.
#include "build.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <tuple>

#include "build_jqwdb.h"
#include "cpu_values_command.h"
#include "dump.h"
#include "schema_validation.h"
#include "tests/support/temp_dir.h"
#include "tool_error.h"
#include "tool_run.h"

namespace {

using zel::tool::Json;

// Sample pair 0 (model 1, CPU code 2) or 4 (model 12, CPU code 12, class 1)
// with one value of its databases[0] changed ("-" appends to a list).
Json changed(std::size_t pair, const char* at, const Json& value) {
    Json d = zel::testing::sampleDescription();
    d["databases"] = Json::array({d["databases"][pair]});
    d["databases"][0][Json::json_pointer(at)] = value;
    return d;
}

// The message of a refused description, "built" when it is not refused (and
// then the schema's validator accepts it too).
std::string refusal(const Json& d) {
    try {
        zel::tool::buildFiles(d);
        zel::testing::expectSchemaAccepts(d);
        return "built";
    } catch (const zel::tool::ToolError& e) {
        return e.what();
    }
}

// A description with one more key at the top.
std::string withKey(const std::string& key) {
    return R"({"format": "zelcomdb-database", "version": 1, "databases": [], ")" + key + "\": 1}";
}

// The program refuses before it creates the output directory, in one line
// that shows what the description holds escaped and cut to a readable length.
TEST(Build, RefusalIsOneShortLineOnStderrAndWritesNoFile) {
    zel::testing::TempDir dir;
    const std::pair<std::string, const char*> cases[] = {
        {"{\"a", "d.json: not valid JSON at line 1, column 4: the text ends before the JSON value"},
        {"{\n  \"a\": [1,,2]}", "d.json: not valid JSON at line 2, column 11: unexpected ','"},
        {changed(0, "/osdb/dbTb5/-", {{"item", 40}}).dump(),  // beyond class 0's 27
         "/databases/0/osdb/dbTb5/7/item: 40 is outside 0..27"},
        // The parser would recurse once per level and overflow the stack.
        {std::string(100000, '[') + std::string(100000, ']'),
         "nesting deeper than 8 levels at byte 8; a description uses at most 8"},
        {withKey("\\u0001evil\\n\\u001b[2Jkey"),
         "/\\x01evil\\x0A\\x1B[2Jkey: unknown key; expected one of format, version, databases"},
        {withKey(std::string(20000000, 'k')), "kkkk... (20000000 bytes): unknown key"},
        {changed(0, "/cpuCode", std::string(1000, 'x')).dump(), "xxxx... (1000 bytes)\""},
        {changed(0, "/osdb/dbTb3/0", {{"item", 0}, {"result", 7}}).dump(),
         "/databases/0/osdb/dbTb3/0/result: result 7 cannot be reproduced"},
    };
    for (const auto& [text, message] : cases) {
        dir.write("d.json", zel::writer::Bytes(text.begin(), text.end()));
        const auto run = zel::testing::runTool({"build", dir.file("d.json"), dir.file("out")});
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.err.find(message), std::string::npos) << run.err.substr(0, 300);
        EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err.substr(0, 300);
        EXPECT_EQ(run.err.find("json.exception"), std::string::npos) << run.err.substr(0, 300);
        EXPECT_LT(run.err.size(), 500u);
        EXPECT_FALSE(std::filesystem::exists(dir.file("out")));
    }
}

std::vector<std::string> filesIn(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// The output directory is written as a whole: a non-empty one only with
// --force, and then none of its old files stay; "-" reads standard input.
TEST(Build, ReplacesADirectoryOnlyWhenForcedAndWhole) {
    zel::testing::TempDir dir;
    const std::string db = dir.file("db");
    std::filesystem::create_directory(db);
    dir.write("db/STALE.BIN", zel::writer::Bytes(4, 0));
    auto run = zel::testing::runTool({"build", ZELCOMDB_SAMPLE, db});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("db: not empty (--force replaces it"), std::string::npos) << run.err;
    EXPECT_EQ(filesIn(db), std::vector<std::string>{"STALE.BIN"});

    run = zel::testing::runTool({"build", "-", db, "--force"}, {ZELCOMDB_SAMPLE, ""});
    EXPECT_EQ(run.status, 0) << run.err;
    const auto names = filesIn(db);
    EXPECT_EQ(names.size(), 22u);
    EXPECT_EQ(std::count(names.begin(), names.end(), "STALE.BIN"), 0);
    EXPECT_EQ(filesIn(dir.path()), std::vector<std::string>{"db"}) << "nothing left beside it";

    dir.write("file", zel::writer::Bytes(1, 0));
    run = zel::testing::runTool({"build", ZELCOMDB_SAMPLE, dir.file("file"), "--force"});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("file: exists and is not a directory"), std::string::npos) << run.err;
}

// On a file system that fills up, the build fails with exit status 2 and
// leaves nothing behind: neither new files nor a damaged old directory.
TEST(Build, FullDiskLeavesNothingBehind) {
    zel::testing::TempDir dir;
    // A private mount namespace with a 24 KiB file system (root only) that
    // holds an old database directory.
    const std::string mount =
        "unshare -m sh -c " +
        zel::testing::shellQuoted("mount -t tmpfs -o size=24k tmpfs " + dir.path() + " && mkdir " +
                                  dir.file("db") + " && echo old > " + dir.file("db/OLD") +
                                  " && \"$0\" \"$@\"; s=$?; ls -A " + dir.path() + " " +
                                  dir.file("db") + " >&2; exit $s") +
        " ";
    if (std::system(
            ("unshare -m sh -c 'mount -t tmpfs tmpfs " + dir.path() + "' 2>/dev/null").c_str()) !=
        0)
        GTEST_SKIP() << "cannot mount a small file system here";
    const auto run =
        zel::testing::runTool({"build", ZELCOMDB_SAMPLE, dir.file("db"), "--force"}, {"", mount});
    EXPECT_EQ(run.status, 2) << run.out;
    EXPECT_NE(run.err.find("No space left on device"), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");
    // ls -A of the file system and of the old directory after the build.
    const std::string listing = run.err.substr(run.err.find('\n') + 1);
    EXPECT_EQ(listing, dir.path() + ":\ndb\n\n" + dir.file("db") + ":\nOLD\n") << run.err;
}

TEST(Build, RefusalNamesWhatIsRefused) {
    const std::tuple<std::size_t, const char*, Json, const char*> cases[] = {
        {0, "/osdb/dbTb3/5/address", 1,
         "section 7 offset 266: dbTb3 item 12 address (1) disagrees with dbTb3 item 11"},
        {0, "/osdb/dbTb5/6/bitMask", 32, "dbTb5 item 16 bitMask (32) disagrees with dbTb5 item 14"},
        {0, "/osdb/memory/3/values/2", 65,
         "section 0 offset 11: memory kind 9 index 2 (65) disagrees with memory kind 3"},
        // Two-bit field section: items 83 and 84 share one row.
        {0, "/osdb/dbTb4/6/bits/0/address", 9748,
         "item 84 entry 1 (address 9748, so the row's first address is 9748) disagrees"},
        {0, "/osdb/dbTb4/5/bits/5/address", 9744,
         "item 83 entry 6 (address 9744, so the row's first address is 9743) disagrees"},
        {0, "/osdb/dbTb4/5/bits/1/bitMask", 1, "1 is not the mask 4 that item 83 has for entry 2"},
        {0, "/osdb/dbTb4/0/bits/0/bitMask", 256, "dbTb4/0/bits/0/bitMask: 256 is outside 0..255"},
        {0, "/osdb/dbTb2/4/addresses/-", 1,
         "5 entries, but the row holds 4 (entry bound 4, slot count 12)"},
        {0, "/osdb/dbTb4/-", {{"item", 50}}, "dbTb4/7: dbTb4 item 50 is absent for CPU code 2"},
        {4, "/osdb/dbTb4/-", {{"item", 96}}, "dbTb4/8: dbTb4 item 96 is absent for CPU code 12"},
        {0, "/osdb/dbTb3/-", {{"item", 2}}, "dbTb3/7/item: item 2 is described twice"},
        {0, "/osdb/cpuSpec/0", 200, "osdb/cpuSpec/0: 200 is outside -128..127"},
        {0, "/jqwdb/pdbTb4/0/entries", std::vector<Json>(9, {{"number", 0}}),
         "pdbTb4/0/entries: 9 entries, but CPdbTb4 accepts entry numbers up to 8"},
        {0, "/jqwdb/pdbTb6/0/attr2", 1, "pdbTb6/0/attr2: unknown key; did you mean \"attr1\"?"},
        {0, "/jqwdb/pdbTb10/items/4/attr2", 300, "pdbTb10/items/2: no split into head and tail"},
        {0, "/jqwdb/pdbTb10/itemCount", 4, "pdbTb10/items: 5 items, but the item count is 4"},
        {0, "/cpuCode", 3, "/databases/0/cpuCode: 3, but model 1 OS number 1 has 2"},
        {0, "/osNumber", 5, "model 1 (CPU code 2) has no database files for OS number 5"},
        // A result the library gave is built where a file can give it back
        // (the round trips of damaged files below), and refused where not.
        {0, "/jqwdb/pdbTb0", Json::array({{{"result", 114}}}),
         "jqwdb/pdbTb0/0/result: result 114 cannot be reproduced: a table whose first record "
         "fails answers as a whole; give the table as that result"},
        {0,
         "/jqwdb/pdbTb0/1",
         {{"result", 114}},
         "pdbTb0/1/result: result 114 cannot be reproduced: /databases/0/jqwdb/pdbTb0/2 gives "
         "values after it, and the file ends only once"},
        {0,
         "/jqwdb/pdbTb0/2",
         {{"result", 109}},
         "pdbTb0/2/result: result 109 cannot be reproduced: a record answers a result of its "
         "own only where the file ends (114)"},
        {0, "/jqwdb/pdbTb0/2", {{"result", 114}}, "built"},
        {0, "/jqwdb/pdbTb4/1/entries/-", {{"result", 114}}, "built"},
        {0,
         "/jqwdb/pdbTb4/1",
         {{"result", 114}},
         "pdbTb4/1/result: result 114 cannot be reproduced: give the results of its entries"},
        {0, "/jqwdb/pdbTb2", {{"result", 114}}, "built"},
        {0, "/jqwdb/pdbTb10", {{"result", -1}}, "pdbTb10/result: result -1 cannot be reproduced"},
        {0,
         "/osdb/dbTb2/0",
         {{"item", 0}, {"result", 114}},
         "osdb/dbTb2/0/result: result 114 cannot be reproduced: CDbTb2 answers for a whole item "
         "only where the CPU specification values fail"},
        {0,
         "/osdb/dbTb5/0",
         {{"item", 0}, {"result", 103}},
         "dbTb5/0/result: result 103 cannot be reproduced"},
        {0,
         "/osdb/dbTb5/0",
         {{"item", 0}, {"result", 114}},
         "dbTb5/0/result: result 114 cannot be reproduced: dbTb5 item 1 bitMask (2) lies after "
         "it in the same place (OSDB2D.BIN table 6 section 4), so no end of the file falls"},
        {0,
         "/osdb/dbTb5/0",
         {{"item", 0}, {"result", 109}},
         "dbTb5/0/result: result 109 cannot be reproduced: dbTb5 item 1 bitMask (2) is read "
         "from the same place (OSDB2D.BIN table 6 section 4), and its reads would fail too"},
        {0,
         "/osdb/dbTb3/5",
         {{"item", 12}, {"result", 114}},
         "dbTb3/5/result: result 114 cannot be reproduced: dbTb3 item 11 address (58128) lies "
         "after it in the same place (OSDB2D.BIN table 6 section 7)"},
        {0, "/osdb/dbTb4/-", {{"item", 50}, {"result", -2}}, "built"},
        {0,
         "/osdb/dbTb4/-",
         {{"item", 50}, {"result", 109}},
         "dbTb4/7/result: result 109 cannot be reproduced: the item is absent for CPU code 2"},
        {0, "/osdb/memory/2", {{"kind", 2}, {"result", -1}}, "built"},
        {0,
         "/osdb/memory/1",
         {{"kind", 1}, {"result", -1}},
         "osdb/memory/1/result: result -1 cannot be reproduced: CDbTbMem answers for each index"},
        {0,
         "/osdb/memory/3/values/0",
         {{"result", 114}},
         "memory/3/values/0/result: result 114 cannot be reproduced: memory kind 3 index 6 "
         "(1024) lies after it in the same place (OSDB2D.BIN table 9 section 0)"},
        {0, "/osdb/memory/1/values/-", {{"result", 114}}, "built"},
        {0,
         "/osdb/cpuSpec",
         {{"result", 109}},
         "osdb/cpuSpec/result: result 109 cannot be reproduced: /databases/0/osdb/dbTb2/0 gives "
         "values, but CDbTb2 reads the CPU specification values first"},
        {0,
         "/osdb/cpuSpec",
         {{"result", 102}},
         "cpuSpec/result: result 102 cannot be reproduced: a file that is not there"},
        {0,
         "/osdb",
         {{"result", 114}},
         "osdb/result: result 114 cannot be reproduced: a whole file answers one result only "
         "when it is not there (102)"},
        {0,
         "/osdb",
         {{"result", 102}},
         "jqwdb/pdbTb2: no record can be read back: CPdbTb2 asks the CPU specification values "
         "first, and they answer 102 (no OSDB file)"},
        {0, "/model", 1, "built"},
    };
    for (const auto& [pair, at, value, message] : cases) {
        const std::string m = refusal(changed(pair, at, value));
        EXPECT_NE(m.find(message), std::string::npos) << m;
    }
    Json specFails = changed(0, "/osdb/cpuSpec", {{"result", 114}});
    specFails["databases"][0]["osdb"]["dbTb2"][0] = {{"item", 0}, {"result", 109}};
    EXPECT_NE(refusal(specFails).find("dbTb2/0/result: result 109 cannot be reproduced: the CPU "
                                      "specification values answer 114, and CDbTb2 reads them"),
              std::string::npos);
    // The file ends inside one table or section at most.
    Json twoEnds = changed(0, "/osdb/memory/1/values/-", {{"result", 114}});
    twoEnds["databases"][0]["osdb"]["memory"][0]["values"].push_back({{"result", 114}});
    EXPECT_NE(refusal(twoEnds).find("memory/1/values/2/result: result 114 cannot be "
                                    "reproduced: the file can end inside one table or section "
                                    "only, and it ends in table 1"),
              std::string::npos)
        << refusal(twoEnds);
    Json twoTables = changed(0, "/jqwdb/pdbTb0/2", {{"result", 114}});
    twoTables["databases"][0]["jqwdb"]["pdbTb3"][2] = {{"result", 114}};
    EXPECT_NE(refusal(twoTables).find("pdbTb3/2/result: result 114 cannot be reproduced: the "
                                      "file can end inside one table only, and it ends in pdbTb0"),
              std::string::npos)
        << refusal(twoTables);
    Json twice = changed(0, "/model", 1);
    twice["databases"].push_back(twice["databases"][0]);
    EXPECT_EQ(refusal(twice),
              "/databases/1: a pair before it already describes OSDB2D.BIN and JQWDB2D.BIN");
}

TEST(Build, BackupSplitIsTheFirstThatGivesTheItems) {
    // Backup items: value1, value2, attr1..attr5.
    using Item = std::vector<std::int64_t>;
    const Item head{1, 2, 3, 4, 5, 6, 7}, split{1, 2, 3, 258, -1, -1, -1},
        tail{1, 2, 3, -1, -1, -1, -1};
    // Items, splitIndex, splitValue; splitIndex -1: no split gives the items.
    const std::tuple<std::vector<Item>, int, int> cases[] = {
        {{head, head, head}, 0, 0},
        {{head, head, split, tail}, 2, 258},
        {{head, split}, 1, 258},
        // Head items whose values a tail item gives as well: the tail begins
        // where the values first allow it; either way the library answers alike.
        {{head, tail, tail}, 1, 0xFFFF},
        // The first item is never a tail item (splitIndex 0 means none).
        {{tail, head}, 0, 0},
        {{head, split, head}, -1, 0},
    };
    for (const auto& [items, index, value] : cases) {
        SCOPED_TRACE(::testing::PrintToString(items));
        if (index < 0) {
            EXPECT_THROW(zel::tool::deriveBackupSplit(items, "items"), zel::tool::ToolError);
            continue;
        }
        const auto s = zel::tool::deriveBackupSplit(items, "items");
        EXPECT_EQ(s.splitIndex, index);
        EXPECT_EQ(s.splitValue, value);
    }
}

// Where the fields of the built files lie, written out here from the file
// format itself rather than taken from the format descriptions that build,
// check and the library share: a wrong offset in those descriptions moves a
// field away from where this test looks for it.
class BuiltBytes {
  public:
    explicit BuiltBytes(const std::string& name)
        : m_bytes(zel::testing::readText(zel::testing::sampleDir() + "/" + name)) {}

    // Least significant byte first (CPU code 30 and every JQWDB file).
    std::int64_t u(std::uint32_t at, int width) const {
        std::uint32_t v = 0;
        for (int i = width - 1; i >= 0; --i)
            v = (v << 8) | static_cast<unsigned char>(m_bytes.at(at + static_cast<unsigned>(i)));
        return v;
    }
    std::int64_t s(std::uint32_t at, int width) const {
        const std::int64_t v = u(at, width), half = std::int64_t{1} << (8 * width - 1);
        return v >= half ? v - 2 * half : v;
    }
    // The directory entry of table t, the offset of section s of it.
    std::uint32_t tableEntry(unsigned t) const {
        return static_cast<std::uint32_t>(u(8, 4)) + 4 * t;
    }
    std::uint32_t sectionEntry(unsigned t, unsigned s) const { return table(t) + 4 + 4 * s; }
    std::uint32_t table(unsigned t) const {
        const auto base = static_cast<std::uint32_t>(u(8, 4));
        return base + static_cast<std::uint32_t>(u(tableEntry(t), 4));
    }
    std::uint32_t section(unsigned t, unsigned s) const {
        return table(t) + static_cast<std::uint32_t>(u(sectionEntry(t, s), 4));
    }
    std::size_t size() const { return m_bytes.size(); }
    // Record i of a JQWDB table: after the 16-byte header, at the record size.
    std::uint32_t record(unsigned t, unsigned i) const {
        return table(t) + 16 + i * static_cast<std::uint32_t>(u(table(t) + 4, 4));
    }

  private:
    std::string m_bytes;
};

struct Field {
    const char* name;
    std::uint32_t offset;
    int width;
    bool isSigned;
};

TEST(Build, EveryFieldLiesWhereTheFileFormatPutsIt) {
    const Json& pair = zel::testing::sampleDescription()["databases"][7];  // model 20, OS 1
    ASSERT_EQ(pair["model"], 20);
    const BuiltBytes osdb("OSDB2W.BIN"), jqwdb("JQWDB2W.BIN");
    // CPU specification values: table 0 bytes 0, 3, 2 and 5 (values 0, 1, 3,
    // 4), table 2 section 0 bytes 22-23 and section 1 bytes 18-19 (2, 5).
    const Json& spec = pair["osdb"]["cpuSpec"];
    EXPECT_EQ(osdb.s(osdb.table(0) + 0, 1), spec[0]);
    EXPECT_EQ(osdb.s(osdb.table(0) + 3, 1), spec[1]);
    EXPECT_EQ(osdb.s(osdb.section(2, 0) + 22, 2), spec[2]);
    EXPECT_EQ(osdb.s(osdb.table(0) + 2, 1), spec[3]);
    EXPECT_EQ(osdb.s(osdb.table(0) + 5, 1), spec[4]);
    EXPECT_EQ(osdb.s(osdb.section(2, 1) + 18, 2), spec[5]);

    const Json& j = pair["jqwdb"];
    const std::pair<unsigned, std::vector<Field>> wholeRecords[] = {
        {0,
         {{"value1", 0, 4, true},
          {"value2", 4, 4, true},
          {"word1", 8, 2, true},
          {"word2", 10, 2, true},
          {"attr1", 12, 1, true},
          {"attr2", 13, 1, true},
          {"word3", 14, 2, true}}},
        {1,
         {{"value1", 0, 4, true},
          {"value2", 4, 4, true},
          {"word1", 8, 2, true},
          {"attr1", 10, 1, true},
          {"attr2", 11, 1, true},
          {"word2", 12, 2, true}}},
        {3, {{"kind", 0, 1, false}, {"number", 1, 2, false}, {"extra", 3, 1, false}}},
        {5, {{"kind", 0, 1, false}, {"number", 1, 2, false}}},
        {6,
         {{"value1", 0, 4, true},
          {"word1", 4, 2, true},
          {"word2", 6, 2, true},
          {"attr1", 8, 1, true}}},
        {7,
         {{"value1", 0, 4, true},
          {"word1", 4, 2, true},
          {"attr1", 6, 1, true},
          {"attr2", 7, 1, true},
          {"attr3", 8, 1, true}}},
        {8,
         {{"value1", 0, 4, true},
          {"word1", 4, 2, true},
          {"word2", 6, 2, true},
          {"attr1", 8, 1, true}}},
        {9,
         {{"value1", 0, 4, true},
          {"word1", 4, 2, true},
          {"attr1", 6, 1, true},
          {"attr2", 7, 1, true},
          {"attr3", 8, 1, true},
          {"attr4", 9, 1, true}}},
    };
    auto expectFields = [&](std::uint32_t at, const std::vector<Field>& fields, const Json& want) {
        for (const Field& f : fields) {
            SCOPED_TRACE(f.name);
            EXPECT_EQ(
                f.isSigned ? jqwdb.s(at + f.offset, f.width) : jqwdb.u(at + f.offset, f.width),
                want[f.name]);
        }
    };
    for (const auto& [t, fields] : wholeRecords) {
        const Json& records = j["pdbTb" + std::to_string(t)];
        EXPECT_EQ(jqwdb.s(jqwdb.table(t), 4), static_cast<int>(records.size()) - 1);  // last index
        for (unsigned i = 0; i < records.size(); ++i) {
            SCOPED_TRACE("table " + std::to_string(t) + " record " + std::to_string(i));
            expectFields(jqwdb.record(t, i), fields, records[i]);
        }
    }
    // Tables 2 and 4: entry e of a record at 4 * (e - 1) bytes into it.
    for (const unsigned t : {2u, 4u}) {
        const Json& records = j["pdbTb" + std::to_string(t)];
        for (unsigned i = 0; i < records.size(); ++i) {
            const Json& entries = records[i]["entries"];
            for (unsigned e = 0; e < entries.size(); ++e) {
                SCOPED_TRACE("table " + std::to_string(t) + " record " + std::to_string(i));
                expectFields(jqwdb.record(t, i) + 4 * e,
                             {{"kind", 0, 1, false}, {"number", 1, 2, false}}, entries[e]);
            }
        }
    }
    // Table 10: the item count, splitIndex in header bytes 8-9 and splitValue
    // in 12-13; head items before the split, tail items (value1, value2,
    // attr1 from byte 3) from it.
    const Json& backup = j["pdbTb10"];
    const auto start = jqwdb.table(10);
    EXPECT_EQ(jqwdb.s(start, 4), backup["itemCount"]);
    const auto split = static_cast<unsigned>(jqwdb.u(start + 8, 2));
    ASSERT_EQ(split, 2u);
    EXPECT_EQ(jqwdb.s(start + 12, 2), backup["items"][split]["attr2"]);
    const std::vector<Field> head{{"value1", 4, 4, true}, {"value2", 8, 4, true},
                                  {"attr1", 0, 1, true},  {"attr2", 1, 1, true},
                                  {"attr3", 2, 1, true},  {"attr4", 12, 1, true},
                                  {"attr5", 13, 1, true}},
        tail{{"value1", 4, 4, true}, {"value2", 8, 4, true}, {"attr1", 3, 1, true}};
    for (unsigned i = 0; i < backup["items"].size(); ++i) {
        SCOPED_TRACE("table 10 item " + std::to_string(i));
        expectFields(jqwdb.record(10, i), i < split ? head : tail, backup["items"][i]);
    }
}

// Damaged copies of the sample files of model 20 under OS number 1 (least
// significant byte first in both): their dump either builds into files that
// dump the same, every result code in its place, or is refused naming the
// result entry that no built file gives back. Directory entries and section
// offsets are patched with byte-symmetric words: 0xC0C0C0C0 puts a table at a
// negative position (109), 0x30303030 far beyond the end (114).
TEST(Build, DumpOfDamagedFilesBuildsBackOrIsRefused) {
    const std::string osdb = "OSDB2W.BIN", jqwdb = "JQWDB2W.BIN";
    const BuiltBytes o(osdb), j(jqwdb);
    using zel::testing::TempDir;
    auto patch = [](const TempDir& d, const std::string& name, std::uint32_t at, char byte) {
        std::string bytes = zel::testing::readText(d.file(name));
        bytes.replace(at, 4, 4, byte);
        d.write(name, zel::writer::Bytes(bytes.begin(), bytes.end()));
    };
    auto cut = [](const TempDir& d, const std::string& name, std::size_t length) {
        const std::string bytes = zel::testing::readText(d.file(name)).substr(0, length);
        d.write(name, zel::writer::Bytes(bytes.begin(), bytes.end()));
    };
    const char negative = '\xC0', beyond = '\x30';
    struct Row {
        const char* damage;
        std::function<void(const TempDir&)> apply;
        const char* shows;    // in the compact dump of the damaged files
        const char* refusal;  // empty: the dump builds back
    };
    const Row rows[] = {
        {"OSDB file missing", [&](const TempDir& d) { d.remove(osdb); }, R"("osdb":{"result":102})",
         ""},
        {"JQWDB file missing", [&](const TempDir& d) { d.remove(jqwdb); },
         R"("jqwdb":{"result":102})", ""},
        {"OSDB file empty", [&](const TempDir& d) { cut(d, osdb, 0); },
         R"("cpuSpec":{"result":114},"dbTb2":[{"item":0,"result":114})", ""},
        {"JQWDB file ends in its directory", [&](const TempDir& d) { cut(d, jqwdb, 20); },
         R"("pdbTb10":{"result":114})", ""},
        {"CPU specification table at a negative position",
         [&](const TempDir& d) { patch(d, osdb, o.tableEntry(0), negative); },
         R"("pdbTb2":{"result":109})", ""},
        {"address table 6 beyond the end",
         [&](const TempDir& d) { patch(d, osdb, o.tableEntry(6), beyond); },
         R"("dbTb5":[{"item":0,"result":114})", ""},
        {"memory kinds 3 and 9 at a negative position",
         [&](const TempDir& d) { patch(d, osdb, o.sectionEntry(9, 0), negative); },
         R"({"kind":3,"values":[{"result":109})", ""},
        {"JQWDB tables 3 and 10 misplaced",
         [&](const TempDir& d) {
             patch(d, jqwdb, j.tableEntry(3), negative);
             patch(d, jqwdb, j.tableEntry(10), beyond);
         },
         R"("pdbTb3":{"result":109})", ""},
        // The built file ends inside the table or section where the
        // values end, and the tables after it lie beyond the end.
        {"OSDB file cut in its last table", [&](const TempDir& d) { cut(d, osdb, o.size() - 1); },
         R"({"result":114}]},{"kind":9)", ""},
        {"OSDB file cut in an address section",
         [&](const TempDir& d) { cut(d, osdb, o.section(6, 7) + 10); },
         R"("dbTb3":[{"item":0,"result":114})", ""},
        {"JQWDB file cut in a table", [&](const TempDir& d) { cut(d, jqwdb, j.record(0, 1)); },
         R"("pdbTb0":[{"value1")", ""},
        {"JQWDB file cut inside a record of device entries",
         [&](const TempDir& d) { cut(d, jqwdb, j.record(4, 0) + 6); },
         R"("pdbTb4":[{"entries":[{"number")", ""},
        {"JQWDB file cut in the backup table",
         [&](const TempDir& d) { cut(d, jqwdb, j.record(10, 2) + 1); }, R"({"result":114}]}}})",
         ""},
    };
    const std::vector<zel::tool::ModelOsPair> pairs = {zel::tool::requirePair(20, 1)};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.damage);
        TempDir damaged, rebuilt;
        for (const std::string& name : {osdb, jqwdb})
            std::filesystem::copy_file(zel::testing::sampleDir() + "/" + name, damaged.file(name));
        row.apply(damaged);
        const Json first = zel::tool::dumpDocument(damaged.path(), pairs);
        EXPECT_NE(first.dump().find(row.shows), std::string::npos);
        const std::string refused = refusal(first);
        if (*row.refusal) {
            EXPECT_NE(refused.find(row.refusal), std::string::npos) << refused;
            continue;
        }
        ASSERT_EQ(refused, "built");
        for (const auto& file : zel::tool::buildFiles(first)) rebuilt.write(file.name, file.bytes);
        const Json second = zel::tool::dumpDocument(rebuilt.path(), pairs);
        EXPECT_TRUE(second == first) << Json::diff(first, second).dump().substr(0, 400);
    }
}

}  // namespace
