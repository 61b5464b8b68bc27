// zelcomdb build and its output directory: one row per way the tool lost or
// exposed a maintainer's files, the scene set up, the exit status, a line
// the sound tool prints and what must be there afterwards; and a build
// killed before each of its renames.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>

#if !defined(_WIN32)
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "tests/support/temp_dir.h"
#include "tool_run.h"

namespace {

using zel::testing::RunOptions;
using zel::testing::runTool;
using zel::testing::shellQuoted;
using zel::testing::TempDir;
namespace fs = std::filesystem;

constexpr const char* kNoShell = "the scene needs a POSIX shell and its tools";
constexpr const char* kNoLinks =
    "symbolic links to directories need a privilege that Windows tests do not have";
constexpr const char* kNoModes =
    "Windows has no umask and no mode bits; a new directory takes "
    "the access list of its parent";
// The tool's command line under strace, which injects a fault or a delay
// into a chosen system call. LeakSanitizer cannot work under ptrace and
// would end a sanitized tool with status 1 in place of its own, so traced
// runs leave leak checking off.
const std::string kStrace =
    "ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0 strace -f -qq -o /dev/null ";

// A copy of the sample database at $D/db.
std::string sampleCopy(const TempDir& d) {
    fs::create_directory(d.file("db"));
    for (const auto& e : fs::directory_iterator(zel::testing::sampleDir()))
        fs::copy_file(e.path(), d.file("db") / e.path().filename());
    return d.file("db");
}

bool exists(const TempDir& d, const std::string& name) { return fs::exists(d.file(name)); }

#if !defined(_WIN32)
unsigned modeOf(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mode & 07777;
}
unsigned groupOf(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_gid;
}
// A group the directory does not have yet: daemon's, where root may give it.
constexpr gid_t kOtherGroup = 1;
#endif

struct Row {
    const char* what;  // the fault
    // Sets up the directory $D and the run, and gives the arguments.
    std::function<std::vector<std::string>(const TempDir&, RunOptions&)> setup;
    int status;
    const char* expected;                            // in stdout or stderr
    std::function<bool(const TempDir&)> afterwards;  // what must hold then
    const char* needs = nullptr;                     // a command that must work, or skip
    const char* notOnWindows = nullptr;              // why the scene cannot be made there
};

const Row kRows[] = {
    {"build made a database that other accounts cannot read",
     [](const TempDir& d, RunOptions& o) -> std::vector<std::string> {
         o.before = "umask 027;";
         return {"build", ZELCOMDB_SAMPLE, d.file("db")};
     },
     0, "wrote 22 files",
     [](const TempDir& d) {
#if !defined(_WIN32)
         return modeOf(d.file("db")) == 0750 && modeOf(d.file("db/OSDB2D.BIN")) == 0640;
#else
         return d.path().empty();
#endif
     },
     nullptr, kNoModes},
    {"build --force dropped the mode and group of the directory it replaced",
     [](const TempDir& d, RunOptions&) -> std::vector<std::string> {
#if !defined(_WIN32)
         ::chmod(sampleCopy(d).c_str(), 02751);
         if (::geteuid() == 0 && ::chown(d.file("db").c_str(), static_cast<uid_t>(-1), kOtherGroup))
             ADD_FAILURE() << "cannot set the group";
#endif
         return {"build", ZELCOMDB_SAMPLE, d.file("db"), "--force"};
     },
     0, "wrote 22 files",
     [](const TempDir& d) {
#if !defined(_WIN32)
         return modeOf(d.file("db")) == 02751 &&
                (::geteuid() != 0 || (groupOf(d.file("db")) == kOtherGroup &&
                                      groupOf(d.file("db/OSDB2D.BIN")) == kOtherGroup));
#else
         return d.path().empty();
#endif
     },
     nullptr, kNoModes},
    {"build resolved OUTDIR lexically and replaced another directory",
     [](const TempDir& d, RunOptions&) -> std::vector<std::string> {
         fs::create_directories(d.file("x/other/deep"));
         fs::create_directories(d.file("s/db"));
         d.write("s/db/KEEP", zel::writer::Bytes(1, 0));
         fs::create_directory_symlink(d.file("x/other/deep"), d.file("s/link2"));
         return {"build", ZELCOMDB_SAMPLE, d.file("s/link2/../db"), "--force"};
     },
     0, "wrote 22 files",
     [](const TempDir& d) { return exists(d, "s/db/KEEP") && exists(d, "x/other/db/OSDB2D.BIN"); },
     nullptr, kNoLinks},
    {"build --force replaced the directory holding the working directory",
     [](const TempDir& d, RunOptions& o) -> std::vector<std::string> {
         fs::create_directory(sampleCopy(d) + "/sub");
         o.before = "cd " + shellQuoted(d.file("db/sub")) + " &&";
         return {"build", ZELCOMDB_SAMPLE, "..", "--force"};
     },
     2, "..: holds the working directory", [](const TempDir& d) { return exists(d, "db/sub"); },
     nullptr, kNoShell},
    {"build --force replaced the directory holding the description",
     [](const TempDir& d, RunOptions&) -> std::vector<std::string> {
         fs::copy_file(ZELCOMDB_SAMPLE, sampleCopy(d) + "/d.json");
         return {"build", d.file("db/d.json"), d.file("db"), "--force"};
     },
     2, "db: holds the description", [](const TempDir& d) { return exists(d, "db/d.json"); }},
    {"build --force exited 0 leaving a directory it could not remove",
     [](const TempDir& d, RunOptions& o) -> std::vector<std::string> {
         fs::create_directory(sampleCopy(d) + "/sub");
         // A mount point cannot be removed, even by root.
         o.before = "unshare -m sh -c " + shellQuoted("mount -t tmpfs tmpfs " + d.file("db/sub") +
                                                      " && exec \"$0\" \"$@\"");
         return {"build", ZELCOMDB_SAMPLE, d.file("db"), "--force"};
     },
     2, "/sub: cannot remove: Device or resource busy (the new database is in place",
     [](const TempDir& d) { return exists(d, "db/OSDB2D.BIN") && !exists(d, "db/sub"); },
     "unshare -m true", kNoShell},
    {"build without --force deleted a file put into the empty OUTDIR meanwhile",
     [](const TempDir& d, RunOptions& o) -> std::vector<std::string> {
         fs::create_directory(d.file("db"));
         // The file appears once the new directory is made; the first file
         // flushed waits for it.
         o.before = "( while ! ls -d " + shellQuoted(d.path()) +
                    "/.db.new-* >/dev/null 2>&1; do sleep 0.05; done; : > " +
                    shellQuoted(d.file("db/NEW")) + " ) & " + kStrace +
                    "-e inject=fsync:delay_enter=3000000:when=1";
         return {"build", ZELCOMDB_SAMPLE, d.file("db")};
     },
     2, "db: something appeared in it during the build; it is kept",
     [](const TempDir& d) {
         return exists(d, "db/NEW") &&
                std::distance(fs::directory_iterator(d.path()), fs::directory_iterator()) == 1;
     },
     "strace -V", kNoShell},
    {"a second build into the same directory went ahead",
     [](const TempDir& d, RunOptions& o) -> std::vector<std::string> {
         o.before = "flock " + shellQuoted(d.file(".db.lock"));
         return {"build", ZELCOMDB_SAMPLE, d.file("db")};
     },
     2, ".db.lock: another build of the same directory holds this lock",
     [](const TempDir& d) { return !exists(d, "db"); }, "flock -V", kNoShell},
    {"SIGINT during build left the new directory behind",
     [](const TempDir& d, RunOptions& o) -> std::vector<std::string> {
         o.before = kStrace + "-e inject=fsync:signal=INT:when=3";
         sampleCopy(d);
         d.write("db/OLD", zel::writer::Bytes(1, 0));
         return {"build", ZELCOMDB_SAMPLE, d.file("db"), "--force"};
     },
     128 + 2, "",
     [](const TempDir& d) {
         return exists(d, "db/OLD") &&
                std::distance(fs::directory_iterator(d.path()), fs::directory_iterator()) == 1;
     },
     "strace -V", kNoShell},
    {"build took the last of two equal keys",
     [](const TempDir& d, RunOptions&) -> std::vector<std::string> {
         const std::string text = R"({"format": "zelcomdb-database", "version": 1,
             "databases": [{"model": 1, "osNumber": 1, "osNumber": 2}]})";
         d.write("d.json", zel::writer::Bytes(text.begin(), text.end()));
         return {"build", d.file("d.json"), d.file("db")};
     },
     2, "/databases/0/osNumber: the key appears twice in its object",
     [](const TempDir& d) { return !exists(d, "db"); }},
    {"build read a description of any size whole",
     [](const TempDir& d, RunOptions&) -> std::vector<std::string> {
         d.write("d.json", {});
         fs::resize_file(d.file("d.json"), std::uintmax_t{5} << 30);  // sparse
         return {"build", d.file("d.json"), d.file("db")};
     },
     2, "d.json: larger than 64 MiB, the most a description may hold (the description)",
     [](const TempDir& d) { return !exists(d, "db"); }},
    {"build read standard input without end",
     [](const TempDir& d, RunOptions& o) -> std::vector<std::string> {
         o.input = "/dev/zero";
         return {"build", "-", d.file("db")};
     },
     2, "standard input: larger than 64 MiB", [](const TempDir& d) { return !exists(d, "db"); },
     nullptr, "Windows has no device that reads without end"},
};

