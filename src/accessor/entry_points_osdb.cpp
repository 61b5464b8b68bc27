// Entry points of the OSDB address and memory table readers: model index and
// OS number are checked and replaced by CPU code and OS type; every further
// argument passes to the reader unchanged.
#include <ZelComFuncDbase.h>

#include "accessor/accessor_internals.h"

short CZelComFuncDbase::CDbTb2(short modelIndex, short osNumber, short item, short entry,
                               DbAd* out) {
    return ZelAccessorInternals::forward(*this, &CZelComFuncDbase::DbTb2, modelIndex, osNumber,
                                         item, entry, out);
}

short CZelComFuncDbase::CDbTb3(short modelIndex, short osNumber, short item, DbAd* out) {
    return ZelAccessorInternals::forward(*this, &CZelComFuncDbase::DbTb3, modelIndex, osNumber,
                                         item, out);
}

short CZelComFuncDbase::CDbTb4(short modelIndex, short osNumber, short item, short entry,
                               DbBAd* out) {
    return ZelAccessorInternals::forward(*this, &CZelComFuncDbase::DbTb4, modelIndex, osNumber,
                                         item, entry, out);
}

short CZelComFuncDbase::CDbTb5(short modelIndex, short osNumber, short item, DbBAd* out) {
    return ZelAccessorInternals::forward(*this, &CZelComFuncDbase::DbTb5, modelIndex, osNumber,
                                         item, out);
}

short CZelComFuncDbase::CDbTbMem(short modelIndex, short osNumber, short memoryKind,
                                 short memoryIndex, ZelLong* out) {
    return ZelAccessorInternals::forward(*this, &CZelComFuncDbase::DbTbMem, modelIndex, osNumber,
                                         memoryKind, memoryIndex, out);
}
