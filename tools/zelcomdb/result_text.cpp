#include "result_text.h"

namespace zel::tool {
namespace {

// The file layer's causes, 100 + cause.
constexpr const char* kCauses[] = {
    "file error",          "generic file error", "file not found", "bad path",
    "too many open files", "access denied",      "invalid file",   "cannot remove directory",
    "directory full",      "bad seek",           "hard I/O error", "sharing violation",
    "lock violation",      "disk full",          "end of file",
};
constexpr int kCauseCount = sizeof kCauses / sizeof kCauses[0];

}  // namespace

std::string resultPhrase(int result) {
    if (result == 0) return "ok";
    if (result == -1) return "refused";
    if (result == -2) return "absent";
    if (result >= 100 && result < 100 + kCauseCount) return kCauses[result - 100];
    return "unknown result";
}

std::string resultText(int result) {
    return std::to_string(result) + " (" + resultPhrase(result) + ")";
}

}  // namespace zel::tool
