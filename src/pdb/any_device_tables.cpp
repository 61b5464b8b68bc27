// JQWDB tables 6 to 9, the any-device tables: one record each. Tables 6 and 8
// share one layout and one output record.
#include <ZelComFuncDbase.h>

#include "accessor/name_buffer.h"
#include "accessor/result_codes.h"
#include "pdb/jqwdb_table.h"
#include "pdb/record_buffer.h"

namespace {

// Tables 6 and 8: value1 0-3, word1 4-5, word2 6-7, attr1 8.
PdbAnyWD toPdbAnyWD(const zel::RecordBuffer& r) {
    return PdbAnyWD{r.value32<0>(), r.word16<4>(), r.word16<6>(), r.attr8<8>()};
}

// Table 7: value1 0-3, word1 4-5, attr1 6, attr2 7, attr3 8.
PdbAnyBD toPdbAnyBD(const zel::RecordBuffer& r) {
    return PdbAnyBD{r.value32<0>(), r.word16<4>(), r.attr8<6>(), r.attr8<7>(), r.attr8<8>()};
}

// Table 9: value1 0-3, word1 4-5, attr1 6, attr2 7, attr3 8, attr4 9.
PdbAnyPBD toPdbAnyPBD(const zel::RecordBuffer& r) {
    return PdbAnyPBD{r.value32<0>(), r.word16<4>(), r.attr8<6>(),
                     r.attr8<7>(),   r.attr8<8>(),  r.attr8<9>()};
}

}  // namespace

short CZelComFuncDbase::PdbTb6(short cpuCode, short osType, short index, PdbAnyWD* out) {
    zel::NameBuffer name;
    if (dbname(cpuCode, osType, name.units) != zel::kOk) return zel::kRefused;
    return zel::readJqwdbRecordInto(name, zel::kJqwdbTables[6], index, out, toPdbAnyWD);
}

short CZelComFuncDbase::PdbTb7(short cpuCode, short osType, short index, PdbAnyBD* out) {
    zel::NameBuffer name;
    if (dbname(cpuCode, osType, name.units) != zel::kOk) return zel::kRefused;
    return zel::readJqwdbRecordInto(name, zel::kJqwdbTables[7], index, out, toPdbAnyBD);
}

short CZelComFuncDbase::PdbTb8(short cpuCode, short osType, short index, PdbAnyWD* out) {
    zel::NameBuffer name;
    if (dbname(cpuCode, osType, name.units) != zel::kOk) return zel::kRefused;
    return zel::readJqwdbRecordInto(name, zel::kJqwdbTables[8], index, out, toPdbAnyWD);
}

short CZelComFuncDbase::PdbTb9(short cpuCode, short osType, short index, PdbAnyPBD* out) {
    zel::NameBuffer name;
    if (dbname(cpuCode, osType, name.units) != zel::kOk) return zel::kRefused;
    return zel::readJqwdbRecordInto(name, zel::kJqwdbTables[9], index, out, toPdbAnyPBD);
}
