// JQWDB tables 0 and 1, the address records: one record each, copied into a
// PdbJAd or a PdbCAd.
#include <ZelComFuncDbase.h>

#include "pdb/table_reading.h"

short CZelComFuncDbase::PdbTb0(short cpuCode, short osType, short index, PdbJAd* out) {
    return zel::readRecordOf<0>(*this, cpuCode, osType, index, out);
}

short CZelComFuncDbase::PdbTb1(short cpuCode, short osType, short index, PdbCAd* out) {
    return zel::readRecordOf<1>(*this, cpuCode, osType, index, out);
}
