// What lies under a database file's name. When it is no regular file: a FIFO
// (whose open would wait for a writer for ever), a socket, a device (which
// would answer with zeros), a directory, or a link to one of them. Each ends
// the call at once as a missing file does (102), under the exact name and
// under a letter-case variant of it; a link to a regular file is read. Names
// that differ only in letter case, and a directory name that is not UTF-8.
#include <ZelComFuncDbase.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "tests/support/bounded_call.h"
#include "tests/support/jqwdb_samples.h"
#include "tests/support/osdb_samples.h"
#include "tests/support/temp_dir.h"

#if defined(_WIN32)
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>
#endif

namespace {

using namespace zel::testing;

struct Answers {
    short cpuSpec;    // CpuSpec of CPU code 2 under OS type 0 (OSDB2D.BIN)
    ZelLong value2;   // its CPU value 2
    short itemCount;  // GetPdbTb10ItemCount of model 1, OS number 1 (JQWDB2D.BIN)
    // CPU value 2 of the OSDB file read, or CpuSpec's result code.
    ZelLong valueOrResult() const { return cpuSpec == 0 ? value2 : cpuSpec; }
};

// Both calls, on a thread whose blocking fails the test; `release` frees it.
Answers callWithin(const std::string& directory, const std::function<void()>& release) {
    return boundedCall(
        [directory] {
            CZelComFuncDbase db(directory.c_str());
            ZelLong values[6] = {};
            ZelLong count = 0;
            const short cpuSpec = db.CpuSpec(kCpuCode, kOsType, values);
            return Answers{cpuSpec, values[2], db.GetPdbTb10ItemCount(kModel, kOsNumber, &count)};
        },
        release);
}

#if !defined(_WIN32)

namespace fs = std::filesystem;

// Makes something at `path`; false (with a reason) when this system does not
// let the test make it.
using Maker = std::function<bool(const std::string& path, std::string& why)>;

bool makeFifo(const std::string& path, std::string& why) {
    if (::mkfifo(path.c_str(), 0600) == 0) return true;
    why = "mkfifo failed";
    return false;
}

bool makeSocket(const std::string& path, std::string& why) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) {
        why = "path too long for a socket";
        return false;
    }
    path.copy(address.sun_path, path.size());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    // The socket file stays after its descriptor is closed; nobody listens.
    const bool bound =
        fd >= 0 && ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    if (fd >= 0) ::close(fd);
    if (!bound) why = "cannot bind a socket";
    return bound;
}

bool makeDirectory(const std::string& path, std::string&) { return fs::create_directory(path); }

// A character device that answers every read with zeros, like /dev/zero.
bool makeZeroDevice(const std::string& path, std::string& why) {
    if (::mknod(path.c_str(), S_IFCHR | 0600, makedev(1, 5)) == 0) return true;
    why = "mknod is not allowed here";
    return false;
}

bool makeRegular(const std::string& path, std::string&) {
    if (path.find("QWDB") != std::string::npos) {
        zel::writer::JqwdbLayout layout;
        layout.tables[10].lastIndex = 7;
        zel::writer::writeFile(path, zel::writer::buildJqwdb(layout));
    } else {
        zel::writer::writeFile(path, osdbBytes(cpuSpecLayout(), kCpuCode));
    }
    return true;
}

// A symbolic link to what `target` makes beside the database directory.
Maker linkTo(Maker target) {
    return [target](const std::string& path, std::string& why) {
        const fs::path p(path);
        const std::string targetPath =
            (p.parent_path().parent_path() / ("target-" + p.filename().string())).string();
        return target(targetPath, why) && ::symlink(targetPath.c_str(), path.c_str()) == 0;
    };
}

// A link to the system's own /dev/zero.
bool linkToDevZero(const std::string& path, std::string& why) {
    if (::symlink("/dev/zero", path.c_str()) == 0) return true;
    why = "cannot link to /dev/zero";
    return false;
}

struct SpecialCase {
    const char* name;
    Maker make;
    short result;  // of both calls
};

// Printed by its name: GoogleTest would print the bytes, padding included.
void PrintTo(const SpecialCase& c, std::ostream* out) { *out << c.name; }

const SpecialCase kSpecialCases[] = {
    {"Fifo", makeFifo, 102},
    {"Socket", makeSocket, 102},
    {"Directory", makeDirectory, 102},
    {"ZeroDevice", makeZeroDevice, 102},
    {"LinkToFifo", linkTo(makeFifo), 102},
    {"LinkToSocket", linkTo(makeSocket), 102},
    {"LinkToDirectory", linkTo(makeDirectory), 102},
    {"LinkToZeroDevice", linkToDevZero, 102},
    {"LinkToRegularFile", linkTo(makeRegular), 0},
};

// Under the exact names, and under letter-case variants that the fallback
// finds.
const bool kExactName[] = {true, false};

class SpecialFileTest : public ::testing::TestWithParam<std::tuple<SpecialCase, bool>> {};

TEST_P(SpecialFileTest, EndsTheCallAsAMissingFileDoes) {
    const auto& [c, exact] = GetParam();
    TempDir top;
    const std::string dir = top.file("db");
    ASSERT_TRUE(fs::create_directory(dir));
    std::string why;
    for (const char* name : {"OSDB2D.BIN", "JQWDB2D.BIN"}) {
        std::string leaf = name;
        if (!exact) leaf[0] = static_cast<char>(leaf[0] - 'A' + 'a');
        if (!c.make(dir + "/" + leaf, why)) GTEST_SKIP() << why;
    }
    const Answers a = callWithin(dir, [&] { openFifosForWriting(top.path()); });
    EXPECT_EQ(a.cpuSpec, c.result);
    EXPECT_EQ(a.itemCount, c.result);
}

