// Everything `build` refuses in a description, gathered in one run so that a
// maintainer can mend them all at once: each error a line "PATH: what is
// wrong, what is expected", PATH a JSON Pointer into the description.
#ifndef ZELCOMDB_DESCRIPTION_ERRORS_H
#define ZELCOMDB_DESCRIPTION_ERRORS_H

#include <cstddef>
#include <initializer_list>
#include <string>
#include <vector>

#include "tool_error.h"

namespace zel::tool {

// A refused description: one line per error, and a last line with the count
// when there is more than one.
class DescriptionRefused : public ToolError {
  public:
    explicit DescriptionRefused(std::vector<std::string> lines);
    const std::vector<std::string>& lines() const { return m_lines; }

  private:
    std::vector<std::string> m_lines;
};

class Refusals {
  public:
    // The errors shown; the others are counted ("and 7 more errors").
    static constexpr std::size_t kShown = 20;

    void add(const std::string& message);
    // Runs a step of the check and records the ToolError it throws, so that
    // the check goes on with the next step.
    template <class Step>
    void attempt(Step&& step) {
        try {
            step();
        } catch (const ToolError& e) {
            add(e.what());
        }
    }
    std::size_t count() const { return m_count; }
    // Throws DescriptionRefused when any error was added.
    void refuseAny() const;

  private:
    std::vector<std::string> m_shown;
    std::size_t m_count = 0;
};

// "unknown key; did you mean \"cpuSpec\"?" for a key a letter or two away
// from an allowed one (a letter left out, added, changed or two swapped),
// else "unknown key; expected one of A, B, C".
std::string unknownKeyText(const std::string& key, const std::vector<std::string>& allowed);

}  // namespace zel::tool

#endif
