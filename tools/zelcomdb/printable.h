// Text from a description, a file or a command line shown in a message:
// escaped so that it stays on one line and cannot steer a terminal, and cut
// to a length a reader can take in.
#ifndef ZELCOMDB_PRINTABLE_H
#define ZELCOMDB_PRINTABLE_H

#include <cstddef>
#include <string>

#include "schema.h"

namespace zel::tool {

// Printable ASCII as it is, a backslash doubled, every other byte as \n, \t,
// \r or \xNN; longer than `limit` characters, cut with "... (N bytes)".
std::string printable(const std::string& text, std::size_t limit = 48);

// A JSON value in a message: numbers, booleans and null as JSON, a string
// quoted and made printable, an array or object by its size.
std::string shortJson(const Json& value);

// A whole message line: control characters escaped (other bytes kept, so
// that paths in UTF-8 read as they are), cut to a few hundred characters.
std::string oneLine(const std::string& message);

}  // namespace zel::tool

#endif
