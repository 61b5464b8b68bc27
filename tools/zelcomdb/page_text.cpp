#include "page_text.h"

#include <cstdio>

namespace zel::tool {

std::string htmlText(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string byteCountText(std::uint64_t value) {
    char hex[24];
    std::snprintf(hex, sizeof hex, "%llx", static_cast<unsigned long long>(value));
    return std::to_string(value) + " (0x" + hex + ")";
}

std::uint64_t countIn(const Json& object, const char* name) {
    if (!object.is_object()) return 0;
    const auto it = object.find(name);
    if (it == object.end() || !it->is_number_integer()) return 0;
    if (it->is_number_unsigned()) return it->get<std::uint64_t>();
    const auto signedValue = it->get<std::int64_t>();
    return signedValue < 0 ? 0 : static_cast<std::uint64_t>(signedValue);
}

}  // namespace zel::tool
