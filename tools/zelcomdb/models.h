// `zelcomdb models [DIR]`: the model table (model index -> CPU code, byte
// order, map class) and the database file names of every model and OS
// number; with DIR, which of the files are present.
#ifndef ZELCOMDB_MODELS_H
#define ZELCOMDB_MODELS_H

#include <ostream>
#include <string>

#include "schema.h"

namespace zel::tool {

// {"models": [...], "files": [...]}; dir may be empty (no presence).
Json modelsJson(const std::string& dir);
void printModels(const Json& doc, std::ostream& out);

}  // namespace zel::tool

#endif
