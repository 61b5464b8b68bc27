// Every reader that reads a file, under the file-layer failures that real
// files cannot produce: a read error at each field of each file that the call
// opens, and a failing close of each of those files. Each ends the call with
// 100 + its cause, closes the file, and leaves the caller's output as the
// reader's failure rules say: untouched, except for the values that CpuSpec
// wrote before the failure and the value that DbTbMem and GetPdbTb10ItemCount
// store before they close the file.
#include <ZelComFuncDbase.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <system_error>
#include <vector>

#include "accessor/result_codes.h"
#include "accessor/road_probe.h"
#include "tests/support/address_file.h"
#include "tests/support/temp_dir.h"
#include "writer/db_writer.h"

namespace {

using zel::testing::AddressFile;
using zel::testing::TempDir;

// Model index 1 with OS number 1: CPU code 2, OS type 0 (OSDB2D.BIN and
// JQWDB2D.BIN).
constexpr short kModel = 1, kOsNumber = 1, kCpuCode = 2, kOsType = 0;
constexpr unsigned char kSentinel = 0x5A;

// A call's result and the bytes of its output record, which starts as
// kSentinel bytes.
struct Answer {
    short result = 0;
    std::vector<unsigned char> record;
};

template <class Out, class Call>
Answer answer(Call call) {
    Out out;
    std::memset(static_cast<void*>(&out), kSentinel, sizeof out);
    Answer a;
    a.result = call(&out);
    const auto* bytes = reinterpret_cast<const unsigned char*>(&out);
    a.record.assign(bytes, bytes + sizeof out);
    return a;
}

using SpecValues = std::array<ZelLong, 6>;

// What a reader has written to its output when a file-layer failure ends it.
enum class Leaves {
    untouched,          // the output is written only after the close
    storedBeforeClose,  // the value is stored after its read, before the close
    writtenAsItGoes,    // each value as soon as its field has been read
};

struct ReaderCase {
    const char* name;
    Leaves leaves;
    std::function<Answer(CZelComFuncDbase&)> call;
    // CpuSpec: the field read (from 1) that delivers each of the six values.
    std::array<int, 6> valueRead = {};
};

const ReaderCase kReaders[] = {
    {"CpuSpec",
     Leaves::writtenAsItGoes,
     [](CZelComFuncDbase& db) {
         return answer<SpecValues>(
             [&](SpecValues* v) { return db.CpuSpec(kCpuCode, kOsType, v->data()); });
     },
     // Reads: base, entry 0, values 0, 1, 3, 4, entry 2, section 0 offset,
     // value 2, section 1 offset, value 5.
     {3, 4, 9, 5, 6, 11}},
    {"DbTb2", Leaves::untouched,
     [](CZelComFuncDbase& db) {
         return answer<DbAd>([&](DbAd* o) { return db.CDbTb2(kModel, kOsNumber, 29, 2, o); });
     }},
    {"DbTb3", Leaves::untouched,
     [](CZelComFuncDbase& db) {
         return answer<DbAd>([&](DbAd* o) { return db.CDbTb3(kModel, kOsNumber, 1, o); });
     }},
    {"DbTb4", Leaves::untouched,
     [](CZelComFuncDbase& db) {
         return answer<DbBAd>([&](DbBAd* o) { return db.CDbTb4(kModel, kOsNumber, 83, 9, o); });
     }},
    {"DbTb5", Leaves::untouched,
     [](CZelComFuncDbase& db) {
         return answer<DbBAd>([&](DbBAd* o) { return db.CDbTb5(kModel, kOsNumber, 0, o); });
     }},
    {"DbTbMem", Leaves::storedBeforeClose,
     [](CZelComFuncDbase& db) {
         return answer<ZelLong>(
             [&](ZelLong* o) { return db.CDbTbMem(kModel, kOsNumber, 9, 2, o); });
     }},
    {"PdbTb0", Leaves::untouched,
     [](CZelComFuncDbase& db) {
         return answer<PdbJAd>([&](PdbJAd* o) { return db.CPdbTb0(kModel, kOsNumber, 1, o); });
     }},
    {"PdbTb1", Leaves::untouched,
     [](CZelComFuncDbase& db) {
         return answer<PdbCAd>([&](PdbCAd* o) { return db.CPdbTb1(kModel, kOsNumber, 1, o); });
     }},
    {"PdbTb2", Leaves::untouched,
     [](CZelComFuncDbase& db) {
         return answer<PdbWD>([&](PdbWD* o) { return db.CPdbTb2(kModel, kOsNumber, 1, 2, o); });
     }},
    {"PdbTb3", Leaves::untouched,
     [](CZelComFuncDbase& db) {
         return answer<PdbWD>([&](PdbWD* o) { return db.CPdbTb3(kModel, kOsNumber, 1, o); });
     }},
    {"PdbTb4", Leaves::untouched,
     [](CZelComFuncDbase& db) {
         return answer<PdbBD>([&](PdbBD* o) { return db.CPdbTb4(kModel, kOsNumber, 1, 2, o); });
     }},
    {"PdbTb5", Leaves::untouched,
     [](CZelComFuncDbase& db) {
         return answer<PdbBD>([&](PdbBD* o) { return db.CPdbTb5(kModel, kOsNumber, 1, o); });
     }},
    {"PdbTb6", Leaves::untouched,
     [](CZelComFuncDbase& db) {
         return answer<PdbAnyWD>([&](PdbAnyWD* o) { return db.CPdbTb6(kModel, kOsNumber, 1, o); });
     }},
    {"PdbTb7", Leaves::untouched,
     [](CZelComFuncDbase& db) {
         return answer<PdbAnyBD>([&](PdbAnyBD* o) { return db.CPdbTb7(kModel, kOsNumber, 1, o); });
     }},
    {"PdbTb8", Leaves::untouched,
     [](CZelComFuncDbase& db) {
         return answer<PdbAnyWD>([&](PdbAnyWD* o) { return db.CPdbTb8(kModel, kOsNumber, 1, o); });
     }},
    {"PdbTb9", Leaves::untouched,
     [](CZelComFuncDbase& db) {
         return answer<PdbAnyPBD>(
             [&](PdbAnyPBD* o) { return db.CPdbTb9(kModel, kOsNumber, 1, o); });
     }},
    // Index 3 is the item at splitIndex: the call reads splitValue too.
    {"PdbTb10", Leaves::untouched,
     [](CZelComFuncDbase& db) {
         return answer<PdbBkup>([&](PdbBkup* o) { return db.CPdbTb10(kModel, kOsNumber, 3, o); });
     }},
    {"GetPdbTb10ItemCount", Leaves::storedBeforeClose,
     [](CZelComFuncDbase& db) {
         return answer<ZelLong>(
             [&](ZelLong* o) { return db.GetPdbTb10ItemCount(kModel, kOsNumber, o); });
     }},
};

// All fifteen causes, handed out in turn over the injected failures.
class Causes {
  public:
    zel::Cause next() { return static_cast<zel::Cause>(m_next++ % 15); }

