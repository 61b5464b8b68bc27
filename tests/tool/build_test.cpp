// zelcomdb build: the round trip, the refusals that name what they refuse
// (values two items share that disagree, values the library could never
// deliver), and the split of the backup table derived from its items.
#include "build.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "build_jqwdb.h"
#include "tests/support/temp_dir.h"
#include "tool_error.h"
#include "tool_run.h"

namespace {

using zel::testing::runTool;
using zel::testing::samplePair;
using zel::tool::Json;

TEST(Build, RoundTripOfADumpGivesTheSameDump) {
    zel::testing::TempDir first, second, third;
    ASSERT_EQ(runTool({"build", zel::testing::samplePath(), first.path()}).status, 0);
    const auto dump1 = runTool({"dump", first.path(), "--all", "--json"});
    ASSERT_EQ(dump1.status, 0) << dump1.err;
    zel::writer::writeFile(second.file("dump.json"),
                           zel::writer::Bytes(dump1.out.begin(), dump1.out.end()));
    const auto build = runTool({"build", second.file("dump.json"), third.path()});
    ASSERT_EQ(build.status, 0) << build.err;
    EXPECT_EQ(build.out, "wrote 22 files to " + third.path() + "\n");
    const auto dump2 = runTool({"dump", third.path(), "--all", "--json"});
    ASSERT_EQ(dump2.status, 0) << dump2.err;
    EXPECT_TRUE(dump1.out == dump2.out) << "the dumps differ";
}

TEST(Build, RefusedDescriptionWritesNoFile) {
    zel::testing::TempDir dir;
    Json d = samplePair(0);
    d["databases"][0]["osdb"]["dbTb5"].push_back({{"item", 40}});  // beyond class 0's 27
    const std::string text = d.dump();
    zel::writer::writeFile(dir.file("d.json"), zel::writer::Bytes(text.begin(), text.end()));
    const auto run = runTool({"build", dir.file("d.json"), dir.file("out")});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("databases[0].osdb.dbTb5[7].item: 40 is outside 0..27"),
              std::string::npos)
        << run.err;
    EXPECT_FALSE(std::filesystem::exists(dir.file("out")));
}

TEST(Build, InvalidJsonIsOneLine) {
    zel::testing::TempDir dir;
    zel::writer::writeFile(dir.file("d.json"), {'{', '"', 'a'});
    const auto run = runTool({"build", dir.file("d.json"), dir.path()});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("not valid JSON"), std::string::npos);
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1);
}

struct Refusal {
    const char* name;
    std::size_t pair;                   // sample pair 0: CPU code 2; 4: CPU code 12 (class 1)
    std::function<void(Json&)> change;  // on databases[0]
    std::vector<std::string> fragments;
};

void PrintTo(const Refusal& r, std::ostream* os) { *os << r.name; }

class Refusals : public ::testing::TestWithParam<Refusal> {};

TEST_P(Refusals, MessageNamesWhatIsRefused) {
    Json d = samplePair(GetParam().pair);
    GetParam().change(d["databases"][0]);
    try {
        zel::tool::buildFiles(d);
        FAIL() << "built";
    } catch (const zel::tool::ToolError& e) {
        const std::string message = e.what();
        for (const auto& f : GetParam().fragments)
            EXPECT_NE(message.find(f), std::string::npos) << message;
        EXPECT_EQ(message.find('\n'), std::string::npos);
    }
}

Json& item(Json& list, int number) {
    for (Json& x : list)
        if (x.contains("item") && x["item"] == number) return x;
    throw std::runtime_error("no item");
}

