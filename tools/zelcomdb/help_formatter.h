// The layout of zelcomdb's --help: CLI11's, with every line wrapped to fit a
// terminal of 80 columns.
#ifndef ZEL_TOOLS_ZELCOMDB_HELP_FORMATTER_H
#define ZEL_TOOLS_ZELCOMDB_HELP_FORMATTER_H

#include <CLI/CLI.hpp>
#include <cstddef>
#include <string>
#include <utility>

namespace zel::tool {

constexpr std::size_t kHelpWidth = 80;

// Wraps each line of a help text longer than `width` at spaces. A line of
// the two-column layout (two spaces, a name, the description from `column`
// on) continues its description in that column; any other line continues at
// its own indentation. A word longer than the room stays whole.
std::string wrapHelp(const std::string& text, std::size_t width, std::size_t column);

// CLI11's help, wrapped. Subcommands take the formatter of the App they are
// added to, so it is set before them.
class HelpFormatter : public CLI::Formatter {
  public:
    std::string make_help(const CLI::App* app, std::string name,
                          CLI::AppFormatMode mode) const override {
        return wrapHelp(CLI::Formatter::make_help(app, std::move(name), mode), kHelpWidth,
                        get_column_width());
    }
};

}  // namespace zel::tool

#endif
