// The JSON Schema of the description (description.schema.json), built into
// the program byte for byte as it is installed: `zelcomdb schema` prints it,
// and `build` checks every description against it before anything else, so
// that the schema and build agree on what a description may hold. build
// reads the schema with the keywords it uses and no others: $ref (into
// $defs), if/then/else, type, const, enum, minimum, maximum, properties,
// required, additionalProperties (false), prefixItems, items, minItems and
// maxItems; title names what a value must be in messages.
#ifndef ZELCOMDB_SCHEMA_CHECK_H
#define ZELCOMDB_SCHEMA_CHECK_H

#include <string_view>

#include "description_errors.h"
#include "schema.h"

namespace zel::tool {

// The schema file's bytes.
std::string_view descriptionSchemaText();
// The schema, parsed once.
const Json& descriptionSchema();

// Records, in `refusals`, every place where `value` does not fit `schema`:
// "POINTER: what is wrong; what is expected". Throws std::logic_error for a
// schema keyword outside the ones above, which would otherwise be ignored.
void checkAgainstSchema(const Json& schema, const Json& value, Refusals& refusals);

}  // namespace zel::tool

#endif
