// Pieces of the report page's text. Text on its way into the page has every
// character that HTML gives a meaning to written as a character reference,
// so that a file name or a value from a database can neither open a tag nor
// leave an attribute.
#ifndef ZELCOMDB_PAGE_TEXT_H
#define ZELCOMDB_PAGE_TEXT_H

#include <cstdint>
#include <string>

#include "schema.h"

namespace zel::tool {

// The text with & < > " ' as character references, for element content
// and quoted attribute values alike.
std::string htmlText(const std::string& text);

// A file offset or byte count as the page shows it: "31932 (0x7cbc)".
std::string byteCountText(std::uint64_t value);

// A count, offset or length member of a document: 0 when it is missing, not
// an integer or negative.
std::uint64_t countIn(const Json& object, const char* name);

}  // namespace zel::tool

#endif
