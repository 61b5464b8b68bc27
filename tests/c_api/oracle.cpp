// The C++ side of the C interface's test: the record layout and the database
// files. Nothing here calls the library, so that a test host that takes its
// databases from here links only what it calls itself (oracle_call.cpp holds
// the class's answers).
#include "tests/c_api/oracle.h"

#include <ZelComFuncDbaseRecords.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "tests/support/address_file.h"
#include "tests/support/database_names.h"
#include "tests/support/jqwdb_samples.h"
#include "tests/support/temp_dir.h"

struct ZelOracleDir {
    zel::testing::TempDir dir;
};

namespace {

using zel::testing::TempDir;
using zel::writer::Bytes;

// The CPU code and OS type of each file pair of the written database.
struct FilePair {
    short cpuCode;
    short osType;
};
constexpr FilePair kWrittenPairs[] = {{2, 0}, {30, 0}, {11, 1}};

// Eleven JQWDB tables of six 16-byte records each; table 10 counts four items.
Bytes jqwdbBytes() {
    zel::writer::JqwdbLayout layout;
    for (unsigned t = 0; t <= 10; ++t) {
        layout.tables[t] = zel::testing::patternTable(t == 10 ? 4 : 5, 16, 6, 16);
        // Each table's bytes differ from the others', so that a call that
        // reads the wrong table shows.
        for (auto& record : layout.tables[t].records)
            for (auto& byte : record) byte = static_cast<std::uint8_t>(byte + 3 * t);
    }
    return zel::writer::buildJqwdb(layout);
}

// A way of damaging a file's bytes.
struct Damage {
    const char* label;
    void (*apply)(Bytes& bytes);
};

// The C functions only forward what the class answers; these damages give
// every kind of result the members have (file failures 102 to 114 among
// them). The damages themselves are the C++ tests' matter.
const Damage kDamages[] = {
    {"empty", [](Bytes& b) { b.clear(); }},
    {"cut in half", [](Bytes& b) { b.resize(b.size() / 2); }},
    {"scattered bytes flipped",
     [](Bytes& b) {
         std::uint32_t state = 12345;
         for (std::size_t at = 0; at < b.size(); at += 1 + state % 13) {
             state = state * 1103515245u + 12345u;
             b[at] ^= static_cast<std::uint8_t>(state >> 16);
         }
     }},
};

}  // namespace

extern "C" {

const size_t* zel_oracle_layout(size_t* count) {
#define ZEL_LAYOUT_OF(Record, field) \
    offsetof(Record, field), sizeof(static_cast<Record*>(nullptr)->field), sizeof(Record),
    static const size_t layout[] = {ZEL_RECORD_FIELDS(ZEL_LAYOUT_OF) sizeof(ZelLong)};
#undef ZEL_LAYOUT_OF
    *count = sizeof layout / sizeof layout[0];
    return layout;
}

const char* zel_oracle_version(void) { return ZEL_EXPECTED_VERSION; }

const char* zel_oracle_dir_path(const ZelOracleDir* dir) { return dir->dir.path().c_str(); }

void zel_oracle_remove_dir(ZelOracleDir* dir) { delete dir; }

ZelOracleDir* zel_oracle_write_database(void) {
    auto* out = new ZelOracleDir;
    const zel::testing::AddressFile osdb;
    const Bytes jqwdb = jqwdbBytes();
    for (const FilePair& pair : kWrittenPairs) {
        osdb.writeTo(out->dir, pair.cpuCode, pair.osType);
        out->dir.write(zel::testing::jqwdbFileName(pair.cpuCode, pair.osType), jqwdb);
    }
    return out;
}

int zel_oracle_damage_kinds(void) { return static_cast<int>(std::size(kDamages)); }

ZelOracleDir* zel_oracle_damaged_copy(const char* from, int kind, const char** label) {
    const Damage& damage = kDamages[kind];
    *label = damage.label;
    auto* out = new ZelOracleDir;
    for (const auto& entry : std::filesystem::directory_iterator(from)) {
        std::ifstream in(entry.path(), std::ios::binary);
        Bytes bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        damage.apply(bytes);
        out->dir.write(entry.path().filename().string(), bytes);
    }
    return out;
}

}  // extern "C"