INSTANTIATE_TEST_SUITE_P(Posix, SpecialFileTest,
                         ::testing::Combine(::testing::ValuesIn(kSpecialCases),
                                            ::testing::ValuesIn(kExactName)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) +
                                    (std::get<1>(info.param) ? "" : "CaseVariant");
                         });

constexpr ZelLong kFifo = -1;  // an entry that is a FIFO, not a file

struct Entry {
    const char* name;
    ZelLong mark;  // CPU value 2 of the file, or kFifo
};

struct CaseVariantCase {
    const char* name;
    std::vector<Entry> entries;
    ZelLong read;  // the mark of the file read, or the result code
};

// Printed by its name: GoogleTest would print the bytes, padding included.
void PrintTo(const CaseVariantCase& c, std::ostream* out) { *out << c.name; }

// OSDB2D.BIN is wanted. Bytewise, upper-case letters sort before lower-case
// ones ('D' 0x44 < 'd' 0x64).
const CaseVariantCase kCaseVariantCases[] = {
    {"FirstByBytes", {{"osdb2d.bin", 1}, {"Osdb2D.BIN", 2}}, 2},
    {"ExactNameWins", {{"OSDB2d.BIN", 1}, {"OSDB2D.BIN", 2}, {"OSDB2D.bin", 3}}, 2},
    {"DifferenceLateInTheName", {{"OSDB2d.BIN", 1}, {"OSDB2D.bin", 2}}, 2},
    {"NoMatchOfOtherLength", {{"OSDB2D.BIN.old", 1}, {"OSDB2D.BI", 2}}, 102},
    // The rule chooses among names alone; a chosen FIFO is refused like a
    // missing file, and no other variant is tried.
    {"ChosenFifoIsRefused", {{"OSDB2d.BIN", kFifo}, {"osdb2d.bin", 2}}, 102},
    {"FifoNotChosen", {{"OSDB2d.BIN", 1}, {"osdb2d.bin", kFifo}}, 1},
};

class CaseVariantTest : public ::testing::TestWithParam<CaseVariantCase> {};

// The same entries created in both orders: directories list in creation
// order on some file systems, and the answer must not depend on it.
TEST_P(CaseVariantTest, SameFileWhateverTheOrderOfCreation) {
    for (bool reversed : {false, true}) {
        SCOPED_TRACE(reversed ? "created in reverse order" : "created in order");
        TempDir dir;
        const std::vector<Entry>& given = GetParam().entries;
        const std::vector<Entry> entries =
            reversed ? std::vector<Entry>(given.rbegin(), given.rend()) : given;
        for (const Entry& e : entries) {
            if (e.mark == kFifo) {
                ASSERT_EQ(::mkfifo(dir.file(e.name).c_str(), 0600), 0);
                continue;
            }
            const std::int32_t values[6] = {0, 0, static_cast<std::int32_t>(e.mark), 0, 0, 0};
            dir.write(e.name, osdbBytes(cpuSpecLayout(values), 2));
        }
        EXPECT_EQ(callWithin(dir.path(), [&] { openFifosForWriting(dir.path()); }).valueOrResult(),
                  GetParam().read);
    }
}

INSTANTIATE_TEST_SUITE_P(Posix, CaseVariantTest, ::testing::ValuesIn(kCaseVariantCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A directory named in Latin-1 ("café" with the byte E9), which is not UTF-8,
// reached through the UTF-8 constructor.
TEST(DirectoryNameTest, Latin1DirectoryThroughTheUtf8Constructor) {
    TempDir dir;
    const std::string latin1 = dir.file("caf\xE9");
    ASSERT_EQ(::mkdir(latin1.c_str(), 0700), 0);
    zel::writer::writeFile(latin1 + "/OSDB2D.BIN", osdbBytes(cpuSpecLayout(), 2));
    const auto noFifo = [] {};
    EXPECT_EQ(callWithin(latin1, noFifo).valueOrResult(), kSampleSpec[2]);
    // The same name in UTF-8 is another directory.
    EXPECT_EQ(callWithin(dir.file("caf\xC3\xA9"), noFifo).valueOrResult(), 102);
}

#else

// A named pipe whose directory is \\.\pipe\: the file names of the accessor
// name pipes that the test serves, and that no client ever writes to.
TEST(SpecialFileTest, NamedPipeEndsTheCallAsAMissingFileDoes) {
    const std::wstring base = L"\\\\.\\pipe\\zeldb-" + std::to_wstring(::GetCurrentProcessId());
    HANDLE pipes[2];
    const wchar_t* leaves[] = {L"\\OSDB2D.BIN", L"\\JQWDB2D.BIN"};
    for (int i = 0; i < 2; ++i) {
        pipes[i] = ::CreateNamedPipeW((base + leaves[i]).c_str(), PIPE_ACCESS_OUTBOUND,
                                      PIPE_TYPE_BYTE | PIPE_WAIT, 4, 4096, 4096, 0, nullptr);
        if (pipes[i] == INVALID_HANDLE_VALUE) GTEST_SKIP() << "no named pipes here";
    }
    // Closing the server's ends breaks a read that waits for data.
    bool closed = false;
    auto release = [&] {
        if (!closed) {
            for (HANDLE h : pipes) ::CloseHandle(h);
        }
        closed = true;
    };
    const std::string directory(base.begin(), base.end());
    const Answers a = callWithin(directory, release);
    EXPECT_EQ(a.cpuSpec, 102);
    EXPECT_EQ(a.itemCount, 102);
    release();
}

#endif

}  // namespace
