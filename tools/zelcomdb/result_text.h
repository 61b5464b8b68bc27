// Result codes of the library in words, for the tool's output.
#ifndef ZELCOMDB_RESULT_TEXT_H
#define ZELCOMDB_RESULT_TEXT_H

#include <string>

namespace zel::tool {

// "102 (file not found)": the code and the library's text for it.
std::string resultText(int result);
// "file not found": the library's text for a result code alone.
std::string resultWords(int result);

}  // namespace zel::tool

#endif