const Refusal kRefusals[] = {
    {"SharedRowWord3",
     0,
     [](Json& d) { item(d["osdb"]["dbTb3"], 12)["address"] = 1; },
     {"table 6 section 7 offset",
      "dbTb3 item 12 address (1) disagrees with dbTb3 item 11 "
      "address (58128)"}},
    {"SharedRowBit5",
     0,
     [](Json& d) { item(d["osdb"]["dbTb5"], 16)["bitMask"] = 32; },
     {"dbTb5 item 16 bitMask (32) disagrees with dbTb5 item 14 bitMask (16)"}},
    {"MemoryKinds3And9",
     0,
     [](Json& d) { d["osdb"]["memory"][3]["values"][2] = 65; },
     {"table 9 section 0", "memory kind 9 index 2 (65) disagrees with memory kind 3 index 2 (64)"}},
    {"TwoBitItemsSharingTheirRow",
     0,
     [](Json& d) {
         for (Json& b : item(d["osdb"]["dbTb4"], 84)["bits"])
             b["address"] = b["address"].get<int>() + 4;
     },
     {"dbTb4 item 84 entry 1 (address 9748, so the row's first address is 9748)",
      "disagrees with dbTb4 item 83 entry 1 (address 9744"}},
    {"TwoBitEntriesOfOneItem",
     0,
     [](Json& d) { item(d["osdb"]["dbTb4"], 83)["bits"][5]["address"] = 9744; },
     {"dbTb4 item 83 entry 6", "disagrees with dbTb4 item 83 entry 1"}},
    {"TwoBitMaskNotOfItsEntry",
     0,
     [](Json& d) { item(d["osdb"]["dbTb4"], 83)["bits"][1]["bitMask"] = 1; },
     {"dbTb4[5].bits[1].bitMask: 1 is not the mask 4 that item 83 has for entry 2"}},
    {"MaskBeyondOneByte",
     0,
     [](Json& d) { item(d["osdb"]["dbTb4"], 0)["bits"][0]["bitMask"] = 256; },
     {"dbTb4[0].bits[0].bitMask: 256 is outside 0..255"}},
    {"MoreAddressesThanTheRowShows",
     0,
     [](Json& d) { item(d["osdb"]["dbTb2"], 28)["addresses"].push_back(1); },
     {"dbTb2[4].addresses: 5 entries, but the row holds 4 (entry bound 4, slot count 12)"}},
    {"ValuesForAnAbsentItem",
     0,
     [](Json& d) {
         d["osdb"]["dbTb4"].push_back({{"item", 50}, {"bits", Json::array()}});
     },
     {"dbTb4 item 50 is absent for CPU code 2"}},
    {"RowNumberAbsentInClass1",
     4,
     [](Json& d) {
         d["osdb"]["dbTb4"].push_back({{"item", 96}, {"bits", Json::array()}});
     },
     {"dbTb4 item 96 is absent for CPU code 12"}},
    {"ItemTwice",
     0,
     [](Json& d) {
         d["osdb"]["dbTb3"].push_back({{"item", 2}});
     },
     {"item 2 is described twice"}},
    {"SpecValueBeyondAByte",
     0,
     [](Json& d) { d["osdb"]["cpuSpec"][0] = 200; },
     {"osdb.cpuSpec[0]: 200 is outside -128..127"}},
    {"MoreEntriesThanAccepted",
     0,
     [](Json& d) {
         d["jqwdb"]["pdbTb4"][0]["entries"] = Json::array();
         for (int e = 0; e < 9; ++e) d["jqwdb"]["pdbTb4"][0]["entries"].push_back({{"number", e}});
     },
     {"pdbTb4[0].entries: 9 entries, but CPdbTb4 accepts entry numbers up to 8"}},
    {"UnknownRecordField",
     0,
     [](Json& d) { d["jqwdb"]["pdbTb6"][0]["attr2"] = 1; },
     {"pdbTb6[0].attr2: unknown key"}},
    {"BackupItemsWithoutASplit",
     0,
     [](Json& d) { d["jqwdb"]["pdbTb10"]["items"][4]["attr2"] = 300; },
     {"pdbTb10.items[2]: no split into head and tail items"}},
    {"MoreItemsThanTheCount",
     0,
     [](Json& d) { d["jqwdb"]["pdbTb10"]["itemCount"] = 2; },
     {"5 items, but the item count is 2"}},
    {"DerivedCpuCodeOfAnotherModel",
     0,
     [](Json& d) { d["cpuCode"] = 3; },
     {"databases[0].cpuCode: 3, but model 1 OS number 1 has 2"}},
    {"PairWithoutFiles",
     0,
     [](Json& d) { d["osNumber"] = 5; },
     {"model 1 (CPU code 2) has no database files for OS number 5"}},
};

INSTANTIATE_TEST_SUITE_P(Build, Refusals, ::testing::ValuesIn(kRefusals),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Build, TwoPairsNamingTheSameFilesAreRefused) {
    Json d = samplePair(0);
    Json other = d["databases"][0];
    other["model"] = 1;
    d["databases"].push_back(other);
    EXPECT_THROW(zel::tool::buildFiles(d), zel::tool::ToolError);
}

// Backup items: value1, value2, attr1..attr5.
using Item = std::vector<std::int64_t>;
const Item kHead{1, 2, 3, 4, 5, 6, 7};
const Item kTailAtSplit{1, 2, 3, 258, -1, -1, -1};
const Item kTail{1, 2, 3, -1, -1, -1, -1};

struct SplitCase {
    const char* name;
    std::vector<Item> items;
    int splitIndex;
    int splitValue;
};

void PrintTo(const SplitCase& c, std::ostream* os) { *os << c.name; }

class BackupSplit : public ::testing::TestWithParam<SplitCase> {};

TEST_P(BackupSplit, FirstSplitThatGivesTheItems) {
    const auto split = zel::tool::deriveBackupSplit(GetParam().items, "items");
    EXPECT_EQ(split.splitIndex, GetParam().splitIndex);
    EXPECT_EQ(split.splitValue, static_cast<std::uint16_t>(GetParam().splitValue));
}

const SplitCase kSplits[] = {
    {"NoItems", {}, 0, 0},
    {"HeadItemsOnly", {kHead, kHead, kHead}, 0, 0},
    {"SplitValueBeyondAByte", {kHead, kHead, kTailAtSplit, kTail}, 2, 258},
    // Head items whose values a tail item gives as well: the tail begins
    // where the values first allow it; either way the library answers alike.
    {"TailLookingHeadItems", {kHead, kTail, kTail}, 1, -1},
    {"SplitItemLast", {kHead, kTailAtSplit}, 1, 258},
    // The first item can never be a tail item (splitIndex 0 means none).
    {"FirstItemTailLooking", {kTail, kHead}, 0, 0},
};

INSTANTIATE_TEST_SUITE_P(Build, BackupSplit, ::testing::ValuesIn(kSplits),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Build, NoSplitForASplitValueBeforeHeadItems) {
    EXPECT_THROW(zel::tool::deriveBackupSplit({kHead, kTailAtSplit, kHead}, "items"),
                 zel::tool::ToolError);
    EXPECT_THROW(zel::tool::deriveBackupSplit({kTailAtSplit}, "items"), zel::tool::ToolError);
}

}  // namespace
