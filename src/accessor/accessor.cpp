// The accessor object: its database directory, file naming and byte order.
#include <ZelComFuncDbase.h>

#include "accessor/file_naming.h"
#include "platform/utf.h"

namespace {

// A null path is taken as the empty path, as the platform's string class
// takes a null pointer.
std::u16string fromUnits(const unsigned short* path) {
    std::u16string s;
    for (; path && *path; ++path) s.push_back(static_cast<char16_t>(*path));
    return s;
}

}  // namespace

CZelComFuncDbase::CZelComFuncDbase(const unsigned short* path)
    : m_dbDirectory(zel::accessorDirectory(fromUnits(path))) {}

CZelComFuncDbase::CZelComFuncDbase(const char* utf8Path)
    : m_dbDirectory(zel::accessorDirectory(zel::utf8ToUtf16(utf8Path ? utf8Path : ""))) {}

CZelComFuncDbase::CZelComFuncDbase(const CZelComFuncDbase& other) = default;

CZelComFuncDbase& CZelComFuncDbase::operator=(const CZelComFuncDbase& other) = default;

CZelComFuncDbase::~CZelComFuncDbase() = default;

short CZelComFuncDbase::dbname(short cpuCode, short osType, unsigned short* name) {
    return zel::composeName(m_dbDirectory, zel::kJqwdbPrefix, cpuCode, osType, name);
}

short CZelComFuncDbase::dbnamehon(short cpuCode, short osType, unsigned short* name) {
    return zel::composeName(m_dbDirectory, zel::kOsdbPrefix, cpuCode, osType, name);
}
