// Entry points that answer without a reader of their own table.
#include <ZelComFuncDbase.h>

#include "accessor/accessor_internals.h"
#include "accessor/model_table.h"
#include "accessor/result_codes.h"

short CZelComFuncDbase::CDbCpuOsType(short* cpuCode, short* osType, short modelIndex,
                                     short osNumber) {
    short cpu = 0;
    if (!zel::cpuCodeOfModel(modelIndex, cpu)) return zel::kRefused;
    *cpuCode = cpu;  // written even when the OS number is refused next
    short type = 0;
    if (!zel::osTypeOfNumber(osNumber, type)) return zel::kRefused;
    *osType = type;
    return zel::kOk;
}

short CZelComFuncDbase::CDbCpuSpec(short modelIndex, short osNumber, ZelLong* values) {
    const short result = ZelAccessorInternals::forward(*this, &CZelComFuncDbase::CpuSpec,
                                                       modelIndex, osNumber, values);
    return result == zel::kOk ? zel::kOk : zel::kRefused;
}
