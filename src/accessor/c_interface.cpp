// The C interface: each zel_ function forwards to the member of the same name
// of the accessor it is given. Nothing thrown inside the library may leave
// through a C function, so each one ends every exception here.
#include <ZelComFuncDbase.h>
#include <ZelComFuncDbaseC.h>
#include <ZelComFuncDbaseVersion.h>

#include <cwchar>
#include <new>
#include <vector>

#include "accessor/result_codes.h"

struct ZelDb {
    CZelComFuncDbase accessor;
};

namespace {

// What a member would have thrown (memory exhausted while reading) becomes a
// generic failure of the file layer, the nearest result a C host knows.
constexpr short kThrown = zel::fileFailureResult(zel::Cause::genericException);

template <class... Params, class... Args>
short forward(ZelDb* db, short (CZelComFuncDbase::*member)(Params...), Args... args) noexcept {
    if (!db) return zel::kRefused;
    try {
        return (db->accessor.*member)(args...);
    } catch (...) {
        return kThrown;
    }
}

template <class Path>
ZelDb* openOn(Path directory) noexcept {
    try {
        return new ZelDb{CZelComFuncDbase(directory)};
    } catch (...) {
        return nullptr;
    }
}

}  // namespace

extern "C" {

ZelDb* ZELCOMFUNCDBASE_CALL zel_open(const unsigned short* utf16Directory) {
    return openOn(utf16Directory);
}

ZelDb* ZELCOMFUNCDBASE_CALL zel_open_utf8(const char* utf8Directory) {
    return openOn(utf8Directory);
}

#ifdef _WIN32
// wchar_t is a UTF-16 unit on Windows; each one is copied as such, so that
// the class reads unsigned shorts through no other type.
ZelDb* ZELCOMFUNCDBASE_CALL zel_open_w(const wchar_t* directory) {
    if (!directory) return openOn(static_cast<const unsigned short*>(nullptr));
    try {
        const std::vector<unsigned short> units(directory, directory + std::wcslen(directory) + 1);
        return openOn(units.data());
    } catch (...) {
        return nullptr;
    }
}
#endif

void ZELCOMFUNCDBASE_CALL zel_close(ZelDb* db) { delete db; }

ZelDb* ZELCOMFUNCDBASE_CALL zel_copy(const ZelDb* db) {
    if (!db) return nullptr;
    try {
        return new ZelDb{db->accessor};
    } catch (...) {
        return nullptr;
    }
}

const char* ZELCOMFUNCDBASE_CALL zel_version(void) { return ZELCOMFUNCDBASE_VERSION_STRING; }

short ZELCOMFUNCDBASE_CALL zel_CDbCpuOsType(ZelDb* db, short* cpuCode, short* osType,
                                            short modelIndex, short osNumber) {
    return forward(db, &CZelComFuncDbase::CDbCpuOsType, cpuCode, osType, modelIndex, osNumber);
}

short ZELCOMFUNCDBASE_CALL zel_CDbCpuSpec(ZelDb* db, short modelIndex, short osNumber,
                                          ZelLong* values) {
    return forward(db, &CZelComFuncDbase::CDbCpuSpec, modelIndex, osNumber, values);
}

short ZELCOMFUNCDBASE_CALL zel_CpuSpec(ZelDb* db, short cpuCode, short osType, ZelLong* values) {
    return forward(db, &CZelComFuncDbase::CpuSpec, cpuCode, osType, values);
}

short ZELCOMFUNCDBASE_CALL zel_CDbTb2(ZelDb* db, short modelIndex, short osNumber, short item,
                                      short entry, DbAd* out) {
    return forward(db, &CZelComFuncDbase::CDbTb2, modelIndex, osNumber, item, entry, out);
}

short ZELCOMFUNCDBASE_CALL zel_CDbTb3(ZelDb* db, short modelIndex, short osNumber, short item,
                                      DbAd* out) {
    return forward(db, &CZelComFuncDbase::CDbTb3, modelIndex, osNumber, item, out);
}

short ZELCOMFUNCDBASE_CALL zel_CDbTb4(ZelDb* db, short modelIndex, short osNumber, short item,
                                      short entry, DbBAd* out) {
    return forward(db, &CZelComFuncDbase::CDbTb4, modelIndex, osNumber, item, entry, out);
}

short ZELCOMFUNCDBASE_CALL zel_CDbTb5(ZelDb* db, short modelIndex, short osNumber, short item,
                                      DbBAd* out) {
    return forward(db, &CZelComFuncDbase::CDbTb5, modelIndex, osNumber, item, out);
}

short ZELCOMFUNCDBASE_CALL zel_CDbTbMem(ZelDb* db, short modelIndex, short osNumber,
                                        short memoryKind, short memoryIndex, ZelLong* out) {
    return forward(db, &CZelComFuncDbase::CDbTbMem, modelIndex, osNumber, memoryKind, memoryIndex,
                   out);
}

short ZELCOMFUNCDBASE_CALL zel_CPdbPMem(ZelDb* db, short modelIndex, short osNumber, short selector,
                                        ZelLong value, ZelLong* out) {
    return forward(db, &CZelComFuncDbase::CPdbPMem, modelIndex, osNumber, selector, value, out);
}

short ZELCOMFUNCDBASE_CALL zel_CPdbTb0(ZelDb* db, short modelIndex, short osNumber, short index,
                                       PdbJAd* out) {
    return forward(db, &CZelComFuncDbase::CPdbTb0, modelIndex, osNumber, index, out);
}

short ZELCOMFUNCDBASE_CALL zel_CPdbTb1(ZelDb* db, short modelIndex, short osNumber, short index,
                                       PdbCAd* out) {
    return forward(db, &CZelComFuncDbase::CPdbTb1, modelIndex, osNumber, index, out);
}

short ZELCOMFUNCDBASE_CALL zel_CPdbTb2(ZelDb* db, short modelIndex, short osNumber, short index,
                                       short entry, PdbWD* out) {
    return forward(db, &CZelComFuncDbase::CPdbTb2, modelIndex, osNumber, index, entry, out);
}

short ZELCOMFUNCDBASE_CALL zel_CPdbTb3(ZelDb* db, short modelIndex, short osNumber, short index,
                                       PdbWD* out) {
    return forward(db, &CZelComFuncDbase::CPdbTb3, modelIndex, osNumber, index, out);
}

short ZELCOMFUNCDBASE_CALL zel_CPdbTb4(ZelDb* db, short modelIndex, short osNumber, short index,
                                       short entry, PdbBD* out) {
    return forward(db, &CZelComFuncDbase::CPdbTb4, modelIndex, osNumber, index, entry, out);
}

short ZELCOMFUNCDBASE_CALL zel_CPdbTb5(ZelDb* db, short modelIndex, short osNumber, short index,
                                       PdbBD* out) {
    return forward(db, &CZelComFuncDbase::CPdbTb5, modelIndex, osNumber, index, out);
}

short ZELCOMFUNCDBASE_CALL zel_CPdbTb6(ZelDb* db, short modelIndex, short osNumber, short index,
                                       PdbAnyWD* out) {
    return forward(db, &CZelComFuncDbase::CPdbTb6, modelIndex, osNumber, index, out);
}

short ZELCOMFUNCDBASE_CALL zel_CPdbTb7(ZelDb* db, short modelIndex, short osNumber, short index,
                                       PdbAnyBD* out) {
    return forward(db, &CZelComFuncDbase::CPdbTb7, modelIndex, osNumber, index, out);
}

short ZELCOMFUNCDBASE_CALL zel_CPdbTb8(ZelDb* db, short modelIndex, short osNumber, short index,
                                       PdbAnyWD* out) {
    return forward(db, &CZelComFuncDbase::CPdbTb8, modelIndex, osNumber, index, out);
}

short ZELCOMFUNCDBASE_CALL zel_CPdbTb9(ZelDb* db, short modelIndex, short osNumber, short index,
                                       PdbAnyPBD* out) {
    return forward(db, &CZelComFuncDbase::CPdbTb9, modelIndex, osNumber, index, out);
}

short ZELCOMFUNCDBASE_CALL zel_CPdbTb10(ZelDb* db, short modelIndex, short osNumber, short index,
                                        PdbBkup* out) {
    return forward(db, &CZelComFuncDbase::CPdbTb10, modelIndex, osNumber, index, out);
}

short ZELCOMFUNCDBASE_CALL zel_GetPdbTb10ItemCount(ZelDb* db, short modelIndex, short osNumber,
                                                   ZelLong* count) {
    return forward(db, &CZelComFuncDbase::GetPdbTb10ItemCount, modelIndex, osNumber, count);
}

}  // extern "C"
