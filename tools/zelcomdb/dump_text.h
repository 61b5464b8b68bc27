// The dump description as aligned tables for a terminal.
#ifndef ZELCOMDB_DUMP_TEXT_H
#define ZELCOMDB_DUMP_TEXT_H

#include <ostream>
#include <string>

#include "schema.h"

namespace zel::tool {

void printDump(const Json& document, std::ostream& out);

// Whether the text shows a field of a table ("dbTb3", "address") in
// hexadecimal: addresses, head words and bit masks of the OSDB tables. Every
// other number is shown in decimal.
bool shownInHex(const std::string& table, const std::string& field);
// A number in the radix given ("0xd210" or "53776"), or the result code that
// stands in its place with its text.
std::string numberText(const Json& value, bool hex = false);

}  // namespace zel::tool

#endif
