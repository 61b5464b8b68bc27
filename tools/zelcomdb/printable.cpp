#include "printable.h"

#include <cstdio>

namespace zel::tool {
namespace {

constexpr std::size_t kLineLimit = 400;

// The escape of a byte that is not shown as it is, or "" for one that is.
std::string escapeOf(unsigned char c, bool asciiOnly) {
    switch (c) {
        case '\n':
            return "\\n";
        case '\t':
            return "\\t";
        case '\r':
            return "\\r";
        default:
            break;
    }
    if (c < 0x20 || c == 0x7F || (asciiOnly && c > 0x7F)) {
        char text[8];
        std::snprintf(text, sizeof text, "\\x%02X", c);
        return text;
    }
    return std::string();
}

std::string escaped(const std::string& text, std::size_t limit, bool asciiOnly) {
    std::string out;
    std::size_t used = 0;
    for (; used < text.size() && out.size() < limit; ++used) {
        const auto c = static_cast<unsigned char>(text[used]);
        const std::string escape = escapeOf(c, asciiOnly);
        if (!escape.empty())
            out += escape;
        else if (asciiOnly && c == '\\')
            out += "\\\\";
        else
            out += static_cast<char>(c);
    }
    if (used < text.size()) out += "... (" + std::to_string(text.size()) + " bytes)";
    return out;
}

}  // namespace

std::string printable(const std::string& text, std::size_t limit) {
    return escaped(text, limit, true);
}

std::string shortJson(const Json& value) {
    if (value.is_string()) return "\"" + printable(value.get<std::string>()) + "\"";
    if (value.is_array()) return "an array of " + std::to_string(value.size());
    if (value.is_object()) return "an object of " + std::to_string(value.size()) + " keys";
    return value.dump();
}

std::string oneLine(const std::string& message) { return escaped(message, kLineLimit, false); }

}  // namespace zel::tool
