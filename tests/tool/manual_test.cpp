// zelcomdb's manual: --help fits 80 columns and says the exit statuses once,
// the man page has its sections and its examples run, and the bash
// completion offers what the tool takes (called in bash as bash calls it).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "dump.h"
#include "tests/support/temp_dir.h"
#include "tool_run.h"

namespace {

using zel::testing::occurrences;
using zel::testing::runTool;
using zel::testing::shellQuoted;
using zel::tool::Json;

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) result.push_back(line);
    return result;
}

std::string help(const std::vector<std::string>& args) {
    const auto run = runTool(args);
    EXPECT_EQ(run.status, 0) << run.err;
    return run.out;
}

// The subcommands in the "Subcommands:" block of `zelcomdb --help`.
std::vector<std::string> subcommands() {
    std::vector<std::string> names;
    bool inBlock = false;
    for (const std::string& line : lines(help({"--help"}))) {
        if (line == "Subcommands:")
            inBlock = true;
        else if (inBlock && line.rfind("  ", 0) == 0 && line[2] != ' ')
            names.push_back(line.substr(2, line.find(' ', 2) - 2));
        else if (inBlock && line.rfind("  ", 0) != 0)
            break;
    }
    EXPECT_FALSE(names.empty());
    return names;
}

// The statuses of the paragraph "Exit status: 0 TEXT; 1 TEXT; 2 TEXT." of
// the main --help, each TEXT on one line.
std::vector<std::string> exitStatusTexts() {
    std::string flat = help({"--help"});
    std::replace(flat.begin(), flat.end(), '\n', ' ');
    const auto start = flat.find("Exit status: ");
    EXPECT_NE(start, std::string::npos);
    std::vector<std::string> texts;
    std::istringstream in(flat.substr(start + 13));
    for (std::string text; std::getline(in, text, ';');)
        texts.push_back(text.substr(text.find_first_not_of(" 0123456789")));
    while (!texts.empty() && texts.back().back() == ' ') texts.back().pop_back();
    return texts;
}

// --help, the help subcommand and every subcommand's --help show the usage.
TEST(Manual, HelpFitsEightyColumnsAndNamesTheExitStatusesOnce) {
    std::vector<std::vector<std::string>> commands = {{"--help"}, {"help"}};
    for (const std::string& name : subcommands()) {
        commands.push_back({name, "--help"});
        commands.push_back({"help", name});
    }
    for (const auto& args : commands) {
        const std::string text = help(args);
        EXPECT_NE(text.find("Usage: zelcomdb"), std::string::npos) << text;
        for (const std::string& line : lines(text))
            EXPECT_LE(line.size(), 80u) << args[0] << ": " << line;
        EXPECT_EQ(occurrences(text, "Exit status:"), args.size() == 1 ? 1u : 0u) << args[0];
    }
    EXPECT_EQ(exitStatusTexts().size(), 3u);
}

#if defined(ZELCOMDB_MAN_PAGE)

// The page's words as a reader sees them: roff's escaped minus a plain one,
// lines joined by spaces.
std::string manPage() {
    std::string page = zel::testing::readText(ZELCOMDB_MAN_PAGE);
    for (auto at = page.find("\\-"); at != std::string::npos; at = page.find("\\-", at))
        page.erase(at, 1);
    return page;
}

TEST(Manual, ManPageHasEachSectionOnceAndTheExitStatusesOnlyThere) {
    const std::string page = manPage();
    for (const char* section : {"NAME", "SYNOPSIS", "DESCRIPTION", "OPTIONS", "SUBCOMMANDS",
                                "\"EXIT STATUS\"", "FILES", "EXAMPLES", "\"SEE ALSO\""})
        EXPECT_EQ(occurrences(page, std::string("\n.SH ") + section + "\n"), 1u) << section;
    EXPECT_EQ(occurrences(page, "Exit status:"), 0u);
    const auto exitStatus = page.find(".SH \"EXIT STATUS\"");
    for (const std::string& text : exitStatusTexts()) {
        EXPECT_EQ(occurrences(page, text), 1u) << text;
        EXPECT_GT(page.find(text), exitStatus) << text;
    }
}

