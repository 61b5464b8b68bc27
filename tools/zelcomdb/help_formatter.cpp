#include "help_formatter.h"

namespace zel::tool {
namespace {

// Where the continuation lines of `line` start.
std::size_t continuationIndent(const std::string& line, std::size_t column) {
    const bool twoColumns = column > 2 && line.size() > column && line.compare(0, 2, "  ") == 0 &&
                            line[2] != ' ' && line[column - 1] == ' ' && line[column] != ' ';
    if (twoColumns) return column;
    const std::size_t text = line.find_first_not_of(' ');
    return text == std::string::npos ? 0 : text;
}

void appendWrapped(std::string& out, const std::string& line, std::size_t width,
                   std::size_t column) {
    const std::size_t indent = continuationIndent(line, column);
    std::size_t start = 0;  // of the rest still to place
    std::string prefix;     // the indentation of a continuation line
    while (prefix.size() + line.size() - start > width) {
        const std::size_t room = width - prefix.size();
        // The last space that ends a piece fitting the room, beyond the
        // indentation; else the first space after an overlong word.
        std::size_t cut = line.rfind(' ', start + room);
        if (cut == std::string::npos || cut <= start + (prefix.empty() ? indent : 0))
            cut = line.find(' ', start + room);
        if (cut == std::string::npos) break;
        out.append(prefix).append(line, start, cut - start).append("\n");
        start = line.find_first_not_of(' ', cut);
        if (start == std::string::npos) return;
        prefix.assign(indent, ' ');
    }
    out.append(prefix).append(line, start, std::string::npos).append("\n");
}

}  // namespace

std::string wrapHelp(const std::string& text, std::size_t width, std::size_t column) {
    std::string out;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        appendWrapped(out, text.substr(start, end - start), width, column);
        start = end + 1;
    }
    if (!text.empty() && text.back() != '\n') out.pop_back();
    return out;
}

}  // namespace zel::tool
