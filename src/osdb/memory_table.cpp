// Memory table: one 32-bit memory entry of an OSDB file, chosen by a memory
// kind (which fixes the table and the highest index) and a 0-based index.
#include <ZelComFuncDbase.h>

#include "accessor/reading_path.h"
#include "accessor/result_codes.h"
#include "accessor/table_directory.h"
#include "format/address_geometry.h"
#include "format/bytes.h"
#include "format/position.h"
#include "platform/name_buffer.h"

short CZelComFuncDbase::DbTbMem(short cpuCode, short osType, short memoryKind, short memoryIndex,
                                ZelLong* out) {
    if (memoryKind < 0 || memoryKind >= zel::kMemoryKinds) return zel::kRefused;
    const zel::MemoryKindInfo& kind = zel::memoryKind(memoryKind);
    if (!kind.served) return zel::kRefused;
    if (memoryIndex < 0 || memoryIndex > kind.highestIndex) return zel::kRefused;
    zel::NameBuffer name;
    if (dbnamehon(cpuCode, osType, name.units) != zel::kOk) return zel::kRefused;

    return zel::readDatabase(name, zel::osdbByteOrder(cpuCode), [&](zel::FieldReader& r) {
        const zel::Pos table = zel::tableStartOf(r, kind.table);
        const zel::Pos entries = kind.inSection0 ? zel::sectionStartOf(r, table, 0) : table;
        // Stored before the file is closed: a failing close leaves it stored.
        *out = zel::asSigned32(r.u32(entries + zel::memoryEntryAt(memoryIndex)));
        return zel::kOk;
    });
}
