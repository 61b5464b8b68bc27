#include "printable.h"

#include <cstdio>

#include "platform/utf.h"

namespace zel::tool {
namespace {

constexpr std::size_t kLineLimit = 400;

void appendByteEscape(std::string& out, unsigned char c) {
    char text[8];
    std::snprintf(text, sizeof text, "\\x%02X", c);
    out += text;
}

// Whether the valid UTF-8 sequence at s is a control character: C0, DEL or
// C1 (U+0080..U+009F, written C2 80..C2 9F).
bool isControl(const unsigned char* s, std::size_t length) {
    return (length == 1 && (s[0] < 0x20 || s[0] == 0x7F)) ||
           (length == 2 && s[0] == 0xC2 && s[1] < 0xA0);
}

}  // namespace

std::string escapedText(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    // c_str() ends with a NUL, at which every sequence check stops.
    const auto* s = reinterpret_cast<const unsigned char*>(text.c_str());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = utf8SequenceLength(s + i);
        if (length == 0 || i + length > text.size() || isControl(s + i, length)) {
            const std::size_t bytes = length == 0 ? 1 : length;
            for (std::size_t k = 0; k < bytes && i < text.size(); ++k)
                appendByteEscape(out, s[i++]);
            continue;
        }
        if (s[i] == '\\') out += '\\';
        out.append(text, i, length);
        i += length;
    }
    return out;
}

std::string shortened(const std::string& text, std::size_t limit) {
    if (text.size() <= limit) return text;
    std::size_t cut = limit;
    // Not inside a UTF-8 sequence: back to the byte that starts it.
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    return text.substr(0, cut) + "... (" + std::to_string(text.size()) + " bytes)";
}

std::string printable(const std::string& text, std::size_t limit) {
    return escapedText(shortened(text, limit));
}

std::string shortJson(const Json& value) {
    if (value.is_string()) return "\"" + shortened(value.get<std::string>()) + "\"";
    if (value.is_array()) return "an array of " + std::to_string(value.size());
    if (value.is_object()) return "an object of " + std::to_string(value.size()) + " keys";
    return value.dump();
}

std::string oneLine(const std::string& message) { return printable(message, kLineLimit); }

}  // namespace zel::tool
