#include "accessor/utf.h"

#include <cstdint>

namespace zel {
namespace {

bool isHighSurrogate(std::uint32_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool isLowSurrogate(std::uint32_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

// Appends the UTF-8 form of code point cp at out[n]; returns the new length.
std::size_t putUtf8(char* out, std::size_t n, std::uint32_t cp) {
    auto put = [&](std::uint32_t byte) { out[n++] = static_cast<char>(byte); };
    if (cp < 0x80) {
        put(cp);
    } else if (cp < 0x800) {
        put(0xC0 | (cp >> 6));
        put(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        put(0xE0 | (cp >> 12));
        put(0x80 | ((cp >> 6) & 0x3F));
        put(0x80 | (cp & 0x3F));
    } else {
        put(0xF0 | (cp >> 18));
        put(0x80 | ((cp >> 12) & 0x3F));
        put(0x80 | ((cp >> 6) & 0x3F));
        put(0x80 | (cp & 0x3F));
    }
    return n;
}

}  // namespace

bool nameToPosixPath(const unsigned short* name, char (&path)[kPathBytes]) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < kNameUnits; ++i) {
        std::uint32_t u = name[i];
        if (u < 0x80) {  // ASCII, the common case: one byte, no call
            if (u == 0) {
                path[n] = 0;
                return true;
            }
            path[n++] = u == '\\' ? '/' : static_cast<char>(u);
            continue;
        }
        if (isLowSurrogate(u)) return false;
        if (isHighSurrogate(u)) {
            const std::uint32_t low = i + 1 < kNameUnits ? name[i + 1] : 0;
            if (!isLowSurrogate(low)) return false;
            u = 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00);
            ++i;
        }
        n = putUtf8(path, n, u);
    }
    return false;
}

std::u16string utf8ToUtf16(const char* utf8) {
    std::u16string out;
    const auto* s = reinterpret_cast<const unsigned char*>(utf8);
    while (*s) {
        std::uint32_t cp = 0xFFFD;
        int extra = 0;
        std::uint32_t min = 0;
        if (*s < 0x80) {
            cp = *s;
        } else if ((*s & 0xE0) == 0xC0) {
            cp = *s & 0x1F, extra = 1, min = 0x80;
        } else if ((*s & 0xF0) == 0xE0) {
            cp = *s & 0x0F, extra = 2, min = 0x800;
        } else if ((*s & 0xF8) == 0xF0) {
            cp = *s & 0x07, extra = 3, min = 0x10000;
        }
        ++s;
        bool ok = !(cp == 0xFFFD && extra == 0 && s[-1] >= 0x80);
        for (int k = 0; k < extra; ++k, ++s) {
            if ((*s & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            cp = (cp << 6) | (*s & 0x3F);
        }
        if (!ok || (extra && cp < min) || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            cp = 0xFFFD;
        if (cp >= 0x10000) {
            out.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
    }
    return out;
}

std::string utf16ToUtf8(const std::u16string& utf16) {
    std::string out;
    char buf[4];
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        std::uint32_t u = utf16[i];
        if (isHighSurrogate(u) && i + 1 < utf16.size() && isLowSurrogate(utf16[i + 1])) {
            u = 0x10000 + ((u - 0xD800) << 10) +
                (static_cast<std::uint32_t>(utf16[i + 1]) - 0xDC00);
            ++i;
        } else if (isHighSurrogate(u) || isLowSurrogate(u)) {
            u = 0xFFFD;
        }
        out.append(buf, putUtf8(buf, 0, u));
    }
    return out;
}

}  // namespace zel