  private:
    unsigned m_next = 0;
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
        for (unsigned t = 0; t <= 10; ++t) {
            zel::writer::JqwdbTable& table = layout.tables[t];
            table.lastIndex = t == 10 ? 6 : 5;  // table 10: the item count
            table.recordSize = 16;
            table.word8 = 3;  // table 10: splitIndex
            table.word12 = 0x0102;
            for (unsigned i = 0; i < 6; ++i) {
                zel::writer::Bytes record(16);
                for (unsigned j = 0; j < 16; ++j)
                    record[j] = static_cast<std::uint8_t>(0x10 * t + 0x20 * i + j);
                table.records.push_back(record);
            }
        }
        dir.write(zel::writer::jqwdbFileName(kCpuCode, kOsType), zel::writer::buildJqwdb(layout));

        // The undisturbed call: its answer, the files it opens and how many
        // fields it reads from each.
        zel::probe::Probe probe;
        probe.record = true;
        {
            zel::probe::Scope scope(probe);
            CZelComFuncDbase db(dir.path().c_str());
            success = GetParam().call(db);
        }
        ASSERT_EQ(success.result, 0);
        ASSERT_FALSE(probe.openedFiles.empty());
        readsPerFile.assign(probe.openedFiles.size(), 0);
        for (const auto& read : probe.fieldReads) ++readsPerFile.at(read.file);
    }

