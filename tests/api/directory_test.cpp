// The database directory as file systems hold it: names that differ only in
// letter case, and a directory name that is not UTF-8.
#include <ZelComFuncDbase.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/bounded_call.h"
#include "tests/support/osdb_samples.h"
#include "tests/support/temp_dir.h"

#if !defined(_WIN32)
#include <sys/stat.h>
#endif

namespace {

using namespace zel::testing;

#if !defined(_WIN32)

// CPU value 2 of the OSDB file that CpuSpec of CPU code 2 under OS type 0
// read, or the result code when it failed.
ZelLong valueRead(const std::string& directory) {
    CZelComFuncDbase db(directory.c_str());
    ZelLong values[6] = {};
    const short result = db.CpuSpec(2, 0, values);
    return result == 0 ? values[2] : result;
}

// The same, freed should it block on a FIFO of the directory.
ZelLong valueReadWithin(const std::string& directory) {
    return boundedCall([directory] { return valueRead(directory); },
                       [directory] { openFifosForWriting(directory); });
}

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
        EXPECT_EQ(valueReadWithin(dir.path()), GetParam().read);
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
    EXPECT_EQ(valueRead(latin1), kSampleSpec[2]);
    // The same name in UTF-8 is another directory.
    EXPECT_EQ(valueRead(dir.file("caf\xC3\xA9")), 102);
}

#endif

}  // namespace
