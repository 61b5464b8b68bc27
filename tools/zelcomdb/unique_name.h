// Names for the directories a build makes beside its output: a prefix and
// six random letters or digits, tried until one is free.
#ifndef ZELCOMDB_UNIQUE_NAME_H
#define ZELCOMDB_UNIQUE_NAME_H

#include <random>
#include <string>

#include "tool_error.h"

namespace zel::tool {

// `take(name)` makes or moves something to the name: true when it did,
// false when the name exists (it throws on any other failure). Gives the
// name taken; throws ToolError "PREFIX: WHAT: every name tried exists".
template <class Take>
std::string takeUniqueName(const std::string& prefix, const char* what, Take take) {
    std::random_device seed;
    std::mt19937 pick(seed());
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = prefix;
        for (int i = 0; i < 6; ++i) name += kLetters[pick() % (sizeof kLetters - 1)];
        if (take(name)) return name;
    }
    throw ToolError(prefix + ": " + what + ": every name tried exists");
}

}  // namespace zel::tool

#endif
