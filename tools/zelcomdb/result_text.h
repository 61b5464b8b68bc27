// Result codes of the library in words, for the tool's output.
#ifndef ZELCOMDB_RESULT_TEXT_H
#define ZELCOMDB_RESULT_TEXT_H

#include <string>

namespace zel::tool {

// "102 (file not found)": the code and the library's text for it.
std::string resultText(int result);

}  // namespace zel::tool

#endif
