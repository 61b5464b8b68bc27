#include "text_table.h"

#include <algorithm>
#include <cstddef>

namespace zel::tool {
namespace {

bool looksNumeric(const std::string& s) {
    if (s.empty()) return false;
    std::size_t i = (s[0] == '-') ? 1 : 0;
    if (s.compare(i, 2, "0x") == 0) i += 2;
    if (i >= s.size()) return false;
    return std::all_of(s.begin() + static_cast<std::ptrdiff_t>(i), s.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    });
}

}  // namespace

void TextTable::print(std::ostream& out, const std::string& indent) const {
    std::size_t columns = m_headers.size();
    for (const auto& r : m_rows) columns = std::max(columns, r.size());
    std::vector<std::size_t> width(columns, 0);
    std::vector<bool> numeric(columns, true);
    auto measure = [&](const std::vector<std::string>& cells, bool header) {
        for (std::size_t c = 0; c < cells.size(); ++c) {
            width[c] = std::max(width[c], cells[c].size());
            if (!header && !cells[c].empty() && !looksNumeric(cells[c])) numeric[c] = false;
        }
    };
    measure(m_headers, true);
    for (const auto& r : m_rows) measure(r, false);
    auto line = [&](const std::vector<std::string>& cells) {
        std::string text = indent;
        for (std::size_t c = 0; c < columns; ++c) {
            const std::string cell = c < cells.size() ? cells[c] : std::string();
            const std::string pad(width[c] - cell.size(), ' ');
            if (c > 0) text += "  ";
            text += numeric[c] ? pad + cell : cell + pad;
        }
        while (!text.empty() && text.back() == ' ') text.pop_back();
        out << text << '\n';
    };
    line(m_headers);
    for (const auto& r : m_rows) line(r);
}

}  // namespace zel::tool
