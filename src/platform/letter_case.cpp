#include "platform/letter_case.h"

namespace zel {

bool equalIgnoringAsciiCase(std::string_view a, std::string_view b) {
    auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : int{c}; };
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(static_cast<unsigned char>(a[i])) != lower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::ptrdiff_t chooseCaseVariant(std::string_view wanted, const std::vector<std::string>& entries) {
    std::ptrdiff_t chosen = -1;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::string& entry = entries[i];
        if (entry == wanted) return static_cast<std::ptrdiff_t>(i);
        // std::string compares its bytes as unsigned char.
        if (equalIgnoringAsciiCase(entry, wanted) && (chosen < 0 || entry < entries[chosen]))
            chosen = static_cast<std::ptrdiff_t>(i);
    }
    return chosen;
}

}  // namespace zel
