// JQWDB tables 0 and 1: one record each, copied into a PdbJAd or a PdbCAd.
#include <ZelComFuncDbase.h>

#include "accessor/name_buffer.h"
#include "accessor/result_codes.h"
#include "pdb/jqwdb_table.h"
#include "pdb/record_buffer.h"

namespace {

// Table 0 record: value1 0-3, value2 4-7, word1 8-9, word2 10-11, attr1 12,
// attr2 13, word3 14-15.
PdbJAd toPdbJAd(const zel::RecordBuffer& r) {
    return PdbJAd{r.value32<0>(), r.value32<4>(), r.word16<8>(), r.word16<10>(),
                  r.attr8<12>(),  r.attr8<13>(),  r.word16<14>()};
}

// Table 1 record: value1 0-3, value2 4-7, word1 8-9, attr1 10, attr2 11,
// word2 12-13.
PdbCAd toPdbCAd(const zel::RecordBuffer& r) {
    return PdbCAd{r.value32<0>(), r.value32<4>(), r.word16<8>(),
                  r.attr8<10>(),  r.attr8<11>(),  r.word16<12>()};
}

}  // namespace

short CZelComFuncDbase::PdbTb0(short cpuCode, short osType, short index, PdbJAd* out) {
    zel::NameBuffer name;
    if (dbname(cpuCode, osType, name.units) != zel::kOk) return zel::kRefused;
    return zel::readJqwdbRecordInto(name, zel::kJqwdbTables[0], index, out, toPdbJAd);
}

short CZelComFuncDbase::PdbTb1(short cpuCode, short osType, short index, PdbCAd* out) {
    zel::NameBuffer name;
    if (dbname(cpuCode, osType, name.units) != zel::kOk) return zel::kRefused;
    return zel::readJqwdbRecordInto(name, zel::kJqwdbTables[1], index, out, toPdbCAd);
}
