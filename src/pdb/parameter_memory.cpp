// Parameter memory: the given value passes through unchanged; no file is read,
// and neither the CPU code, the OS type nor the selector changes it.
#include <ZelComFuncDbase.h>

#include "accessor/result_codes.h"

short CZelComFuncDbase::PdbPMem(short /*cpuCode*/, short /*osType*/, short /*selector*/,
                                ZelLong value, ZelLong* out) {
    *out = value;
    return zel::kOk;
}
