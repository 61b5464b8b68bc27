// JQWDB table 10, the backup table: items read by index, and the item count
// that a host walks the table with.
//
// Its header uses all four words: the item count, the record size, then
// splitIndex (low 16 bits of the word at + 8) and splitValue (low 16 bits of
// the word at + 12). Items from splitIndex on (signed 16-bit comparison) are
// tail items, unless splitIndex is 0; the others are head items. The two
// kinds take their fields from different record bytes.
#include <ZelComFuncDbase.h>

#include <cstdint>

#include "accessor/model_table.h"
#include "accessor/name_buffer.h"
#include "accessor/reading_path.h"
#include "accessor/result_codes.h"
#include "accessor/table_directory.h"
#include "format/bytes.h"
#include "pdb/jqwdb_table.h"
#include "pdb/record_buffer.h"

namespace {

constexpr short kNoField = -1;

std::uint16_t low16(std::uint32_t word) { return static_cast<std::uint16_t>(word & 0xFFFFu); }

// Head item: value1 4-7, value2 8-11, attr1..attr3 bytes 0-2, attr4 12,
// attr5 13 (byte 3 unused).
PdbBkup headItem(const zel::RecordBuffer& r) {
    return PdbBkup{r.value32<4>(), r.value32<8>(), r.attr8<0>(), r.attr8<1>(),
                   r.attr8<2>(),   r.attr8<12>(),  r.attr8<13>()};
}

// Tail item: value1 4-7, value2 8-11, attr1 byte 3, attr2 the kept
// splitValue or -1, the rest -1.
PdbBkup tailItem(const zel::RecordBuffer& r, short attr2) {
    return PdbBkup{r.value32<4>(), r.value32<8>(), r.attr8<3>(), attr2,
                   kNoField,       kNoField,       kNoField};
}

}  // namespace

short CZelComFuncDbase::PdbTb10(short cpuCode, short osType, short index, PdbBkup* out) {
    zel::NameBuffer name;
    if (dbname(cpuCode, osType, name.units) != zel::kOk) return zel::kRefused;
    const zel::JqwdbTableShape& table = zel::kJqwdbTables[zel::kBackupTable];
    zel::RecordBuffer record;
    std::uint16_t splitIndex = 0;
    short splitValue = kNoField;
    const short result =
        zel::readJqwdbTable(name, table, index, [&](zel::FieldReader& r, const zel::OpenTable& t) {
            splitIndex = low16(r.u32(t.start + zel::kSplitIndexAt));
            // splitValue belongs to the one item at splitIndex and is read only for it.
            if (splitIndex != 0 && splitIndex == static_cast<std::uint16_t>(index))
                splitValue = zel::asSigned16(low16(r.u32(t.start + zel::kSplitValueAt)));
            zel::readJqwdbRecord(r, t, index, table.usedBytes, record);
        });
    if (result != zel::kOk) return result;
    *out = zel::isTailItem(index, splitIndex) ? tailItem(record, splitValue) : headItem(record);
    return zel::kOk;
}

short CZelComFuncDbase::GetPdbTb10ItemCount(short modelIndex, short osNumber, ZelLong* count) {
    short cpuCode = 0;
    short osType = 0;
    if (!zel::cpuCodeOfModel(modelIndex, cpuCode) || !zel::osTypeOfNumber(osNumber, osType))
        return zel::kRefused;
    zel::NameBuffer name;
    if (dbname(cpuCode, osType, name.units) != zel::kOk) return zel::kRefused;
    return zel::readDatabase(name, zel::kJqwdbByteOrder, [&](zel::FieldReader& r) {
        const zel::Pos start = zel::tableStartOf(r, zel::kBackupTable);
        // Stored before the file is closed: a failing close leaves it stored.
        *count = zel::asSigned32(r.u32(start + zel::kFirstWordAt));
        return zel::kOk;
    });
}
