// Access to the private members of the accessor for the entry points, the
// internal tests and the tools that ship with the library.
#ifndef ZEL_ACCESSOR_ACCESSOR_INTERNALS_H
#define ZEL_ACCESSOR_ACCESSOR_INTERNALS_H

#include <ZelComFuncDbase.h>

#include <string>

#include "accessor/model_table.h"
#include "accessor/result_codes.h"

struct ZelAccessorInternals {
    // The checks and forwarding of an entry point: model index and OS number
    // are checked and replaced by CPU code and OS type, every further
    // argument passes to the reader unchanged.
    template <class Reader, class... Args>
    static short forward(CZelComFuncDbase& self, Reader reader, short modelIndex, short osNumber,
                         Args... args) {
        short cpuCode = 0;
        short osType = 0;
        if (!zel::cpuCodeOfModel(modelIndex, cpuCode) || !zel::osTypeOfNumber(osNumber, osType))
            return zel::kRefused;
        return (self.*reader)(cpuCode, osType, args...);
    }

    static const std::u16string& directory(const CZelComFuncDbase& self) {
        return self.m_dbDirectory;
    }
    static short dbname(CZelComFuncDbase& self, short cpu, short os, unsigned short* name) {
        return self.dbname(cpu, os, name);
    }
    static short dbnamehon(CZelComFuncDbase& self, short cpu, short os, unsigned short* name) {
        return self.dbnamehon(cpu, os, name);
    }
};

#endif
