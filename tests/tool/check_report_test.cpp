// zelcomdb check on whole directories: findings about the names in it, files
// that cannot be read, a file of any size, the order of the findings, their
// counts and the JSON form.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sstream>
#include <tuple>

#include "tests/support/temp_dir.h"
#include "tool_run.h"

namespace {

using zel::testing::runTool;
using zel::testing::sampleDir;
using zel::testing::TempDir;
using zel::tool::Json;
namespace fs = std::filesystem;

void copySample(const TempDir& d, const char* from, const std::string& to) {
    fs::copy_file(sampleDir() + "/" + from, d.file(to));
}

// Model 1 OS number 1: OSDB2D.BIN and JQWDB2D.BIN.
void samplePair(const TempDir& d) {
    copySample(d, "OSDB2D.BIN", "OSDB2D.BIN");
    copySample(d, "JQWDB2D.BIN", "JQWDB2D.BIN");
}

bool addressSanitizer() {
#if defined(__SANITIZE_ADDRESS__)
    return true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    return true;
#endif
#endif
    return false;
}

// A directory prepared for check: what it shows, how it is filled (giving
// the directory to check), the exit status and a line of the output.
struct Scene {
    const char* what;
    std::function<std::string(const TempDir&)> setup;
    int status;
    const char* line;
    const char* notOnWindows{};  // why the scene cannot be made there
};

const Scene kScenes[] = {
    {"names differing only in letter case",
     [](const TempDir& d) {
         samplePair(d);
         fs::rename(d.file("OSDB2D.BIN"), d.file("OsDb2D.BIN"));
         copySample(d, "OSDB2W.BIN", "osdb2d.bin");
         return d.path();
     },
     1,
     "OsDb2D.BIN: directory at offset 0: 2 names differ only in letter case (OsDb2D.BIN, "
     "osdb2d.bin): the library reads OsDb2D.BIN",
     "a Windows directory cannot hold names that differ only in case"},
    {"a JQWDB file without its OSDB file",
     [](const TempDir& d) {
         copySample(d, "JQWDB2D.BIN", "JQWDB2D.BIN");
         return d.path();
     },
     1,
     "JQWDB2D.BIN: directory at offset 0: OSDB2D.BIN is missing: CPdbTb2 and CPdbTb4 take "
     "their entry bound from its CPU specification values and answer 102 (file not found)"},
    {"a name no model reaches",
     [](const TempDir& d) {
         samplePair(d);
         copySample(d, "OSDB2D.BIN", "OSDB2Z.BIN");
         return d.path();
     },
     1, "OSDB2Z.BIN: directory at offset 0: no model and OS number reach this name"},
    {"a directory too long for the composed names",
     [](const TempDir& d) {
         std::string deep = d.path();
         for (int i = 0; i < 3; ++i) deep += "/" + std::string(200, 'd');
         fs::create_directories(deep);
         fs::copy_file(sampleDir() + "/OSDB2D.BIN", deep + "/OSDB2D.BIN");
         return deep;
     },
     1, "appends) is too long: 164 of the 164 names the library composes with it exceed"},
    {"a directory under a database file's name",
     [](const TempDir& d) {
         samplePair(d);
         fs::remove(d.file("JQWDB2D.BIN"));
         fs::create_directory(d.file("JQWDB2D.BIN"));
         return d.path();
     },
     1, "JQWDB2D.BIN: file at offset 0: not a regular file"},
    {"a FIFO under a database file's name",
     [](const TempDir& d) {
         samplePair(d);
         fs::remove(d.file("JQWDB2D.BIN"));
         zel::testing::makeSpecialFile(d, "JQWDB2D.BIN");
         return d.path();
     },
     1, "JQWDB2D.BIN: file at offset 0: not a regular file",
     "Windows keeps named pipes out of directories"},
    {"a file the tool may not read, before a sound one",
     [](const TempDir& d) {
         samplePair(d);
         copySample(d, "OSDB2W.BIN", "OSDB2W.BIN");
         fs::permissions(d.file("OSDB2D.BIN"), fs::perms::none);
         return d.path();
     },
     1,
     "OSDB2D.BIN: file at offset 0: cannot open: Permission denied: the library answers 102 "
     "(file not found)\nOSDB2D.BIN: 1 finding\n"
     "1 finding in 3 files checked",
     "the run as another user that file permissions stop is POSIX's setpriv"},
};

void PrintTo(const Scene& scene, std::ostream* out) { *out << scene.what; }

class CheckScene : public ::testing::TestWithParam<Scene> {};

TEST_P(CheckScene, IsReportedAndTheCheckGoesOn) {
    const Scene& scene = GetParam();
#if defined(_WIN32)
    if (scene.notOnWindows) GTEST_SKIP() << scene.notOnWindows;
    const std::string unprivileged;
#else
    // Run as an unprivileged user, so that permissions count.
    const std::string unprivileged = "setpriv --reuid=65534 --regid=65534 --clear-groups";
#endif
    TempDir d;
    fs::permissions(d.path(), fs::perms::all);  // the unprivileged run lists it
    const auto run = runTool({"check", scene.setup(d)}, {"", unprivileged});
    EXPECT_EQ(run.status, scene.status) << run.out << run.err;
    EXPECT_NE(run.out.find(scene.line), std::string::npos) << run.out << run.err;
}

INSTANTIATE_TEST_SUITE_P(Directory, CheckScene, ::testing::ValuesIn(kScenes),
                         zel::testing::rowName<Scene>);

// Only the ranges a reader reaches are read: a file of 5 GiB (sparse) is
// checked within a memory limit far below its size.
TEST(Check, HugeFileCostsLittleMemory) {
#if defined(_WIN32)
    GTEST_SKIP() << "the memory limit is the POSIX shell's ulimit (Wine enforces no job "
                    "object's memory limit)";
#endif
    if (addressSanitizer()) GTEST_SKIP() << "the sanitizer reserves more than the limit";
    TempDir d;
    samplePair(d);
    fs::resize_file(d.file("JQWDB2D.BIN"), 5ull << 30);
    const auto run = runTool({"check", d.path()}, {"", "ulimit -v 300000;"});
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_EQ(run.out, "0 findings in 2 files checked\nok\n");
}

// Findings sorted by file and offset, a count per file and in all; --json
// gives the same findings.
TEST(Check, FindingsAreSortedCountedAndTheSameInJson) {
    TempDir d;
    samplePair(d);
    copySample(d, "OSDB2W.BIN", "OSDB2W.BIN");
    copySample(d, "JQWDB2W.BIN", "JQWDB2W.BIN");
    fs::resize_file(d.file("OSDB2W.BIN"), 9000);  // findings late and early in the file
    fs::resize_file(d.file("JQWDB2D.BIN"), 100);
    const auto text = runTool({"check", d.path()});
    EXPECT_EQ(text.status, 1);
    std::vector<std::string> lines;
    std::istringstream in(text.out);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    ASSERT_GE(lines.size(), 4u);

    const auto run = runTool({"check", d.path(), "--json"});
    EXPECT_EQ(run.status, 1);
    const Json doc = Json::parse(run.out);
    const Json& findings = doc["findings"];
    ASSERT_EQ(doc["count"], findings.size());
    EXPECT_EQ(doc["ok"], false);
    ASSERT_EQ(lines.size(), findings.size() + 3);  // two files with findings, the total
    std::map<std::string, int> perFile;
    for (std::size_t i = 0; i < findings.size(); ++i) {
        const Json& f = findings[i];
        // A short file's first line says so, without a place.
        const bool short_ = f["kind"] == "file-short";
        EXPECT_EQ(lines[i], f["file"].get<std::string>() + ": " +
                                (short_ ? ""
                                        : f["table"].get<std::string>() + " at offset " +
                                              std::to_string(f["offset"].get<long long>()) + ": ") +
                                f["reason"].get<std::string>());
        ++perFile[f["file"]];
        if (i == 0 || short_ || findings[i - 1]["kind"] == "file-short") continue;
        const Json& e = findings[i - 1];
        EXPECT_TRUE(std::make_tuple(e["file"].get<std::string>(), e["offset"].get<long long>()) <=
                    std::make_tuple(f["file"].get<std::string>(), f["offset"].get<long long>()))
            << lines[i - 1] << "\n"
            << lines[i];
    }
    ASSERT_EQ(perFile.size(), 2u);
    EXPECT_EQ(lines[findings.size()], "JQWDB2D.BIN: " + std::to_string(perFile["JQWDB2D.BIN"]) +
                                          " finding" + (perFile["JQWDB2D.BIN"] > 1 ? "s" : ""));
    EXPECT_EQ(lines.back(), std::to_string(findings.size()) + " findings in 4 files checked");
    ASSERT_EQ(doc["files"].size(), 4u);
    for (const Json& f : doc["files"])
        EXPECT_EQ(f["findings"], perFile[f["file"].get<std::string>()]) << f.dump();

    const Json clean = Json::parse(runTool({"check", sampleDir(), "--json"}).out);
    EXPECT_EQ(clean["ok"], true);
    EXPECT_EQ(clean["findings"], Json::array());
    EXPECT_EQ(clean["files"].size(), 22u);
}

}  // namespace
