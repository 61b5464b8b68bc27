// The entry points of the public members: model index and OS number are
// checked and replaced by CPU code and OS type (accessor_internals.h), and
// every further argument passes unchanged to the reader of the same name
// without the leading C. CDbCpuOsType answers from the model table alone.
#include <ZelComFuncDbase.h>

#include "accessor/accessor_internals.h"
#include "accessor/model_table.h"
#include "accessor/result_codes.h"

using Self = CZelComFuncDbase;

short Self::CDbCpuOsType(short* cpuCode, short* osType, short modelIndex, short osNumber) {
    short cpu = 0;
    if (!zel::cpuCodeOfModel(modelIndex, cpu)) return zel::kRefused;
    *cpuCode = cpu;  // written even when the OS number is refused next
    short type = 0;
    if (!zel::osTypeOfNumber(osNumber, type)) return zel::kRefused;
    *osType = type;
    return zel::kOk;
}

short Self::CDbCpuSpec(short modelIndex, short osNumber, ZelLong* values) {
    const short result =
        ZelAccessorInternals::forward(*this, &Self::CpuSpec, modelIndex, osNumber, values);
    return result == zel::kOk ? zel::kOk : zel::kRefused;
}

// OSDB address and memory tables.

short Self::CDbTb2(short modelIndex, short osNumber, short item, short entry, DbAd* out) {
    return ZelAccessorInternals::forward(*this, &Self::DbTb2, modelIndex, osNumber, item, entry,
                                         out);
}

short Self::CDbTb3(short modelIndex, short osNumber, short item, DbAd* out) {
    return ZelAccessorInternals::forward(*this, &Self::DbTb3, modelIndex, osNumber, item, out);
}

short Self::CDbTb4(short modelIndex, short osNumber, short item, short entry, DbBAd* out) {
    return ZelAccessorInternals::forward(*this, &Self::DbTb4, modelIndex, osNumber, item, entry,
                                         out);
}

short Self::CDbTb5(short modelIndex, short osNumber, short item, DbBAd* out) {
    return ZelAccessorInternals::forward(*this, &Self::DbTb5, modelIndex, osNumber, item, out);
}

short Self::CDbTbMem(short modelIndex, short osNumber, short memoryKind, short memoryIndex,
                     ZelLong* out) {
    return ZelAccessorInternals::forward(*this, &Self::DbTbMem, modelIndex, osNumber, memoryKind,
                                         memoryIndex, out);
}

// JQWDB tables and the parameter memory.

short Self::CPdbPMem(short modelIndex, short osNumber, short selector, ZelLong value,
                     ZelLong* out) {
    return ZelAccessorInternals::forward(*this, &Self::PdbPMem, modelIndex, osNumber, selector,
                                         value, out);
}

short Self::CPdbTb0(short modelIndex, short osNumber, short index, PdbJAd* out) {
    return ZelAccessorInternals::forward(*this, &Self::PdbTb0, modelIndex, osNumber, index, out);
}

short Self::CPdbTb1(short modelIndex, short osNumber, short index, PdbCAd* out) {
    return ZelAccessorInternals::forward(*this, &Self::PdbTb1, modelIndex, osNumber, index, out);
}

short Self::CPdbTb2(short modelIndex, short osNumber, short index, short entry, PdbWD* out) {
    return ZelAccessorInternals::forward(*this, &Self::PdbTb2, modelIndex, osNumber, index, entry,
                                         out);
}

short Self::CPdbTb3(short modelIndex, short osNumber, short index, PdbWD* out) {
    return ZelAccessorInternals::forward(*this, &Self::PdbTb3, modelIndex, osNumber, index, out);
}

short Self::CPdbTb4(short modelIndex, short osNumber, short index, short entry, PdbBD* out) {
    return ZelAccessorInternals::forward(*this, &Self::PdbTb4, modelIndex, osNumber, index, entry,
                                         out);
}

short Self::CPdbTb5(short modelIndex, short osNumber, short index, PdbBD* out) {
    return ZelAccessorInternals::forward(*this, &Self::PdbTb5, modelIndex, osNumber, index, out);
}

short Self::CPdbTb6(short modelIndex, short osNumber, short index, PdbAnyWD* out) {
    return ZelAccessorInternals::forward(*this, &Self::PdbTb6, modelIndex, osNumber, index, out);
}

short Self::CPdbTb7(short modelIndex, short osNumber, short index, PdbAnyBD* out) {
    return ZelAccessorInternals::forward(*this, &Self::PdbTb7, modelIndex, osNumber, index, out);
}

short Self::CPdbTb8(short modelIndex, short osNumber, short index, PdbAnyWD* out) {
    return ZelAccessorInternals::forward(*this, &Self::PdbTb8, modelIndex, osNumber, index, out);
}

short Self::CPdbTb9(short modelIndex, short osNumber, short index, PdbAnyPBD* out) {
    return ZelAccessorInternals::forward(*this, &Self::PdbTb9, modelIndex, osNumber, index, out);
}

short Self::CPdbTb10(short modelIndex, short osNumber, short index, PdbBkup* out) {
    return ZelAccessorInternals::forward(*this, &Self::PdbTb10, modelIndex, osNumber, index, out);
}
