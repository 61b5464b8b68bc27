// zelcomdb report: every text from the files is escaped and nothing outside
// the page is loaded; a layout bar shows a one-byte change of a large file
// and stays small however many records it has; the page is written whole or
// not at all; and headless Chromium renders the review of a sample delivery
// as `diff --json` and `check --json` see it.
#include "report.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "diff.h"
#include "layout_svg.h"
#include "tests/support/temp_dir.h"
#include "tool_run.h"

namespace {

using zel::testing::occurrences;
using zel::testing::readText;
using zel::testing::runTool;
using zel::testing::sampleDir;
using zel::testing::shellQuoted;
using zel::testing::TempDir;
using zel::tool::Json;
namespace fs = std::filesystem;

TEST(Report, EveryTextFromTheFilesIsEscapedAndNothingIsLoaded) {
    const std::string hostile = "<script>alert('x')</script>&\"";
    const Json range = {{"offset", 0}, {"length", 1}};
    const Json report = {
        {"old", hostile},
        {"new", "new"},
        {"diff",
         {{"summary", {{"changed", 1}, {"differences", 1}}},
          {"files",
           {{{"status", "changed"},
             {"oldName", hostile},
             {"newName", hostile},
             {"readers", {{{"model", 1}, {"os", 1}}}},
             {"oldSize", 10},
             {"newSize", 10},
             {"differences", 1},
             {"unreached", {{"bytes", 1}, {"ranges", {range}}}}}}},
          {"differences",
           {{{"file", hostile},
             {"model", 1},
             {"os", 1},
             {"table", "dbTb3"},
             {"index", 2},
             {"field", hostile},
             {"old", hostile},
             {"new", {{"result", 102}, {"text", hostile}}}}}}}},
        {"check",
         {{"count", 1},
          {"findings", {{{"file", hostile}, {"table", hostile}, {"reason", hostile}}}}}},
        {"layouts",
         {{{"layout",
            {{"size", 10},
             {"parts", {{{"offset", 0}, {"length", 10}, {"kind", hostile}, {"name", hostile}}}}}},
           {"changed", {range}}}}}};
    const std::string page = zel::tool::reportHtml(report);
    EXPECT_EQ(occurrences(page, hostile), 0u);
    EXPECT_EQ(occurrences(page, "<script"), 0u);
    EXPECT_GE(occurrences(page, "&lt;script&gt;alert(&#39;x&#39;)&lt;/script&gt;&amp;&quot;"), 8u);
    for (const char* outside : {"http:", "https:", "file:", "src=", "url(", "@import", "<link"})
        EXPECT_EQ(occurrences(page, outside), 0u) << outside;
}

// The x and width of the first shape whose tooltip starts with `title`.
std::pair<double, double> shapeOf(const std::string& svg, const std::string& title) {
    const auto at = svg.find("<title>" + title);
    if (at == std::string::npos) return {-1, -1};
    const auto rect = svg.rfind("<rect", at);
    auto attribute = [&](const char* name) {
        const auto v = svg.find(std::string(" ") + name + "=\"", rect) + std::strlen(name) + 3;
        return std::stod(svg.substr(v, svg.find('"', v) - v));
    };
    return {attribute("x"), attribute("width")};
}

TEST(Report, LayoutBarShowsOneChangedByteOfALargeFileAndStaysSmall) {
    constexpr std::uint64_t kSize = 1600064, kReachEnd = 2000000;
    Json parts = Json::array();
    for (int i = 0; i < 20000; ++i)
        parts.push_back({{"offset", 64 + 16 * i},
                         {"length", 16},
                         {"kind", "record"},
                         {"name", "pdbTb6 record " + std::to_string(i)},
                         {"depth", 2}});
    const Json layout = {{"size", kSize},
                         {"reachEnd", kReachEnd},
                         {"parts", parts},
                         {"reached", {{{"offset", 0}, {"length", kSize - 100}}}}};
    const std::string figure =
        zel::tool::layoutFigure("a large file", layout, {{{"offset", 800000}, {"length", 1}}},
                                {{{"offset", kSize - 64}, {"length", 1}}});
    // The bar starts 80 units in and is 1000 wide, for bytes 0 to kReachEnd.
    const struct {
        const char* title;
        double x;
    } marks[] = {
        {"changed: offset 800000", 80 + 400},
        {"changed, no reader reaches it: offset 1600000", 80 + 800},
        {"no reader reaches offset 1599964", 80 + 799.98},
        {"the file ends at 1600064", 80 + 800},
        {"pdbTb6 record 0:", 80},
    };
    for (const auto& m : marks) {
        const auto [x, width] = shapeOf(figure, m.title);
        EXPECT_NEAR(x, m.x, 0.6) << m.title;
        EXPECT_GE(width, 1.0) << m.title;
    }
    EXPECT_LT(occurrences(figure, "<rect"), 3000u);
    EXPECT_NE(figure.find("more under this mark"), std::string::npos);
}

// The files of a directory that a failed write could have left behind.
std::vector<std::string> entries(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(Report, IsWrittenWholeOrTheFileIsLeftAsItWas) {
    const std::string db = sampleDir();
    struct Case {
        const char* what;
        std::function<void(const TempDir&)> prepare;
        std::string output;  // in the test's directory
        std::string newDir;  // "" for the sample
        int status;
        std::string left;  // what stands under the output's name after: "page", a text, "dir"
    };
    const auto write = [](const char* text) {
        return [text](const TempDir& d) { d.write("r.html", {text, text + std::strlen(text)}); };
    };
    const Case cases[] = {
        {"a new file", [](const TempDir&) {}, "r.html", "", 0, "page"},
        {"an existing file is replaced", write("old"), "r.html", "", 0, "page"},
        {"a directory is refused", [](const TempDir& d) { fs::create_directory(d.file("r.html")); },
         "r.html", "", 2, "dir"},
        {"a missing folder", [](const TempDir&) {}, "none/r.html", "", 2, ""},
        {"a failed review keeps the old file", write("old"), "r.html", "nosuch", 2, "old"},
#if !defined(_WIN32)
        {"a symbolic link is refused",
         [](const TempDir& d) {
             d.write("target", {'k'});
             fs::create_symlink("target", d.file("r.html"));
         },
         "r.html", "", 2, "k"},
#endif
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        c.prepare(dir);
        const auto before = entries(dir.path());
        const auto run = runTool(
            {"report", db, c.newDir.empty() ? db : dir.file(c.newDir), "-o", dir.file(c.output)});
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_EQ(run.err.empty(), c.status == 0) << run.err;
        if (c.left == "page") {
            EXPECT_EQ(readText(dir.file(c.output)).rfind("<!DOCTYPE html>", 0), 0u);
        } else if (c.left == "dir") {
            EXPECT_TRUE(fs::is_directory(dir.file(c.output)));
        } else if (!c.left.empty()) {
            EXPECT_EQ(readText(dir.file(c.output)), c.left);
        }
        // Nothing else is left: no half page beside the output.
        auto after = entries(dir.path());
        if (c.status == 0 && before.empty())
            after.erase(std::find(after.begin(), after.end(), "r.html"));
        EXPECT_EQ(after, before);
    }
    const auto toStandardOutput = runTool({"report", db, db, "-o", "-"});
    EXPECT_EQ(toStandardOutput.status, 0) << toStandardOutput.err;
    EXPECT_EQ(toStandardOutput.out.rfind("<!DOCTYPE html>", 0), 0u);
}

TEST(Report, AFullFileSystemLeavesNoHalfPage) {
    TempDir dir;
    const std::string mount =
        zel::testing::inSmallFileSystem(dir, "4k", "; s=$?; ls -A " + dir.path() + "; exit $s");
    if (mount.empty()) GTEST_SKIP() << "cannot mount a small file system here";
    TempDir empty;
    const auto run =
        runTool({"report", sampleDir(), empty.path(), "-o", dir.file("r.html")}, {"", mount});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("No space left on device"), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");  // ls found nothing
}

#if !defined(_WIN32)

// The text of an HTML fragment as a reader sees it: tags dropped, the
// references the browser writes back turned into their characters.
std::string textOf(const std::string& html) {
    std::string text;
    for (std::size_t i = 0; i < html.size(); ++i) {
        if (html[i] == '<') {
            i = html.find('>', i);
            if (i == std::string::npos) break;
            text += ' ';
            continue;
        }
        text += html[i];
    }
    const std::pair<const char*, const char*> references[] = {{"&lt;", "<"},    {"&gt;", ">"},
                                                              {"&quot;", "\""}, {"&#39;", "'"},
                                                              {"&nbsp;", " "},  {"&amp;", "&"}};
    for (const auto& [reference, character] : references)
        for (auto at = text.find(reference); at != std::string::npos;
             at = text.find(reference, at + 1))
            text.replace(at, std::strlen(reference), character);
    // White space collapses as a browser shows it.
    std::string collapsed;
    for (const char c : text)
        if (!std::isspace(static_cast<unsigned char>(c)) ||
            (!collapsed.empty() && collapsed.back() != ' '))
            collapsed += std::isspace(static_cast<unsigned char>(c)) ? ' ' : c;
    return collapsed;
}

// The headless browser of the build machine, or "" when there is none.
std::string browser() {
    std::FILE* pipe = popen("command -v chromium || command -v chromium-browser", "r");
    if (!pipe) return "";
    char path[4096] = {};
    const bool found = std::fgets(path, sizeof path, pipe) != nullptr;
    pclose(pipe);
    std::string name = found ? path : "";
    while (!name.empty() && name.back() == '\n') name.pop_back();
    return name;
}

// Runs the browser headless on a page with a profile of its own, for at
// most a minute; what it prints on standard output goes to `out`.
int runBrowser(const std::string& program, const std::string& arguments, const std::string& page,
               const std::string& out) {
    TempDir profile;
    const std::string command =
        "timeout -k 5 60 " + shellQuoted(program) +
        " --headless --no-sandbox --disable-gpu --disable-dev-shm-usage --no-first-run"
        " --disable-extensions"
        " --disable-background-networking --hide-scrollbars --user-data-dir=" +
        shellQuoted(profile.path()) + " " + arguments + " " + shellQuoted("file://" + page) + " >" +
        shellQuoted(out) + " 2>/dev/null";
    return std::system(command.c_str());
}

// A value of a difference as diff's text shows it.
std::string shown(const Json& d, const char* side) {
    const auto text = [&](const char* name) {
        return d[name].is_null() ? "" : d[name].get<std::string>();
    };
    return zel::tool::valueText(d[side], text("table"), text("field"));
}

TEST(Report, ChromiumRendersTheSampleDeliveryAsDiffSeesIt) {
    const std::string chromium = browser();
    if (chromium.empty()) GTEST_SKIP() << "no chromium on this machine";
    TempDir dir;
    const std::string delivery = zel::testing::sampleDelivery(dir, "new-db");
    fs::create_directories(ZELCOMDB_REPORT_DIR);
    const std::string page = std::string(ZELCOMDB_REPORT_DIR) + "/report.html";
    const auto run = runTool({"report", sampleDir(), delivery, "-o", page});
    ASSERT_EQ(run.status, 0) << run.err;

    ASSERT_EQ(runBrowser(chromium, "--dump-dom", page, dir.file("dom.html")), 0);
    const std::string dom = readText(dir.file("dom.html"));
    const Json diff = Json::parse(runTool({"diff", sampleDir(), delivery, "--json"}).out);
    const Json check = Json::parse(runTool({"check", delivery, "--json"}).out);
    // The section of the i-th file of the diff, or of the differences that
    // name no file of it.
    const auto section = [&](const std::string& id) {
        const auto start = dom.find("id=\"" + id + "\"");
        return start == std::string::npos
                   ? std::string()
                   : textOf(dom.substr(start, dom.find("</section>", start) - start));
    };
    const Json files = diff.value("files", Json::array());
    std::vector<std::string> names;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const Json& f = files[i];
        const std::string text = section("file-" + std::to_string(i + 1));
        names.push_back((f["newName"].is_null() ? f["oldName"] : f["newName"]).get<std::string>());
        EXPECT_NE(text.find(f["status"].get<std::string>() + " " + names.back()), std::string::npos)
            << text;
        const auto unreached = f["unreached"]["bytes"].get<std::uint64_t>();
        if (unreached > 0) {
            EXPECT_NE(text.find(std::to_string(unreached) + " changed byte"), std::string::npos);
        }
    }
    for (const Json& d : diff["differences"]) {
        const std::string file = d.value("file", "");
        const auto listed = std::find(names.begin(), names.end(), file);
        const std::string text = section(
            listed == names.end() ? "other" : "file-" + std::to_string(listed - names.begin() + 1));
        // Old and new side by side, in the section of the file.
        EXPECT_NE(text.find(shown(d, "old") + " " + shown(d, "new")), std::string::npos)
            << d.dump();
    }
    // The byte changed where no reader reaches shows in the summary too.
    EXPECT_EQ(diff["summary"]["unreachedBytes"], 1);
    EXPECT_NE(section("summary").find("1 byte changed where no reader reaches"), std::string::npos);
    const std::string checkText = section("check");
    for (const Json& f : check["findings"])
        EXPECT_NE(checkText.find(f["reason"].get<std::string>()), std::string::npos) << f.dump();

    // A picture for the reviewer, kept in the build folder.
    const std::string screenshot = std::string(ZELCOMDB_REPORT_DIR) + "/report.png";
    fs::remove(screenshot);
    EXPECT_EQ(
        runBrowser(chromium, "--screenshot=" + shellQuoted(screenshot) + " --window-size=1200,2400",
                   page, dir.file("screenshot.log")),
        0);
    EXPECT_GT(fs::exists(screenshot) ? fs::file_size(screenshot) : 0, 10000u);
}

#endif

}  // namespace
