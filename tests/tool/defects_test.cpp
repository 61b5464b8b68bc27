// One row per fault a new database maintainer met in the tool: the scenario
// as a command on a prepared directory, the exit status and a line the
// sound tool prints. (Faults with more to show have tests of their own:
// build's full disk and replaced directory, check's order and JSON, diff.)
#include <gtest/gtest.h>

#if !defined(_WIN32)
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#endif

#include <cstring>
#include <filesystem>
#include <functional>

#include "tests/support/temp_dir.h"
#include "tool_run.h"

namespace {

using zel::testing::runTool;
using zel::testing::sampleDir;
using zel::testing::TempDir;
using zel::tool::Json;
namespace fs = std::filesystem;

struct Row {
    const char* what;  // the defect
    // Fills the directory $D (its path) and gives the arguments.
    std::function<std::vector<std::string>(const TempDir&)> setup;
    int status;
    const char* expected;        // in stdout or stderr
    const char* notOnWindows{};  // why the scene cannot be made there
};

constexpr const char* kOneCase = "a Windows directory cannot hold names that differ only in case";
constexpr const char* kNoPipeDir =
    "Windows keeps named pipes in \\\\.\\pipe\\, which the tool does not take for a directory";

constexpr const char* kNoControlNames = "Windows file names hold no control character";
constexpr const char* kUtf16Names =
    "Windows file names are UTF-16: no byte of them can fail to be UTF-8";
constexpr const char* kBackslashSeparates =
    "a backslash separates names on Windows too: no directory name holds one";

// A socket at DIR/NAME; Windows has none to put in a directory.
void makeSocket(const TempDir& d, const std::string& name) {
#if !defined(_WIN32)
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, d.file(name).c_str(), sizeof address.sun_path - 1);
    const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (s < 0 || ::bind(s, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        ADD_FAILURE() << d.file(name) << ": cannot make a socket";
    if (s >= 0) ::close(s);
#else
    (void)d, (void)name;
#endif
}

// A directory whose path is exactly `length` bytes long, inside d.
std::string directoryOfLength(const TempDir& d, std::size_t length) {
    std::string path = d.path();
    while (length - path.size() > 201) path += "/" + std::string(100, 'x');
    path += "/" + std::string(length - path.size() - 1, 'y');
    fs::create_directories(path);
    return path;
}

void copy(const TempDir& d, const char* name, const std::string& to) {
    fs::copy_file(sampleDir() + "/" + name, d.file(to));
}

std::string description(const TempDir& d, const std::string& pointer, const Json& value) {
    Json j = zel::testing::sampleDescription();
    j["databases"] = Json::array({j["databases"][0]});
    j["databases"][0][Json::json_pointer(pointer)] = value;
    const std::string text = j.dump();
    d.write("d.json", zel::writer::Bytes(text.begin(), text.end()));
    return d.file("d.json");
}

const Row kRows[] = {
    {"build took a result entry for a value",
     [](const TempDir& d) -> std::vector<std::string> {
         return {"build", description(d, "/osdb/dbTb3/0", {{"item", 0}, {"result", 7}}),
                 d.file("db")};
     },
     2, "/databases/0/osdb/dbTb3/0/result: result 7 cannot be reproduced"},
    {"check passed names differing only in letter case",
     [](const TempDir& d) -> std::vector<std::string> {
         copy(d, "OSDB2D.BIN", "OsDb2D.BIN");
         copy(d, "OSDB2W.BIN", "osdb2d.bin");
         return {"check", d.path()};
     },
     1, "the library reads OsDb2D.BIN", kOneCase},
    {"check passed a JQWDB file without its OSDB file",
     [](const TempDir& d) -> std::vector<std::string> {
         copy(d, "JQWDB2D.BIN", "JQWDB2D.BIN");
         return {"check", d.path()};
     },
     1, "OSDB2D.BIN is missing"},
    {"check passed junk names",
     [](const TempDir& d) -> std::vector<std::string> {
         copy(d, "OSDB2D.BIN", "OSDB2Z.BIN");
         return {"check", d.path()};
     },
     1, "OSDB2Z.BIN: directory at offset 0: no model and OS number reach this name"},
    {"check gave no summary",
     [](const TempDir& d) -> std::vector<std::string> {
         copy(d, "OSDB2D.BIN", "OSDB2D.BIN");
         return {"check", d.path()};
     },
     0, "0 findings in 1 file checked\nok\n"},
    {"check had no machine-readable form",
     [](const TempDir& d) -> std::vector<std::string> {
         copy(d, "OSDB2D.BIN", "OSDB2D.BIN");
         return {"check", d.path(), "--json"};
     },
     0, "\"ok\": true"},
    {"a FIFO hung check",
     [](const TempDir& d) -> std::vector<std::string> {
         copy(d, "JQWDB2D.BIN", "JQWDB2D.BIN");
         zel::testing::makeSpecialFile(d, "OSDB2D.BIN");
         return {"check", d.path()};
     },
     1, "OSDB2D.BIN: file at offset 0: not a regular file", kNoPipeDir},
    {"a FIFO hung dump",
     [](const TempDir& d) -> std::vector<std::string> {
         zel::testing::makeSpecialFile(d, "OSDB2D.BIN");
         return {"dump", d.path(), "1", "1"};
     },
     1, "102 (file not found)", kNoPipeDir},
    {"a FIFO hung spec",
     [](const TempDir& d) -> std::vector<std::string> {
         zel::testing::makeSpecialFile(d, "OSDB2D.BIN");
         return {"spec", d.path(), "1", "1"};
     },
     1, "no values: result 102 (file not found)", kNoPipeDir},
    {"a FIFO as the description hung build",
     [](const TempDir& d) -> std::vector<std::string> {
         return {"build", zel::testing::makeSpecialFile(d, "d.json"), d.file("db")};
     },
     2, "d.json: not a regular file (the description)"},
    {"build overwrote a directory and kept its stale files",
     [](const TempDir& d) -> std::vector<std::string> {
         d.write("STALE.BIN", zel::writer::Bytes(1, 0));
         return {"build", ZELCOMDB_SAMPLE, d.path()};
     },
     2, "not empty (--force replaces it"},
    {"deep nesting crashed build",
     [](const TempDir& d) -> std::vector<std::string> {
         const std::string text = std::string(100000, '[') + std::string(100000, ']');
         d.write("d.json", zel::writer::Bytes(text.begin(), text.end()));
         return {"build", d.file("d.json"), d.file("db")};
     },
     2, "nesting deeper than 8 levels"},
    {"keys with control characters went raw into the error line",
     [](const TempDir& d) -> std::vector<std::string> {
         return {"build", description(d, "/bad\u001b[2J", 1), d.file("db")};
     },
     2, "/databases/0/bad\\x1B[2J: unknown key"},
    {"the unknown-subcommand message listed cpuValues",
     [](const TempDir&) -> std::vector<std::string> { return {"values"}; }, 2,
     "unknown subcommand values (models, spec, dump, diff, check, report, build, schema, help"},
    {"help was no subcommand", [](const TempDir&) -> std::vector<std::string> { return {"help"}; },
     0, "Usage: zelcomdb [OPTIONS] SUBCOMMAND"},
    {"there was no --version",
     [](const TempDir&) -> std::vector<std::string> { return {"--version"}; }, 0,
     "zelcomdb (ZelComFuncDbase) "},
    {"dump of an empty directory exited 0",
     [](const TempDir& d) -> std::vector<std::string> {
         return {"dump", d.path(), "1", "1"};
     },
     1, "102 (file not found)"},
    {"spec of an empty directory exited 2",
     [](const TempDir& d) -> std::vector<std::string> {
         return {"spec", d.path(), "1", "1"};
     },
     1, "102 (file not found)"},
    {"dump --all of an empty directory exited 2",
     [](const TempDir& d) -> std::vector<std::string> {
         return {"dump", d.path(), "--all"};
     },
     1, "no database file found"},
    {"no way to see one table or one item",
     [](const TempDir&) -> std::vector<std::string> {
         return {"dump", sampleDir(), "12", "1", "--table", "dbTb3", "--item", "3"};
     },
     0, "       3       0x13   0xec1c\n"},
    {"no way to compare two databases",
     [](const TempDir& d) -> std::vector<std::string> {
         copy(d, "OSDB2D.BIN", "OSDB2D.BIN");
         return {"diff", sampleDir(), d.path(), "1", "1"};
     },
     1, "removed JQWDB2D.BIN (640 bytes), read by model 1 on OS 1"},
    {"check passed a directory whose composed names do not fit the name buffer",
     [](const TempDir& d) -> std::vector<std::string> {
         // With the separator the library appends, 500 units: JQWDB2Q1.BIN
         // and its NUL make 513.
         const std::string dir = directoryOfLength(d, 499);
         fs::copy_file(sampleDir() + "/OSDB2D.BIN", dir + "/OSDB2D.BIN");
         return {"check", dir};
     },
     1, "(500 units with the separator the library appends) is too long"},
    {"check read the directory named with a backslash, where the library reads another",
     [](const TempDir& d) -> std::vector<std::string> {
         fs::create_directories(d.file("a\\b"));
         fs::create_directories(d.file("a/b"));
         copy(d, "OSDB2D.BIN", "a\\b/OSDB2D.BIN");
         return {"check", d.file("a\\b")};
     },
     1, "no database file found", kBackslashSeparates},
    {"models said yes for a FIFO",
     [](const TempDir& d) -> std::vector<std::string> {
         zel::testing::makeSpecialFile(d, "OSDB2D.BIN");
         return {"models", d.path()};
     },
     0, "OSDB2D.BIN   JQWDB2D.BIN   not a regular file", kNoPipeDir},
    {"models said yes for a socket",
     [](const TempDir& d) -> std::vector<std::string> {
         makeSocket(d, "OSDB2D.BIN");
         return {"models", d.path()};
     },
     0, "OSDB2D.BIN   JQWDB2D.BIN   not a regular file", "Windows puts no socket in a directory"},
    {"models said yes for a directory",
     [](const TempDir& d) -> std::vector<std::string> {
         fs::create_directory(d.file("OSDB2D.BIN"));
         return {"models", d.path()};
     },
     0, "OSDB2D.BIN   JQWDB2D.BIN   not a regular file"},
    {"models said yes for a symbolic link that loops",
     [](const TempDir& d) -> std::vector<std::string> {
         fs::create_symlink("OSDB2D.BIN", d.file("OSDB2D.BIN"));
         return {"models", d.path()};
     },
     0, "OSDB2D.BIN   JQWDB2D.BIN   not a regular file",
     "a symbolic link needs a privilege on Windows"},
    {"check --json failed on a file name that is not UTF-8",
     [](const TempDir& d) -> std::vector<std::string> {
         copy(d, "OSDB2D.BIN", "OSDB\xFF.BIN");
         return {"check", d.path(), "--json"};
     },
     1, "\"file\": \"OSDB\\\\xFF.BIN\"", kUtf16Names},
    {"check printed control characters of file names raw",
     [](const TempDir& d) -> std::vector<std::string> {
         copy(d, "OSDB2D.BIN", "OSDB\x1B]0;t\x07.BIN");
         return {"check", d.path()};
     },
     1, "OSDB\\x1B]0;t\\x07.BIN: directory at offset 0", kNoControlNames},
    {"models --json failed on a directory name that is not UTF-8",
     [](const TempDir& d) -> std::vector<std::string> {
         fs::create_directory(d.file("\xFF"));
         return {"models", d.file("\xFF"), "--json"};
     },
     0, "/\\\\xFF\"", kUtf16Names},
    {"raw bytes of a description went into its parse error",
     [](const TempDir& d) -> std::vector<std::string> {
         const std::string text = "{\"a\": \"\xFF\x1B\"}";
         d.write("d.json", zel::writer::Bytes(text.begin(), text.end()));
         return {"build", d.file("d.json"), d.file("db")};
     },
     2, "\\xFF"},
};

void PrintTo(const Row& row, std::ostream* out) { *out << row.what; }

class Defects : public ::testing::TestWithParam<Row> {};

TEST_P(Defects, IsMended) {
    const Row& row = GetParam();
#if defined(_WIN32)
    if (row.notOnWindows) GTEST_SKIP() << row.notOnWindows;
#endif
    TempDir d;
    const auto run = runTool(row.setup(d));
    EXPECT_EQ(run.status, row.status) << run.err;
    EXPECT_NE((run.out + run.err).find(row.expected), std::string::npos)
        << run.out.substr(0, 2000) << run.err;
}

INSTANTIATE_TEST_SUITE_P(Tool, Defects, ::testing::ValuesIn(kRows), zel::testing::rowName<Row>);

}  // namespace