void PrintTo(const Row& row, std::ostream* out) { *out << row.what; }

class BuildOutput : public ::testing::TestWithParam<Row> {};

TEST_P(BuildOutput, KeepsTheMaintainersFiles) {
    const Row& row = GetParam();
#if defined(_WIN32)
    if (row.notOnWindows) GTEST_SKIP() << row.notOnWindows;
#endif
    if (row.needs && std::system((std::string(row.needs) + " >/dev/null 2>&1").c_str()) != 0)
        GTEST_SKIP() << "cannot run " << row.needs << " here";
    TempDir d;
    RunOptions options;
    const auto args = row.setup(d, options);
    const auto run = runTool(args, options);
    EXPECT_EQ(run.status, row.status) << run.err;
    EXPECT_NE((run.out + run.err).find(row.expected), std::string::npos) << run.out << run.err;
    EXPECT_TRUE(row.afterwards(d)) << run.err;
}

INSTANTIATE_TEST_SUITE_P(Tool, BuildOutput, ::testing::ValuesIn(kRows), zel::testing::rowName<Row>);

#if !defined(_WIN32)
// Killed before each of its renames (and while writing its files), a build
// with --force leaves the old or the new database whole in OUTDIR, and the
// next build says what it found, puts the old one back where OUTDIR is
// missing and removes the rest. The exchange in one step, and the two
// renames where the file system refuses the exchange.
TEST(BuildOutput, KilledAtAnyStepLeavesAWholeDatabaseAndTheNextBuildCleansUp) {
    if (std::system("strace -V >/dev/null 2>&1") != 0) GTEST_SKIP() << "strace is missing";
    const char* kNoExchange = "-e inject=renameat2:error=EINVAL ";
    const std::string kills[] = {
        "-e inject=fsync:signal=KILL:when=5",
        "-e inject=renameat2:signal=KILL:when=1",  // the exchange
        std::string(kNoExchange) + "-e inject=renameat:signal=KILL:when=1",
        std::string(kNoExchange) + "-e inject=renameat:signal=KILL:when=2",
    };
    const auto count = [](const std::string& dir) {
        return std::distance(fs::directory_iterator(dir), fs::directory_iterator());
    };
    for (const std::string& inject : kills) {
        SCOPED_TRACE(inject);
        TempDir d;
        sampleCopy(d);
        d.write("db/OLD", zel::writer::Bytes(1, 0));
        auto run =
            runTool({"build", ZELCOMDB_SAMPLE, d.file("db"), "--force"}, {"", kStrace + inject});
        EXPECT_EQ(run.status, 128 + 9) << run.err;
        // Killed before the step that puts the new one in place: the old
        // database whole, or none until the next build puts it back.
        if (fs::exists(d.file("db"))) {
            EXPECT_EQ(count(d.file("db")), 23);
        }
        run = runTool({"build", ZELCOMDB_SAMPLE, d.file("db"), "--force"});
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_NE(run.err.find("db: an interrupted build left .db."), std::string::npos) << run.err;
        EXPECT_EQ(count(d.path()), 1) << "only db";
        EXPECT_EQ(count(d.file("db")), 22);
    }
}
#endif

}  // namespace
