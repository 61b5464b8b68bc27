// Entry points of the JQWDB readers and the parameter memory: model index and
// OS number are checked and turned into CPU code and OS type, every further
// argument passes to the reader unchanged.
#include <ZelComFuncDbase.h>

#include "accessor/accessor_internals.h"

using Self = CZelComFuncDbase;

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
