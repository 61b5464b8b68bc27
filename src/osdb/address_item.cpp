#include "osdb/address_item.h"

#include "accessor/accessor_internals.h"
#include "accessor/result_codes.h"
#include "format/cpu_constants.h"

namespace zel {

short findAddressItem(CZelComFuncDbase& db, AddressReader reader, short cpuCode, short osType,
                      short item, AddressItem& found) {
    const auto row = itemRowOf(reader, mapClassOf(cpuCode), item);
    if (!row) return kRefused;
    if (ZelAccessorInternals::dbnamehon(db, cpuCode, osType, found.name.units) != kOk)
        return kRefused;
    if (isAbsent(*row)) return kAbsent;
    found.row = *row;
    return kOk;
}

}  // namespace zel
