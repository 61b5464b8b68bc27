// What an address table reader (DbTb2 to DbTb5) checks before it reads its
// file, in this order: the item must lie in the reader's map for the CPU
// code's map class (-1), the CPU code and OS type must have an OSDB file name
// (-1), and the item must not be marked absent (-2).
#ifndef ZEL_OSDB_ADDRESS_ITEM_H
#define ZEL_OSDB_ADDRESS_ITEM_H

#include <ZelComFuncDbase.h>

#include "format/item_maps.h"
#include "platform/name_buffer.h"

namespace zel {

struct AddressItem {
    MapRow row;
    NameBuffer name;
};

// 0 with the item's map row and file name, or the refusing result code.
short findAddressItem(CZelComFuncDbase& db, AddressReader reader, short cpuCode, short osType,
                      short item, AddressItem& found);

}  // namespace zel

#endif
