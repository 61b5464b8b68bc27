// Every reader that reads a file, under the file-layer failures that real
// files cannot produce: a read error at each field of each file that the call
// opens, a failing close of each of those files, and reads that deliver their
// bytes in parts. Each ends the call with
// 100 + its cause, closes the file, and leaves the caller's output as the
// reader's failure rules say: untouched, except for the values that CpuSpec
// wrote before the failure and the value that DbTbMem and GetPdbTb10ItemCount
// store before they close the file.
#include <ZelComFuncDbase.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "platform/fault_injector.h"
#include "tests/support/address_file.h"
#include "tests/support/jqwdb_samples.h"

namespace {

using namespace zel::testing;
using DB = CZelComFuncDbase;

// For each value of a reader's output that it writes before it closes the
// file: the field read (from 1, in the last file it opens) after which it is
// written, or kBeforeClose for a value stored between the last read and the
// close. Readers that write their output only after the close list none.
constexpr int kBeforeClose = 1000;

struct ReaderCase {
    const char* name;
    ZelCall call;  // model index 1, OS number 1 (CpuSpec: CPU code 2, OS type 0)
    std::vector<int> valueRead;
};

// Printed by its name: GoogleTest would print the bytes, padding included.
void PrintTo(const ReaderCase& c, std::ostream* out) { *out << c.name; }

// Entry 2 for tables 2 and 4; index 3 of table 10 is the item at splitIndex,
// which reads splitValue too.
const ReaderCase kReaders[] = {
    // CpuSpec reads: base, entry 0, values 0, 1, 3, 4, entry 2, section 0
    // offset, value 2, section 1 offset, value 5.
    {"CpuSpec", {ZEL_CpuSpec, kCpuCode, kOsType, 0, 0, 0}, {3, 4, 9, 5, 6, 11}},
    {"DbTb2", {ZEL_CDbTb2, kModel, kOsNumber, 29, 2, 0}, {}},
    {"DbTb3", {ZEL_CDbTb3, kModel, kOsNumber, 1, 0, 0}, {}},
    {"DbTb4", {ZEL_CDbTb4, kModel, kOsNumber, 83, 9, 0}, {}},
    {"DbTb5", {ZEL_CDbTb5, kModel, kOsNumber, 0, 0, 0}, {}},
    {"DbTbMem", {ZEL_CDbTbMem, kModel, kOsNumber, 9, 2, 0}, {kBeforeClose}},
    {"GetPdbTb10ItemCount", {ZEL_GetPdbTb10ItemCount, kModel, kOsNumber, 0, 0, 0}, {kBeforeClose}},
    {"PdbTb0", {ZEL_CPdbTb0, kModel, kOsNumber, 1, 2, 0}, {}},
    {"PdbTb1", {ZEL_CPdbTb1, kModel, kOsNumber, 1, 2, 0}, {}},
    {"PdbTb2", {ZEL_CPdbTb2, kModel, kOsNumber, 1, 2, 0}, {}},
    {"PdbTb3", {ZEL_CPdbTb3, kModel, kOsNumber, 1, 2, 0}, {}},
    {"PdbTb4", {ZEL_CPdbTb4, kModel, kOsNumber, 1, 2, 0}, {}},
    {"PdbTb5", {ZEL_CPdbTb5, kModel, kOsNumber, 1, 2, 0}, {}},
    {"PdbTb6", {ZEL_CPdbTb6, kModel, kOsNumber, 1, 2, 0}, {}},
    {"PdbTb7", {ZEL_CPdbTb7, kModel, kOsNumber, 1, 2, 0}, {}},
    {"PdbTb8", {ZEL_CPdbTb8, kModel, kOsNumber, 1, 2, 0}, {}},
    {"PdbTb9", {ZEL_CPdbTb9, kModel, kOsNumber, 1, 2, 0}, {}},
    {"PdbTb10", {ZEL_CPdbTb10, kModel, kOsNumber, 3, 2, 0}, {}},
};

// Open descriptors of the process where the system lists them, else -1.
// Windows lists none: under Wine, /proc/self/fd names the descriptors of
// Wine's own process, which come and go by themselves.
int openDescriptors() {
#if defined(_WIN32)
    return -1;
#else
    std::error_code ec;
    std::filesystem::directory_iterator it("/proc/self/fd", ec);
    if (ec) return -1;
    int n = 0;
    for (; it != std::filesystem::directory_iterator(); it.increment(ec)) ++n;
    return n;
#endif
}

class ReaderFaultTest : public ::testing::TestWithParam<ReaderCase> {
  protected:
    void SetUp() override {
        AddressFile().writeTo(dir, kCpuCode, kOsType);
        zel::writer::JqwdbLayout layout;
        for (unsigned t = 0; t <= 10; ++t) layout.tables[t] = patternTable(5, 16, 6, 16);
        layout.tables[10].lastIndex = 6;  // the item count
        layout.tables[10].splitIndexWord = 3;
        layout.tables[10].splitValueWord = 0x0102;
        writeJqwdb(dir, layout);

        // The undisturbed call: its answer, and how many fields it reads from
        // each file it opens.
        zel::faults::Injector injector;
        injector.record = true;
        success = run(injector);
        ASSERT_EQ(success.result, 0);
        ASSERT_FALSE(injector.openedFiles.empty());
        readsPerFile.assign(injector.openedFiles.size(), 0);
        for (const auto& read : injector.fieldReads) ++readsPerFile.at(read.file);
    }

