// The dump description as aligned tables for a terminal.
#ifndef ZELCOMDB_DUMP_TEXT_H
#define ZELCOMDB_DUMP_TEXT_H

#include <ostream>

#include "schema.h"

namespace zel::tool {

void printDump(const Json& document, std::ostream& out);

}  // namespace zel::tool

#endif
