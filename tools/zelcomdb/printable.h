// Text from a file name, a description or a command line on its way out of
// the tool. Every name and text is written with one convention, in text and
// in JSON alike: a backslash as \\, a control character or a byte that is no
// part of valid UTF-8 as \xHH (each byte), everything else as it is. So
// nothing is dropped, nothing steers a terminal, every output is valid UTF-8
// and the bytes can be told back from it. Messages are escaped once, where
// they leave the tool; the pieces put into them are only cut.
#ifndef ZELCOMDB_PRINTABLE_H
#define ZELCOMDB_PRINTABLE_H

#include <cstddef>
#include <string>

#include "schema.h"

namespace zel::tool {

// The text escaped by the convention above.
std::string escapedText(const std::string& text);

// The text cut after `limit` bytes (not inside a UTF-8 sequence) with
// "... (N bytes)", for a piece of a message that is escaped as a whole.
std::string shortened(const std::string& text, std::size_t limit = 48);

// A piece of output on its own: shortened, then escaped.
std::string printable(const std::string& text, std::size_t limit = 48);

// A JSON value in a message: numbers, booleans and null as JSON, a string
// quoted and shortened, an array or object by its size.
std::string shortJson(const Json& value);

// A whole message line: shortened to a few hundred bytes and escaped.
std::string oneLine(const std::string& message);

}  // namespace zel::tool

#endif
