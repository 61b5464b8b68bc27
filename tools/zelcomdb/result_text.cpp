#include "result_text.h"

#include <ZelComFuncDbaseResults.h>

#include <climits>

namespace zel::tool {

std::string resultText(int result) {
    return std::to_string(result) + " (" + resultWords(result) + ")";
}

std::string resultWords(int result) {
    // A value beyond short is no result of the library: its text is "unknown".
    const short code =
        result < SHRT_MIN || result > SHRT_MAX ? SHRT_MAX : static_cast<short>(result);
    return zel_result_text(code);
}

}  // namespace zel::tool
