// Memory table: one 32-bit memory entry of an OSDB file, chosen by a memory
// kind (which fixes the table and the highest index) and a 0-based index.
#include <ZelComFuncDbase.h>

#include <cstddef>
#include <cstdint>

#include "accessor/byte_codec.h"
#include "accessor/database_read.h"
#include "accessor/name_buffer.h"
#include "accessor/position.h"
#include "accessor/result_codes.h"
#include "osdb/table_directory.h"

namespace {

struct MemoryKind {
    bool served;
    std::uint16_t table;
    bool inSection0;  // entries lie in section 0 of a sectioned table
    short highestIndex;
};

// Indexed by memory kind. Kinds 3 and 9 read the same entries.
constexpr MemoryKind kMemoryKinds[] = {
    {true, 1, false, 14},   // 0
    {true, 10, false, 31},  // 1
    {false, 0, false, -1},  // 2: not served
    {true, 9, true, 19},    // 3
    {true, 4, false, 38},   // 4
    {true, 3, false, 22},   // 5
    {true, 12, false, 19},  // 6
    {true, 14, false, 31},  // 7
    {true, 15, false, 19},  // 8
    {true, 9, true, 5},     // 9
};
constexpr short kMemoryKindCount = sizeof kMemoryKinds / sizeof kMemoryKinds[0];

}  // namespace

short CZelComFuncDbase::DbTbMem(short cpuCode, short osType, short memoryKind, short memoryIndex,
                                ZelLong* out) {
    if (memoryKind < 0 || memoryKind >= kMemoryKindCount) return zel::kRefused;
    const MemoryKind& kind = kMemoryKinds[memoryKind];
    if (!kind.served) return zel::kRefused;
    if (memoryIndex < 0 || memoryIndex > kind.highestIndex) return zel::kRefused;
    zel::NameBuffer name;
    if (dbnamehon(cpuCode, osType, name.units) != zel::kOk) return zel::kRefused;

    return zel::readDatabase(name, zel::osdbByteOrder(cpuCode), [&](zel::FieldReader& r) {
        const zel::Pos table = zel::tableStartOf(r, kind.table);
        const zel::Pos entries = kind.inSection0 ? zel::sectionStartOf(r, table, 0) : table;
        // Stored before the file is closed: a failing close leaves it stored.
        *out = zel::asSigned32(r.u32(entries + 4u * zel::wide(memoryIndex)));
        return zel::kOk;
    });
}