    TableAnswer run(zel::faults::Injector& injector) const {
        zel::faults::Scope scope(injector);
        DB db(dir.path().c_str());
        return answer(db, GetParam().call);
    }

    // Runs the call with a failure planned in `file`: the result must be 100 +
    // the cause, no descriptor may stay open, and the output must hold the
    // values written before the failure, after `readsBefore` successful reads
    // of the reader's own file or at its failing close, and nothing else.
    void expectFailure(zel::faults::Injector& injector, zel::Cause cause, std::size_t file,
                       int readsBefore, bool closeFailed) const {
        const int before = openDescriptors();
        const TableAnswer a = run(injector);
        EXPECT_EQ(a.result, 100 + static_cast<int>(cause));
        if (before >= 0) {
            EXPECT_EQ(openDescriptors(), before) << "a file stayed open";
        }
        const bool ownFile = file + 1 == readsPerFile.size();
        const std::vector<int>& valueRead = GetParam().valueRead;
        EXPECT_TRUE(a.untouched || !valueRead.empty());
        for (std::size_t i = 0; i < valueRead.size(); ++i) {
            const bool written = ownFile && (closeFailed || valueRead[i] <= readsBefore);
            EXPECT_EQ(a.fields[i], written ? success.fields[i] : 0x5A5A5A5A) << "value " << i;
        }
    }

    TempDir dir;
    TableAnswer success;
    std::vector<int> readsPerFile;
    unsigned causes = 0;  // all fifteen causes, handed out in turn
    zel::Cause nextCause() { return static_cast<zel::Cause>(causes++ % 15); }
};

TEST_P(ReaderFaultTest, ReadErrorAtEveryFieldEndsTheCallWith100PlusCause) {
    for (std::size_t file = 0; file < readsPerFile.size(); ++file) {
        for (int k = 1; k <= readsPerFile[file]; ++k) {
            SCOPED_TRACE("file " + std::to_string(file) + ", field read " + std::to_string(k));
            zel::faults::Injector injector;
            injector.failingFile = static_cast<int>(file);
            injector.failingFieldRead = k;
            injector.readCause = nextCause();
            expectFailure(injector, injector.readCause, file, k - 1, false);
        }
    }
}

TEST_P(ReaderFaultTest, FailingCloseOfEveryFileEndsTheCallWith100PlusCause) {
    for (std::size_t file = 0; file < readsPerFile.size(); ++file) {
        SCOPED_TRACE("file " + std::to_string(file));
        zel::faults::Injector injector;
        injector.failingFile = static_cast<int>(file);
        injector.failClose = true;
        injector.closeCause = nextCause();
        expectFailure(injector, injector.closeCause, file, 0, true);
    }
}

// Reads that deliver half of what they could and then the rest, as network
// file systems may before the end of the file, and a first read refused
// because the file was opened without blocking, as a file system that
// honours that for regular files answers, give the undisturbed answer.
TEST_P(ReaderFaultTest, InterruptedReadsGiveTheSameAnswer) {
    for (bool zel::faults::Injector::*interruption :
         {&zel::faults::Injector::splitReads, &zel::faults::Injector::refuseNonBlockingReads}) {
        zel::faults::Injector injector;
        injector.*interruption = true;
        const TableAnswer a = run(injector);
        EXPECT_EQ(a.result, 0);
        EXPECT_EQ(a.fields, success.fields);
    }
}

INSTANTIATE_TEST_SUITE_P(Readers, ReaderFaultTest, ::testing::ValuesIn(kReaders),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
