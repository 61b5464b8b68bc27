#include "schema_validation.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <sstream>

#include "tests/support/temp_dir.h"
#include "tool_run.h"

namespace zel::testing {

const std::string& schemaValidatorMissing() {
    static const std::string reason = []() -> std::string {
#if defined(ZELCOMDB_PYTHON)
        const std::string probe = shellQuoted(ZELCOMDB_PYTHON) +
                                  " -c 'import jsonschema; jsonschema.Draft202012Validator'"
                                  " >/dev/null 2>&1";
        if (std::system(probe.c_str()) == 0) return "";
        return std::string(ZELCOMDB_PYTHON) +
               " cannot use jsonschema.Draft202012Validator (python3-jsonschema)";
#else
        return "no python3 with python3-jsonschema where the tests run";
#endif
    }();
    return reason;
}

std::vector<std::string> schemaVerdicts(const std::vector<std::string>& files) {
    std::vector<std::string> verdicts;
#if defined(ZELCOMDB_PYTHON)
    TempDir dir;
    std::string command = shellQuoted(ZELCOMDB_PYTHON) + " " +
                          shellQuoted(ZELCOMDB_SCHEMA_VALIDATOR) + " " +
                          shellQuoted(ZELCOMDB_SCHEMA);
    for (const std::string& f : files) command += " " + shellQuoted(f);
    command += " >" + shellQuoted(dir.file("out")) + " 2>&1";
    const int status = std::system(command.c_str());
    std::istringstream out(readText(dir.file("out")));
    for (std::string line; std::getline(out, line);) verdicts.push_back(line);
    EXPECT_EQ(status, 0) << readText(dir.file("out"));
#endif
    verdicts.resize(files.size(), "no verdict");
    return verdicts;
}

void expectSchemaAccepts(const std::string& descriptionFile) {
    if (!schemaValidatorMissing().empty()) return;
    static std::set<std::string> accepted;
    const std::string text = readText(descriptionFile);
    if (text.empty() || accepted.count(text)) return;  // gone since, or seen
    EXPECT_EQ(schemaVerdicts({descriptionFile})[0], "valid") << descriptionFile;
    accepted.insert(text);
}

void expectSchemaAccepts(const tool::Json& description) {
    if (!schemaValidatorMissing().empty()) return;
    TempDir dir;
    const std::string text = description.dump();
    dir.write("d.json", writer::Bytes(text.begin(), text.end()));
    expectSchemaAccepts(dir.file("d.json"));
}

}  // namespace zel::testing
