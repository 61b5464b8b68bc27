// JQWDB tables 6 to 9, the any-device tables: one record each. Tables 6 and 8
// share one layout and one output record.
#include <ZelComFuncDbase.h>

#include "pdb/table_reading.h"

short CZelComFuncDbase::PdbTb6(short cpuCode, short osType, short index, PdbAnyWD* out) {
    return zel::readRecordOf<6>(*this, cpuCode, osType, index, out);
}

short CZelComFuncDbase::PdbTb7(short cpuCode, short osType, short index, PdbAnyBD* out) {
    return zel::readRecordOf<7>(*this, cpuCode, osType, index, out);
}

short CZelComFuncDbase::PdbTb8(short cpuCode, short osType, short index, PdbAnyWD* out) {
    return zel::readRecordOf<8>(*this, cpuCode, osType, index, out);
}

short CZelComFuncDbase::PdbTb9(short cpuCode, short osType, short index, PdbAnyPBD* out) {
    return zel::readRecordOf<9>(*this, cpuCode, osType, index, out);
}
