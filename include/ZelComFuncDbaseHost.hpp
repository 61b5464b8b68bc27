// ZelComFuncDbase for C++ hosts of any compiler: CZelComFuncDbaseHost has the
// members of CZelComFuncDbase (ZelComFuncDbase.h) with the same names,
// arguments, records and result codes, and answers every call as that class
// does. It is compiled by the host's own compiler, inline, over the C
// interface (ZelComFuncDbaseC.h): the host links only the DLL's zel_
// functions, whose ABI every compiler of the platform shares, while the
// class's own exports carry one compiler's C++ names and layout.
//
// A host written against CZelComFuncDbase changes its include line and names
// the class once:
//     #include <ZelComFuncDbaseHost.hpp>
//     typedef CZelComFuncDbaseHost CZelComFuncDbase;
//
// C++11 or later; nothing of the C++ standard library in the interface and
// no C++ standard header included, so that a compiler in freestanding mode
// compiles it too. The member descriptions are those of ZelComFuncDbase.h.
#ifndef ZELCOMFUNCDBASEHOST_HPP
#define ZELCOMFUNCDBASEHOST_HPP

#include "ZelComFuncDbaseC.h"

class CZelComFuncDbaseHost {
  public:
    // The directory as a NUL-terminated UTF-16 path, or UTF-8; null is the
    // empty path. Memory exhausted: std::bad_alloc, as the class throws.
    CZelComFuncDbaseHost(const unsigned short* path) : m_db(opened(zel_open(path))) {}
    explicit CZelComFuncDbaseHost(const char* utf8Path) : m_db(opened(zel_open_utf8(utf8Path))) {}
    // A copy, or an accessor after assignment, names the same directory and
    // is independent of the accessor it came from.
    CZelComFuncDbaseHost(const CZelComFuncDbaseHost& other) : m_db(opened(zel_copy(other.m_db))) {}
    CZelComFuncDbaseHost& operator=(const CZelComFuncDbaseHost& other) {
        // Copied before the old one is released: self-assignment is safe and a
        // failed copy leaves this accessor as it was.
        ZelDb* copy = opened(zel_copy(other.m_db));
        zel_close(m_db);
        m_db = copy;
        return *this;
    }
    virtual ~CZelComFuncDbaseHost() { zel_close(m_db); }

    short CDbCpuOsType(short* cpuCode, short* osType, short modelIndex, short osNumber) {
        return zel_CDbCpuOsType(m_db, cpuCode, osType, modelIndex, osNumber);
    }
    short CDbCpuSpec(short modelIndex, short osNumber, ZelLong* values) {
        return zel_CDbCpuSpec(m_db, modelIndex, osNumber, values);
    }
    short CpuSpec(short cpuCode, short osType, ZelLong* values) {
        return zel_CpuSpec(m_db, cpuCode, osType, values);
    }
    short CDbTb2(short modelIndex, short osNumber, short item, short entry, DbAd* out) {
        return zel_CDbTb2(m_db, modelIndex, osNumber, item, entry, out);
    }
    short CDbTb3(short modelIndex, short osNumber, short item, DbAd* out) {
        return zel_CDbTb3(m_db, modelIndex, osNumber, item, out);
    }
    short CDbTb4(short modelIndex, short osNumber, short item, short entry, DbBAd* out) {
        return zel_CDbTb4(m_db, modelIndex, osNumber, item, entry, out);
    }
    short CDbTb5(short modelIndex, short osNumber, short item, DbBAd* out) {
        return zel_CDbTb5(m_db, modelIndex, osNumber, item, out);
    }
    short CDbTbMem(short modelIndex, short osNumber, short memoryKind, short memoryIndex,
                   ZelLong* out) {
        return zel_CDbTbMem(m_db, modelIndex, osNumber, memoryKind, memoryIndex, out);
    }
    short CPdbPMem(short modelIndex, short osNumber, short selector, ZelLong value, ZelLong* out) {
        return zel_CPdbPMem(m_db, modelIndex, osNumber, selector, value, out);
    }
    short CPdbTb0(short modelIndex, short osNumber, short index, PdbJAd* out) {
        return zel_CPdbTb0(m_db, modelIndex, osNumber, index, out);
    }
    short CPdbTb1(short modelIndex, short osNumber, short index, PdbCAd* out) {
        return zel_CPdbTb1(m_db, modelIndex, osNumber, index, out);
    }
    short CPdbTb2(short modelIndex, short osNumber, short index, short entry, PdbWD* out) {
        return zel_CPdbTb2(m_db, modelIndex, osNumber, index, entry, out);
    }
    short CPdbTb3(short modelIndex, short osNumber, short index, PdbWD* out) {
        return zel_CPdbTb3(m_db, modelIndex, osNumber, index, out);
    }
    short CPdbTb4(short modelIndex, short osNumber, short index, short entry, PdbBD* out) {
        return zel_CPdbTb4(m_db, modelIndex, osNumber, index, entry, out);
    }
    short CPdbTb5(short modelIndex, short osNumber, short index, PdbBD* out) {
        return zel_CPdbTb5(m_db, modelIndex, osNumber, index, out);
    }
    short CPdbTb6(short modelIndex, short osNumber, short index, PdbAnyWD* out) {
        return zel_CPdbTb6(m_db, modelIndex, osNumber, index, out);
    }
    short CPdbTb7(short modelIndex, short osNumber, short index, PdbAnyBD* out) {
        return zel_CPdbTb7(m_db, modelIndex, osNumber, index, out);
    }
    short CPdbTb8(short modelIndex, short osNumber, short index, PdbAnyWD* out) {
        return zel_CPdbTb8(m_db, modelIndex, osNumber, index, out);
    }
    short CPdbTb9(short modelIndex, short osNumber, short index, PdbAnyPBD* out) {
        return zel_CPdbTb9(m_db, modelIndex, osNumber, index, out);
    }
    short CPdbTb10(short modelIndex, short osNumber, short index, PdbBkup* out) {
        return zel_CPdbTb10(m_db, modelIndex, osNumber, index, out);
    }
    short GetPdbTb10ItemCount(short modelIndex, short osNumber, ZelLong* count) {
        return zel_GetPdbTb10ItemCount(m_db, modelIndex, osNumber, count);
    }

  private:
    // zel_open and zel_copy give NULL only when memory runs out. The host's
    // own operator new, asked for more bytes than any address space holds,
    // then throws std::bad_alloc (<new> is not included: a freestanding
    // compiler may lack it). Should the host's operator new return null
    // instead of throwing, the accessor holds NULL and every member returns
    // -1 with nothing written.
    static ZelDb* opened(ZelDb* db) {
        if (!db) {
            volatile decltype(sizeof 0) everything = ~static_cast<decltype(sizeof 0)>(0);
            ::operator delete(::operator new(everything));
        }
        return db;
    }

    ZelDb* m_db;
};

#endif  // ZELCOMFUNCDBASEHOST_HPP
