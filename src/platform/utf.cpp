#include "platform/utf.h"

#include <cstdint>

namespace zel {
namespace {

bool isHighSurrogate(std::uint32_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool isLowSurrogate(std::uint32_t u) { return u >= 0xDC00 && u <= 0xDFFF; }
// A byte of a UTF-8 path that is not valid UTF-8 (0x80..0xFF) stands in the
// UTF-16 directory as the lone low surrogate U+DC00 + byte, so that such a
// directory (a Latin-1 name, say) is reached through the UTF-8 constructor.
constexpr std::uint32_t kEscapedByteBase = 0xDC00;
bool isEscapedByte(std::uint32_t u) {
    return u >= kEscapedByteBase + 0x80 && u <= kEscapedByteBase + 0xFF;
}

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

std::size_t utf8SequenceLength(const unsigned char* s) {
    const unsigned lead = s[0];
    if (lead < 0x80) return 1;
    std::size_t length;
    unsigned low = 0x80, high = 0xBF;  // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;   // shorter form exists
        if (lead == 0xED) high = 0x9F;  // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;   // shorter form exists
        if (lead == 0xF4) high = 0x8F;  // beyond U+10FFFF
    } else {
        return 0;
    }
    if (s[1] < low || s[1] > high) return 0;
    for (std::size_t k = 2; k < length; ++k)
        if ((s[k] & 0xC0) != 0x80) return 0;
    return length;
}

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
        if (isEscapedByte(u)) {
            path[n++] = static_cast<char>(u - kEscapedByteBase);
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
        const std::size_t length = utf8SequenceLength(s);
        if (length == 0) {  // a byte that starts no valid sequence is kept as it is
            out.push_back(static_cast<char16_t>(kEscapedByteBase + *s++));
            continue;
        }
        std::uint32_t cp = length == 1 ? s[0] : s[0] & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) cp = (cp << 6) | (s[k] & 0x3F);
        s += length;
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
        } else if (isEscapedByte(u)) {
            out.push_back(static_cast<char>(u - kEscapedByteBase));
            continue;
        } else if (isHighSurrogate(u) || isLowSurrogate(u)) {
            u = 0xFFFD;
        }
        out.append(buf, putUtf8(buf, 0, u));
    }
    return out;
}

}  // namespace zel
