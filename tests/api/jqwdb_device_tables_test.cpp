// JQWDB tables 2 to 5: device entries (kind, number, extra, never
// sign-extended), the entry number of tables 2 and 4 bounded by
// CPU specification value 0, and CpuSpec's place before the JQWDB file.
#include <ZelComFuncDbase.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "format/bytes.h"
#include "tests/support/jqwdb_samples.h"

namespace {

using namespace zel::testing;
using zel::writer::Bytes;
using zel::writer::JqwdbLayout;
using Fields = std::vector<std::int64_t>;

// Record size 8, eleven records: the s-th 4-byte entry from the first record
// holds kind 0x80 + s (byte 0), number 0xC010 + 0x101 * s (bytes 1-2) and
// extra 0xE0 + s (byte 3), none of them to be sign-extended. Entry e of record
// i is the entry 2i + e - 1: the entry number is not compared with the record
// size.
JqwdbLayout deviceTables() {
    JqwdbLayout layout;
    for (unsigned t = 2; t <= 5; ++t) {
        layout.tables[t] = patternTable(10, 8, 11, 8);
        for (unsigned s = 0; s < 22; ++s) {
            zel::storeLE32(&layout.tables[t].records[s / 2][4 * (s % 2)],
                           (0x80 + s) | ((0xC010 + 0x101 * s) << 8) | ((0xE0 + s) << 24));
        }
    }
    return layout;
}

Fields entryFields(int table, unsigned s) {
    Fields f = {0xC010 + 0x101 * s, 0x80 + s, 0xE0 + s};
    if (table >= 4) f.pop_back();  // PdbBD has no extra
    return f;
}

TEST(JqwdbDeviceEntryTest, EntryOfTheRecordAtTheStoredStride) {
    TempDir dir;
    writeJqwdb(dir, deviceTables());
    writeOsdbWithValue0(dir, 3);
    CZelComFuncDbase db(dir.path().c_str());
    struct Case {
        int table;
        short index, entry;
        unsigned s;
    };
    for (const Case& c : {Case{2, 2, 1, 4}, Case{2, 1, 2, 3}, Case{2, 0, 3, 2}, Case{3, 2, 1, 4},
                          Case{4, 3, 2, 7}, Case{4, 1, 3, 4}, Case{5, 3, 1, 6}}) {
        SCOPED_TRACE("table " + std::to_string(c.table) + " index " + std::to_string(c.index));
        EXPECT_EQ(readTable(db, c.table, c.index, c.entry).fields, entryFields(c.table, c.s));
    }
}

// Entry numbers of tables 2 and 4 go from 1 up to CPU specification value 0,
// or up to 16 for OS types 4 and 5 when that is larger. CpuSpec runs after
// the JQWDB name and before the JQWDB file: its failures pass through
// unchanged, and a refused entry number needs no JQWDB file.
enum Osdb { kWhole, kMissing, kCut };

TEST(JqwdbEntryNumberTest, CheckedAgainstCpuSpecValue0BeforeTheJqwdbFile) {
    struct Case {
        const char* name;
        Osdb osdb;
        std::int32_t value0;
        short model, osNumber;  // OS number: OS type + 1
        bool jqwdb;
        short entry, index, result;
    };
    // Model 1 is CPU code 2 (OS types 0 to 3); model 13 is CPU code 16 (OS
    // types 2, 4 and 5).
    const Case cases[] = {
        {"Value8_Os0_Entry1", kWhole, 8, 1, 1, true, 1, 0, 0},
        {"Value8_Os0_Entry8", kWhole, 8, 1, 1, true, 8, 0, 0},
        {"Value8_Os0_Entry9", kWhole, 8, 1, 1, true, 9, 0, -1},
        {"Value8_Os0_Entry0", kWhole, 8, 1, 1, true, 0, 0, -1},
        {"Value8_Os2_Entry9", kWhole, 8, 13, 3, true, 9, 0, -1},
        {"Value8_Os4_Entry16", kWhole, 8, 13, 5, true, 16, 0, 0},
        {"Value8_Os4_Entry17", kWhole, 8, 13, 5, true, 17, 0, -1},
        {"Value20_Os4_Entry17", kWhole, 20, 13, 5, true, 17, 0, 0},
        {"Value20_Os5_Entry20", kWhole, 20, 13, 6, true, 20, 0, 0},
        {"Value20_Os5_Entry21", kWhole, 20, 13, 6, true, 21, 0, -1},
        {"Value0_Os0_Entry1", kWhole, 0, 1, 1, true, 1, 0, -1},
        {"ValueMinus5_Os0_Entry1", kWhole, -5, 1, 1, true, 1, 0, -1},
        {"ValueMinus128_Os5_Entry1", kWhole, -128, 13, 6, true, 1, 0, 0},
        {"RefusedEntryWithoutJqwdbFile", kWhole, 8, 1, 1, false, 9, 0, -1},
        {"MissingJqwdbFileForARefusedIndex", kWhole, 8, 1, 1, false, 1, -1, 102},
        {"MissingOsdbFile", kMissing, 8, 1, 1, true, 1, 0, 102},
        {"OsdbEndsInAField", kCut, 8, 1, 1, true, 1, 0, 114},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        short cpu = 0, osType = 0;
        ASSERT_EQ(CZelComFuncDbase("unused").CDbCpuOsType(&cpu, &osType, c.model, c.osNumber), 0);
        TempDir dir;
        if (c.osdb != kMissing)
            writeOsdbWithValue0(dir, c.value0, cpu, osType, c.osdb == kCut ? 1 : 0);
        if (c.jqwdb) writeJqwdb(dir, deviceTables(), cpu, osType);
        CZelComFuncDbase db(dir.path().c_str());
        for (int t : {2, 4}) {
            const TableAnswer a = readTable(db, t, c.index, c.entry, c.model, c.osNumber);
            EXPECT_EQ(a.result, c.result) << "table " << t;
            EXPECT_EQ(a.untouched, c.result != 0) << "table " << t;
            if (c.result == 0) {
                EXPECT_EQ(a.fields, entryFields(t, static_cast<unsigned>(c.entry - 1)));
            }
        }
    }
}

}  // namespace
