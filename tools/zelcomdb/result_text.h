// Result codes of the library in words, for the tool's output.
#ifndef ZELCOMDB_RESULT_TEXT_H
#define ZELCOMDB_RESULT_TEXT_H

#include <string>

namespace zel::tool {

// "refused", "absent", "file not found", ...: a short phrase for a result code.
std::string resultPhrase(int result);
// "102 (file not found)".
std::string resultText(int result);

}  // namespace zel::tool

#endif