    // The output as a failure leaves it: the CpuSpec values whose fields were
    // among the first `readsBefore` reads (all of them once the close failed),
    // the value stored before a failing close, sentinel bytes elsewhere.
    std::vector<unsigned char> leftAfterFailure(int readsBefore, bool closeFailed) const {
        std::vector<unsigned char> left(success.record.size(), kSentinel);
        const ReaderCase& c = GetParam();
        if (c.leaves == Leaves::writtenAsItGoes) {
            for (std::size_t i = 0; i < c.valueRead.size(); ++i) {
                if (!closeFailed && c.valueRead[i] > readsBefore) continue;
                const std::size_t at = i * sizeof(ZelLong);
                std::memcpy(&left[at], &success.record[at], sizeof(ZelLong));
            }
        } else if (c.leaves == Leaves::storedBeforeClose && closeFailed) {
            left = success.record;
        }
        return left;
    }

    // Runs the call under a probe; checks the result and that no descriptor
    // stays open.
    Answer failingCall(zel::probe::Probe& probe, zel::Cause cause) {
        const int before = openDescriptors();
        Answer a;
        {
            zel::probe::Scope scope(probe);
            CZelComFuncDbase db(dir.path().c_str());
            a = GetParam().call(db);
        }
        EXPECT_EQ(a.result, 100 + static_cast<int>(cause));
        if (before >= 0) {
            EXPECT_EQ(openDescriptors(), before) << "a file stayed open";
        }
        return a;
    }

    TempDir dir;
    Answer success;
    std::vector<int> readsPerFile;
    Causes causes;
};

TEST_P(ReaderFaultTest, ReadErrorAtEveryFieldEndsTheCallWith100PlusCause) {
    for (std::size_t file = 0; file < readsPerFile.size(); ++file) {
        for (int k = 1; k <= readsPerFile[file]; ++k) {
            SCOPED_TRACE("file " + std::to_string(file) + ", field read " + std::to_string(k));
            zel::probe::Probe probe;
            probe.failingFile = static_cast<int>(file);
            probe.failingFieldRead = k;
            probe.readCause = causes.next();
            const Answer a = failingCall(probe, probe.readCause);
            // Only the file that a reader reads its values from (the last
            // one it opens) can have delivered any of them.
            const bool ownFile = file + 1 == readsPerFile.size();
            EXPECT_EQ(a.record, leftAfterFailure(ownFile ? k - 1 : 0, false));
        }
    }
}

TEST_P(ReaderFaultTest, FailingCloseOfEveryFileEndsTheCallWith100PlusCause) {
    for (std::size_t file = 0; file < readsPerFile.size(); ++file) {
        SCOPED_TRACE("file " + std::to_string(file));
        zel::probe::Probe probe;
        probe.failingFile = static_cast<int>(file);
        probe.failClose = true;
        probe.closeCause = causes.next();
        const Answer a = failingCall(probe, probe.closeCause);
        const bool ownFile = file + 1 == readsPerFile.size();
        EXPECT_EQ(a.record, ownFile ? leftAfterFailure(0, true) : leftAfterFailure(0, false));
    }
}

INSTANTIATE_TEST_SUITE_P(Readers, ReaderFaultTest, ::testing::ValuesIn(kReaders),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
