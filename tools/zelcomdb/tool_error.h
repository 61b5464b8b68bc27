// A failure that ends a subcommand: one line for stderr and the exit status.
#ifndef ZELCOMDB_TOOL_ERROR_H
#define ZELCOMDB_TOOL_ERROR_H

#include <stdexcept>
#include <string>

namespace zel::tool {

// Exit statuses: 0 success, 1 findings of `check`, 2 any error.
constexpr int kExitFindings = 1;
constexpr int kExitError = 2;

class ToolError : public std::runtime_error {
  public:
    explicit ToolError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace zel::tool

#endif
