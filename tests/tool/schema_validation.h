// Descriptions checked against the description schema by a validator that
// is not the tool's: python3 with Debian's python3-jsonschema.
#ifndef ZEL_TESTS_TOOL_SCHEMA_VALIDATION_H
#define ZEL_TESTS_TOOL_SCHEMA_VALIDATION_H

#include <string>
#include <vector>

#include "schema.h"

namespace zel::testing {

// Why descriptions cannot be validated here (no python3 with the module,
// as on Windows under Wine), or "" where they can.
const std::string& schemaValidatorMissing();

// The validator's verdict on each file: "valid", "invalid POINTER: WHY" or
// "unreadable: WHY"; one run of python for them all.
std::vector<std::string> schemaVerdicts(const std::vector<std::string>& files);

// A test failure unless the validator finds the description valid; nothing
// where it cannot run. Each text is validated once per test program.
void expectSchemaAccepts(const std::string& descriptionFile);
void expectSchemaAccepts(const tool::Json& description);

}  // namespace zel::testing

#endif
