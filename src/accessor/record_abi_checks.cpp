// The output records are one definition shared by the C++ and the C interface,
// and hosts of other languages declare them again in their own terms (the
// Python module does). This pins what they all rely on: ZelLong is 32 bits,
// and every record has the size and field offsets of natural 2- and 4-byte
// alignment, on every target the library is built for.
#include <cstddef>
#include <type_traits>

#include "ZelComFuncDbaseRecords.h"

static_assert(sizeof(ZelLong) == 4, "ZelLong is 32 bits wide");

#define ZEL_PIN_SIZE(Record, size)                                                           \
    static_assert(std::is_standard_layout_v<Record> && std::is_trivially_copyable_v<Record>, \
                  #Record " is a plain record");                                             \
    static_assert(sizeof(Record) == (size), #Record " size")
#define ZEL_PIN_FIELD(Record, field, offset) \
    static_assert(offsetof(Record, field) == (offset), #Record "." #field " offset")

ZEL_PIN_SIZE(DbAd, 8);
ZEL_PIN_FIELD(DbAd, address, 0);
ZEL_PIN_FIELD(DbAd, headWord, 4);

ZEL_PIN_SIZE(DbBAd, 8);
ZEL_PIN_FIELD(DbBAd, address, 0);
ZEL_PIN_FIELD(DbBAd, bitMask, 4);

ZEL_PIN_SIZE(PdbJAd, 20);
ZEL_PIN_FIELD(PdbJAd, value1, 0);
ZEL_PIN_FIELD(PdbJAd, value2, 4);
ZEL_PIN_FIELD(PdbJAd, word1, 8);
ZEL_PIN_FIELD(PdbJAd, word2, 10);
ZEL_PIN_FIELD(PdbJAd, attr1, 12);
ZEL_PIN_FIELD(PdbJAd, attr2, 14);
ZEL_PIN_FIELD(PdbJAd, word3, 16);

ZEL_PIN_SIZE(PdbCAd, 16);
ZEL_PIN_FIELD(PdbCAd, value1, 0);
ZEL_PIN_FIELD(PdbCAd, value2, 4);
ZEL_PIN_FIELD(PdbCAd, word1, 8);
ZEL_PIN_FIELD(PdbCAd, attr1, 10);
ZEL_PIN_FIELD(PdbCAd, attr2, 12);
ZEL_PIN_FIELD(PdbCAd, word2, 14);

ZEL_PIN_SIZE(PdbWD, 6);
ZEL_PIN_FIELD(PdbWD, number, 0);
ZEL_PIN_FIELD(PdbWD, kind, 2);
ZEL_PIN_FIELD(PdbWD, extra, 4);

ZEL_PIN_SIZE(PdbBD, 4);
ZEL_PIN_FIELD(PdbBD, number, 0);
ZEL_PIN_FIELD(PdbBD, kind, 2);

ZEL_PIN_SIZE(PdbAnyWD, 12);
ZEL_PIN_FIELD(PdbAnyWD, value1, 0);
ZEL_PIN_FIELD(PdbAnyWD, word1, 4);
ZEL_PIN_FIELD(PdbAnyWD, word2, 6);
ZEL_PIN_FIELD(PdbAnyWD, attr1, 8);

ZEL_PIN_SIZE(PdbAnyBD, 12);
ZEL_PIN_FIELD(PdbAnyBD, value1, 0);
ZEL_PIN_FIELD(PdbAnyBD, word1, 4);
ZEL_PIN_FIELD(PdbAnyBD, attr1, 6);
ZEL_PIN_FIELD(PdbAnyBD, attr2, 8);
ZEL_PIN_FIELD(PdbAnyBD, attr3, 10);

ZEL_PIN_SIZE(PdbAnyPBD, 16);
ZEL_PIN_FIELD(PdbAnyPBD, value1, 0);
ZEL_PIN_FIELD(PdbAnyPBD, word1, 4);
ZEL_PIN_FIELD(PdbAnyPBD, attr1, 6);
ZEL_PIN_FIELD(PdbAnyPBD, attr2, 8);
ZEL_PIN_FIELD(PdbAnyPBD, attr3, 10);
ZEL_PIN_FIELD(PdbAnyPBD, attr4, 12);

ZEL_PIN_SIZE(PdbBkup, 20);
ZEL_PIN_FIELD(PdbBkup, value1, 0);
ZEL_PIN_FIELD(PdbBkup, value2, 4);
ZEL_PIN_FIELD(PdbBkup, attr1, 8);
ZEL_PIN_FIELD(PdbBkup, attr2, 10);
ZEL_PIN_FIELD(PdbBkup, attr3, 12);
ZEL_PIN_FIELD(PdbBkup, attr4, 14);
ZEL_PIN_FIELD(PdbBkup, attr5, 16);
