#include "tool_run.h"

#if defined(_WIN32)
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#else
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#endif

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "build.h"
#include "schema_validation.h"
#include "tests/support/temp_dir.h"

namespace zel::testing {

std::string shellQuoted(const std::string& argument) {
    std::string quoted = "'";
    for (char c : argument) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

#if defined(_WIN32)

std::string makeSpecialFile(const TempDir&, const std::string& name) {
    static int count = 0;
    const std::string path = "\\\\.\\pipe\\zeldb-" + std::to_string(GetCurrentProcessId()) + "-" +
                             std::to_string(count++) + "-" + name;
    // The server's end stays open, so that the pipe exists and waits.
    if (CreateNamedPipeA(path.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE | PIPE_WAIT,
                         PIPE_UNLIMITED_INSTANCES, 4096, 4096, 0, nullptr) == INVALID_HANDLE_VALUE)
        ADD_FAILURE() << path << ": cannot create a named pipe: error " << GetLastError();
    return path;
}

std::string inSmallFileSystem(const TempDir&, const std::string&, const std::string&) {
    return std::string();  // no mount namespaces
}

namespace {

std::wstring wide(const std::string& text) { return std::filesystem::path(text).wstring(); }

// An argument as the C runtime's command line parser gives it back: quoted
// when it holds blanks or quotes; backslashes doubled only before a quote.
std::wstring commandLineQuoted(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos)
        return argument;
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(2 * backslashes, L'\\');
    return quoted + L"\"";
}

// A handle the program inherits as its standard input, output or error.
HANDLE inheritable(const std::wstring& path, DWORD access, DWORD disposition) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                       disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// The C runtime of the program writes its text output with CRLF line ends;
// the tests compare lines.
std::string withLineFeeds(std::string text) {
    std::string::size_type at = 0;
    while ((at = text.find("\r\n", at)) != std::string::npos) text.erase(at, 1);
    return text;
}

}  // namespace

// The program run as runTool says.
static ToolRun runProgram(const std::vector<std::string>& args, const RunOptions& options) {
    if (!options.before.empty() || !options.output.empty()) {
        ADD_FAILURE() << "shell commands and redirections need a POSIX shell";
        return {};
    }
    TempDir capture;
    const std::wstring program = wide(ZELCOMDB_PROGRAM);
    std::wstring commandLine = commandLineQuoted(program);
    for (const auto& a : args) commandLine += L" " + commandLineQuoted(wide(a));

    const HANDLE in = inheritable(options.input.empty() ? L"NUL" : wide(options.input),
                                  GENERIC_READ, OPEN_EXISTING);
    const HANDLE out = inheritable(wide(capture.file("out")), GENERIC_WRITE, CREATE_ALWAYS);
    const HANDLE err = inheritable(wide(capture.file("err")), GENERIC_WRITE, CREATE_ALWAYS);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in;
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process{};
    const bool started = in != INVALID_HANDLE_VALUE && out != INVALID_HANDLE_VALUE &&
                         err != INVALID_HANDLE_VALUE &&
                         CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                                        0, nullptr, nullptr, &startup, &process);
    const DWORD startError = GetLastError();
    for (HANDLE h : {in, out, err})
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    if (!started) {
        ADD_FAILURE() << "cannot run " << ZELCOMDB_PROGRAM << ": error " << startError;
        return {};
    }
    CloseHandle(process.hThread);
    DWORD status = static_cast<DWORD>(-1);
    if (WaitForSingleObject(process.hProcess, 60000) == WAIT_TIMEOUT) {
        TerminateProcess(process.hProcess, kHung);
        WaitForSingleObject(process.hProcess, 5000);
    }
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hProcess);
    return {static_cast<int>(status), withLineFeeds(readText(capture.file("out"))),
            withLineFeeds(readText(capture.file("err")))};
}

#else

std::string makeSpecialFile(const TempDir& dir, const std::string& name) {
    const std::string path = dir.file(name);
    if (::mkfifo(path.c_str(), 0644) != 0) ADD_FAILURE() << path << ": cannot make a FIFO";
    return path;
}

std::string inSmallFileSystem(const TempDir& dir, const std::string& size,
                              const std::string& then) {
    if (std::system(
            ("unshare -m sh -c 'mount -t tmpfs tmpfs " + dir.path() + "' 2>/dev/null").c_str()) !=
        0)
        return std::string();
    return "unshare -m sh -c " +
           shellQuoted("mount -t tmpfs -o size=" + size + " tmpfs " + dir.path() +
                       " && \"$0\" \"$@\"" + then) +
           " ";
}

// The program run as runTool says.
static ToolRun runProgram(const std::vector<std::string>& args, const RunOptions& options) {
    TempDir capture;
    std::string command = options.before + " timeout -k 5 60 " + shellQuoted(ZELCOMDB_PROGRAM);
    for (const auto& a : args) command += " " + shellQuoted(a);
    command += " >" + shellQuoted(options.output.empty() ? capture.file("out") : options.output) +
               " 2>" + shellQuoted(capture.file("err"));
    command += " <" + shellQuoted(options.input.empty() ? "/dev/null" : options.input);
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readText(capture.file("out")),
            readText(capture.file("err"))};
}

#endif

ToolRun runTool(const std::vector<std::string>& args, const RunOptions& options) {
    const ToolRun run = runProgram(args, options);
    // Every description that the tests build is one the schema accepts.
    if (run.status == 0 && args.size() > 1 && args[0] == "build")
        expectSchemaAccepts(args[1] == tool::kStandardInput ? options.input : args[1]);
    return run;
}

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::size_t occurrences(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

std::string testName(const char* description) {
    std::string name;
    for (const char* c = description; *c; ++c)
        name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
    return name;
}

const tool::Json& sampleDescription() {
    static const tool::Json sample = tool::readDescription(ZELCOMDB_SAMPLE);
    return sample;
}

const std::string& sampleDir() {
    static const TempDir dir;
    static const auto built = tool::buildDatabase(ZELCOMDB_SAMPLE, dir.path());
    (void)built;
    return dir.path();
}

std::string sampleDelivery(const TempDir& dir, const std::string& name) {
    namespace fs = std::filesystem;
    tool::Json d = sampleDescription();
    for (tool::Json& pair : d[tool::key::kDatabases])
        if (pair[tool::key::kModel] == 20 && pair[tool::key::kOsNumber] == 2)
            pair["jqwdb"]["pdbTb4"][1]["entries"][2]["kind"] = 157;
    const std::string text = d.dump();
    dir.write(name + ".json", {text.begin(), text.end()});
    const std::string db = dir.file(name);
    tool::buildDatabase(dir.file(name + ".json"), db);
    fs::remove(db + "/JQWDB2W.BIN");
    fs::rename(db + "/OSDB3D.BIN", db + "/osdb3d.bin");
    fs::copy_file(db + "/OSDB2K.BIN", db + "/osdb2k.bin");
    std::fstream(db + "/JQWDB3B.BIN", std::ios::in | std::ios::out | std::ios::binary).put('\x5a');
    return db;
}

}  // namespace zel::testing