// The examples review a delivery: old-db is the sample, new-db the sample
// delivery. Every command line runs as written (no usage error, no
// failure).
TEST(Manual, ManPageExamplesRunOnTheSample) {
    zel::testing::TempDir dir;
    zel::testing::sampleDelivery(dir, "new-db");
    ASSERT_EQ(std::system(("cp -R " + shellQuoted(zel::testing::sampleDir()) + " " +
                           shellQuoted(dir.file("old-db")))
                              .c_str()),
              0);

    std::size_t examples = 0;
    for (const std::string& line : lines(manPage())) {
        if (line.rfind("$ zelcomdb ", 0) != 0) continue;
        ++examples;
        std::istringstream words(line.substr(11));
        std::vector<std::string> args;
        std::string output;
        for (std::string word; words >> word;) {
            if (word == ">")
                words >> output;
            else
                args.push_back(word);
        }
        const auto run = runTool(args, {"", "cd " + shellQuoted(dir.path()) + " &&"});
        EXPECT_TRUE(run.status == 0 || run.status == 1) << line << ": " << run.err;
        EXPECT_EQ(run.err, "") << line;
        if (!output.empty()) dir.write(output, zel::writer::Bytes(run.out.begin(), run.out.end()));
    }
    EXPECT_GE(examples, 5u);
}

#endif

#if defined(ZELCOMDB_COMPLETION)

// What the completion offers for the words, the last one being completed:
// bash alone sources the file, sets COMP_WORDS and COMP_CWORD and calls it.
std::vector<std::string> completions(const std::vector<std::string>& words) {
    std::string script = "source " + shellQuoted(ZELCOMDB_COMPLETION) + " && COMP_WORDS=(";
    for (const std::string& w : words) script += shellQuoted(w) + " ";
    script += ") && COMP_CWORD=" + std::to_string(words.size() - 1) +
              " && _zelcomdb && printf '%s\\n' \"${COMPREPLY[@]}\"";
    const std::string command = "bash --norc --noprofile -c " + shellQuoted(script);
    std::FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return {"(bash did not start)"};
    std::string out;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        out.append(buffer, n);
    if (pclose(pipe) != 0) return {"(the completion failed)"};
    std::vector<std::string> offered;
    for (const std::string& line : lines(out))
        if (!line.empty()) offered.push_back(line);
    std::sort(offered.begin(), offered.end());
    return offered;
}

std::vector<std::string> sorted(std::vector<std::string> words) {
    std::sort(words.begin(), words.end());
    return words;
}

TEST(Manual, CompletionOffersWhatTheToolTakes) {
    zel::testing::TempDir dir;
    dir.write("sample.json", {});
    const std::string db = dir.file("sample-db");
    ASSERT_EQ(std::system(("mkdir " + shellQuoted(db)).c_str()), 0);
    const std::vector<std::string> all = subcommands();
    struct Case {
        std::vector<std::string> words;
        std::vector<std::string> offered;
    };
    const Case cases[] = {
        {{"zelcomdb", ""}, all},
        {{"zelcomdb", "d"}, {"diff", "dump"}},
        {{"zelcomdb", "--v"}, {"--version"}},
        {{"zelcomdb", "help", ""}, all},
        {{"zelcomdb", "nosuch", ""}, {}},
        {{"zelcomdb", "dump", "db", "1", "1", "--table", ""}, zel::tool::tableKeys()},
        {{"zelcomdb", "dump", "db", "--table", "=", "pdbTb1"}, {"pdbTb1", "pdbTb10"}},
        {{"zelcomdb", "dump", "db", "--table", "="}, zel::tool::tableKeys()},
        {{"zelcomdb", "dump", "db", "--item", ""}, {}},
        {{"zelcomdb", "dump", "--t"}, {"--table"}},
        {{"zelcomdb", "diff", "--"},
         {"--all", "--help", "--item", "--json", "--model", "--name-only", "--os", "--quiet",
          "--stat", "--table"}},
        {{"zelcomdb", "build", "--f"}, {"--force"}},
        // Positionals: an option's value does not count as one.
        {{"zelcomdb", "spec", "db", "4"}, {"4", "40", "41", "42", "43", "44", "45", "46", "47"}},
        {{"zelcomdb", "dump", "db", "--table", "pdbTb4", "20", ""},
         {"1", "2", "3", "4", "5", "6", "7"}},
        {{"zelcomdb", "check", dir.file("sam")}, {db, dir.file("sample.json")}},
        {{"zelcomdb", "diff", db, dir.file("sample-")}, {db}},
    };
    for (const Case& c : cases) {
        std::string line;
        for (const std::string& w : c.words) line += w + " ";
        EXPECT_EQ(completions(c.words), sorted(c.offered)) << line;
    }
}

#endif

}  // namespace
