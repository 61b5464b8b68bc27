#include "description_errors.h"

#include <algorithm>
#include <cctype>
#include <utility>

namespace zel::tool {
namespace {

std::string joinedLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += (text.empty() ? "" : "\n") + line;
    return text;
}

// A key further than this from every allowed key gets no suggestion.
constexpr std::size_t kNearest = 2;

char lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

// The edits (a letter left out, added or changed, two neighbours swapped)
// between two keys, letter case aside; more than kNearest counts as
// kNearest + 1 without being computed, so that a long key costs nothing.
std::size_t editDistance(const std::string& a, const std::string& b) {
    const std::size_t n = a.size(), m = b.size();
    if ((n > m ? n - m : m - n) > kNearest) return kNearest + 1;
    // Three rows of the table: i - 2, i - 1, i.
    std::vector<std::size_t> before(m + 1), previous(m + 1), current(m + 1);
    for (std::size_t j = 0; j <= m; ++j) previous[j] = j;
    for (std::size_t i = 1; i <= n; ++i) {
        current[0] = i;
        for (std::size_t j = 1; j <= m; ++j) {
            const std::size_t change = lower(a[i - 1]) == lower(b[j - 1]) ? 0 : 1;
            current[j] = std::min({previous[j] + 1, current[j - 1] + 1, previous[j - 1] + change});
            if (i > 1 && j > 1 && lower(a[i - 1]) == lower(b[j - 2]) &&
                lower(a[i - 2]) == lower(b[j - 1]))
                current[j] = std::min(current[j], before[j - 2] + 1);
        }
        std::swap(before, previous);
        std::swap(previous, current);
    }
    return previous[m];
}

}  // namespace

DescriptionRefused::DescriptionRefused(std::vector<std::string> lines)
    : ToolError(joinedLines(lines)), m_lines(std::move(lines)) {}

void Refusals::add(const std::string& message) {
    if (m_shown.size() < kShown) m_shown.push_back(message);
    ++m_count;
}

void Refusals::refuseAny() const {
    if (m_count == 0) return;
    std::vector<std::string> lines = m_shown;
    if (m_count > m_shown.size())
        lines.push_back("and " + std::to_string(m_count - m_shown.size()) + " more errors");
    if (m_count > 1)
        lines.push_back(std::to_string(m_count) + " errors in the description; no file written");
    throw DescriptionRefused(std::move(lines));
}

std::string unknownKeyText(const std::string& key, const std::vector<std::string>& allowed) {
    const std::string* nearest = nullptr;
    std::size_t best = kNearest + 1;
    for (const std::string& candidate : allowed) {
        const std::size_t d = editDistance(key, candidate);
        // One edit of a one- or two-letter key could make it any key.
        if (d < best && d < key.size()) {
            best = d;
            nearest = &candidate;
        }
    }
    if (nearest) return "unknown key; did you mean \"" + *nearest + "\"?";
    std::string expected;
    for (const std::string& candidate : allowed)
        expected += (expected.empty() ? "" : ", ") + candidate;
    return "unknown key; expected one of " + expected;
}

}  // namespace zel::tool
