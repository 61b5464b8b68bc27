#include "output_file.h"

#include <iostream>
#include <vector>

#include "tool_error.h"
#include "tool_file.h"

namespace zel::tool {
namespace {

#if defined(_WIN32)
constexpr const char* kSeparators = "/\\";
#else
constexpr const char* kSeparators = "/";
#endif

}  // namespace

void writeOutputFile(const std::string& path, const std::string& text) {
    if (path == "-") {
        std::cout << text;
        return;
    }
    const auto cut = path.find_last_of(kSeparators);
    const std::string folder = cut == std::string::npos ? "." : path.substr(0, cut + 1);
    const std::string name = cut == std::string::npos ? path : path.substr(cut + 1);
    // A symbolic link is not followed: replacing it would drop the link,
    // writing through it would change a file elsewhere.
    if (name.empty() || pathKind(path) == PathKind::other)
        throw ToolError(path + ": not a regular file (the output replaces only a regular file)");

    InterruptGuard interrupt;
    const std::string temporary =
        writeUniqueFile((cut == std::string::npos ? "" : folder) + "." + name + ".new-",
                        std::vector<unsigned char>(text.begin(), text.end()));
    try {
        interrupt.check();
        replaceFile(temporary, path);
    } catch (const ToolError& e) {
        std::string message = e.what();
        try {
            removeFile(temporary);
        } catch (const ToolError&) {
            message += "; left behind: " + temporary;
        }
        throw ToolError(message);
    }
    syncDirectory(folder);
}

}  // namespace zel::tool
