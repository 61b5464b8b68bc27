// Running the zelcomdb program from the tests, and the sample database.
#ifndef ZEL_TESTS_TOOL_TOOL_RUN_H
#define ZEL_TESTS_TOOL_TOOL_RUN_H

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "schema.h"
#include "tests/support/temp_dir.h"

namespace zel::testing {

struct ToolRun {
    int status = -1;
    std::string out, err;
};

struct RunOptions {
    std::string input;  // a file for standard input; none when empty
    // Shell commands run first in the same shell ("ulimit -v N;"); a POSIX
    // shell only, so tests that need them are skipped on Windows.
    std::string before;
    // A file for standard output instead of the captured one (POSIX only).
    std::string output{};
};

// The system's device that reads as empty, a file that is not a regular one.
#if defined(_WIN32)
constexpr const char* kNullDevice = "NUL";
#else
constexpr const char* kNullDevice = "/dev/null";
#endif

// The exit status of a program that hung and was stopped.
constexpr int kHung = 124;

// Runs zelcomdb with the arguments, capturing its output and exit status; a
// run that takes longer than a minute is stopped with status kHung. On
// Windows the output's CRLF line ends are read as LF.
ToolRun runTool(const std::vector<std::string>& args, const RunOptions& options = {});
// Makes a special file that hangs a program that opens and reads it as a
// regular file, and gives its path: a FIFO that no one writes to at
// DIR/NAME, or on Windows, which keeps named pipes out of directories, a
// named pipe NAME of no writer under \\.\pipe\ that lasts until the test
// program ends.
std::string makeSpecialFile(const TempDir& dir, const std::string& name);
// A prefix for RunOptions::before that runs the program in a private mount
// namespace, with a file system of `size` (tmpfs) mounted at dir, and then
// the shell commands `then` ("$?" is the program's status); "" where no file
// system can be mounted (root only).
std::string inSmallFileSystem(const TempDir& dir, const std::string& size, const std::string& then);
// An argument quoted for the shell.
std::string shellQuoted(const std::string& argument);
std::string readText(const std::string& path);
// How often `part` stands in the text, overlapping places counted.
std::size_t occurrences(const std::string& text, const std::string& part);
// A test's name made from the words that describe it.
std::string testName(const char* description);
// The name of a table row's test: its `what`, the words that describe it.
template <class Row>
std::string rowName(const ::testing::TestParamInfo<Row>& info) {
    return testName(info.param.what);
}

// The bundled sample description, and a directory holding the sample
// database, built once.
const tool::Json& sampleDescription();
const std::string& sampleDir();
// The sample delivery, written to dir/NAME: the sample with one value
// changed (model 20, OS 2: pdbTb4 record 1, entry 3's kind 156 -> 157),
// JQWDB2W.BIN removed, OSDB3D.BIN renamed osdb3d.bin, byte 0 of JQWDB3B.BIN
// (no reader reaches it) changed, and osdb2k.bin added beside OSDB2K.BIN.
std::string sampleDelivery(const TempDir& dir, const std::string& name);

}  // namespace zel::testing

#endif
