// A failure that ends a subcommand: one line for stderr and the exit status.
#ifndef ZELCOMDB_TOOL_ERROR_H
#define ZELCOMDB_TOOL_ERROR_H

#include <stdexcept>
#include <string>

namespace zel::tool {

// Exit statuses, the same for every subcommand: 0 clean (no finding, no
// difference, every value asked for delivered); 1 findings of `check`,
// differences of `diff`, or a result code other than 0 where a value was
// asked for (`spec`, `dump`); 2 a usage error or a failure of the tool.
constexpr int kExitClean = 0;
constexpr int kExitFindings = 1;
constexpr int kExitError = 2;

class ToolError : public std::runtime_error {
  public:
    explicit ToolError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace zel::tool

#endif
