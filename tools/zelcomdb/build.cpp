#include "build.h"

#include <algorithm>
#include <iostream>
#include <set>
#include <utility>

#include "build_jqwdb.h"
#include "build_osdb.h"
#include "cpu_values_command.h"
#include "database_dir.h"
#include "output_dir.h"
#include "printable.h"
#include "schema_check.h"
#include "tool_error.h"
#include "tool_file.h"

namespace zel::tool {
namespace {

// Derived members of a pair, when given, must be those of its model and OS
// number.
void checkDerived(const Json& d, const std::string& path, const ModelOsPair& p,
                  Refusals& refusals) {
    auto same = [&](const char* k, const Json& expected) {
        const Json* v = member(d, k);
        if (v && *v != expected)
            refusals.add(keyPointer(path, k) + ": " + shortJson(*v) + ", but model " +
                         std::to_string(p.model) + " OS number " + std::to_string(p.osNumber) +
                         " has " + expected.dump());
    };
    same(key::kCpuCode, p.cpuCode);
    same(key::kOsType, p.osType);
    same(key::kByteOrder, byteOrderText(p.cpuCode));
    same(key::kOsdbFile, p.osdbName);
    same(key::kJqwdbFile, p.jqwdbName);
}

// A part given as a result is a file that is not there, which is not
// written; only 102 says so.
bool isMissingFile(const Json& part, const std::string& path) {
    if (!isResult(part)) return false;
    allowKeys(part, path, {key::kResult});
    const short result = resultCode(part, path);
    if (result != kFileNotFound)
        refuseResult(path, result,
                     "a whole file answers one result only when it is not there (102); give "
                     "the results of its tables");
    return true;
}

// The files of one model/OS pair; what its parts refuse goes to `refusals`.
void buildPair(const Json& d, const std::string& path, std::set<std::pair<short, short>>& seen,
               std::vector<BuiltFile>& files, Refusals& refusals) {
    const auto model = requireMemberInt(d, path, key::kModel, 0, 47);
    const auto osNumber = requireMemberInt(d, path, key::kOsNumber, 1, 7);
    ModelOsPair pair;
    try {
        pair = requirePair(static_cast<int>(model), static_cast<int>(osNumber));
    } catch (const ToolError& e) {
        throw ToolError(path + ": " + e.what());
    }
    checkDerived(d, path, pair, refusals);
    if (!seen.insert({pair.cpuCode, pair.osType}).second)
        throw ToolError(path + ": a pair before it already describes " + pair.osdbName + " and " +
                        pair.jqwdbName);

    const Json* osdb = member(d, key::kOsdb);
    const Json* jqwdb = member(d, key::kJqwdb);
    const std::string opath = keyPointer(path, key::kOsdb);
    const std::string jpath = keyPointer(path, key::kJqwdb);
    CpuSpecAnswer spec;  // 102 while no OSDB file is built
    // The JQWDB tables 2 and 4 depend on the CPU specification values: where
    // those are refused, the JQWDB part is not read, lest it be refused for
    // what the OSDB part only seems to say.
    bool specKnown = true;
    if (osdb) {
        const std::size_t before = refusals.count();
        refusals.attempt([&] {
            if (isMissingFile(*osdb, opath)) return;
            spec = cpuSpecOf(*osdb, opath);
            files.push_back({pair.osdbName, buildOsdbFile(*osdb, opath, pair, refusals)});
        });
        specKnown = refusals.count() == before || spec.result != kFileNotFound;
    }
    if (jqwdb && specKnown) {
        refusals.attempt([&] {
            if (!isMissingFile(*jqwdb, jpath))
                files.push_back(
                    {pair.jqwdbName, buildJqwdbFile(*jqwdb, jpath, pair, spec, refusals)});
        });
    }
}

}  // namespace

std::vector<BuiltFile> buildFiles(const Json& description) {
    // The schema first: what it refuses is all there is to say about a
    // description of the wrong shape.
    Refusals refusals;
    checkAgainstSchema(descriptionSchema(), description, refusals);
    refusals.refuseAny();

    const std::string path = keyPointer("", key::kDatabases);
    const Json& databases = description.at(key::kDatabases);
    std::vector<BuiltFile> files;
    std::set<std::pair<short, short>> seen;
    for (std::size_t i = 0; i < databases.size(); ++i) {
        const std::string at = indexPointer(path, i);
        refusals.attempt([&] { buildPair(databases[i], at, seen, files, refusals); });
    }
    refusals.refuseAny();
    return files;
}

namespace {

void refuseDeepNesting(const std::string& text, const std::string& source) {
    int depth = 0;
    bool inString = false;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char c = text[at];
        if (inString) {
            if (c == '\\')
                ++at;  // the escaped character cannot end the string
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > kDeepestNesting)
                throw ToolError(source + ": nesting deeper than " +
                                std::to_string(kDeepestNesting) + " levels at byte " +
                                std::to_string(at) + "; a description uses at most " +
                                std::to_string(kDeepestNesting));
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
}

// The parser keeps the last of two equal keys in an object, so that a
// description could say two things and mean the second: refused, naming
// each key by its path.
struct DuplicateKeys {
    Refusals& refusals;
    struct Level {
        bool array = false;
        std::size_t index = 0;  // of the element being read
        std::string path;
        std::set<std::string> keys;
        std::string key;  // of the member being read
    };
    std::vector<Level> levels;

    std::string elementPath() const {
        if (levels.empty()) return "";
        const Level& l = levels.back();
        return l.array ? indexPointer(l.path, l.index) : keyPointer(l.path, l.key);
    }
    void elementRead() {
        if (!levels.empty() && levels.back().array) ++levels.back().index;
    }
    bool see(nlohmann::json::parse_event_t event, const Json& parsed) {
        using Event = nlohmann::json::parse_event_t;
        switch (event) {
            case Event::object_start:
            case Event::array_start:
                levels.push_back({event == Event::array_start, 0, elementPath(), {}, {}});
                break;
            case Event::key:
                levels.back().key = parsed.get<std::string>();
                if (!levels.back().keys.insert(levels.back().key).second)
                    refusals.add(elementPath() + ": the key appears twice in its object");
                break;
            case Event::object_end:
            case Event::array_end:
                levels.pop_back();
                elementRead();
                break;
            case Event::value:
                elementRead();
                break;
        }
        return true;
    }
};

// Where the parser stopped and why, in the tool's words: `at` counts the
// bytes read, the one it stopped at included.
std::string notJson(const std::string& text, std::size_t at, const std::string& source) {
    const std::size_t stop = std::min(at == 0 ? 0 : at - 1, text.size());
    const std::size_t lineStart = text.rfind('\n', stop == 0 ? 0 : stop - 1);
    const auto line =
        1 + std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(stop), '\n');
    const std::size_t column =
        lineStart == std::string::npos || stop == 0 ? stop + 1 : stop - lineStart;
    std::string what;
    if (stop >= text.size()) {
        what = "the text ends before the JSON value does";
    } else {
        // The byte itself goes into the message, escaped where it is written.
        const auto c = static_cast<unsigned char>(text[stop]);
        const std::string byte(1, text[stop]);
        what = c < 0x20    ? "control character " + byte + ", which a string must write escaped"
               : c >= 0x80 ? "byte " + byte + ", which is no part of valid UTF-8 here"
                           : "unexpected '" + byte + "'";
    }
    return source + ": not valid JSON at line " + std::to_string(line) + ", column " +
           std::to_string(column) + ": " + what;
}

Json parseDescription(const std::string& text, const std::string& source) {
    // nlohmann's parser builds nested values by recursion: a deep enough
    // array exhausts the stack before any check of the schema could run.
    refuseDeepNesting(text, source);
    Refusals refusals;
    DuplicateKeys duplicates{refusals, {}};
    Json parsed;
    try {
        parsed = Json::parse(text, [&](int, nlohmann::json::parse_event_t event, Json& value) {
            return duplicates.see(event, value);
        });
    } catch (const nlohmann::json::parse_error& e) {
        throw ToolError(notJson(text, e.byte, source));
    } catch (const nlohmann::json::exception&) {
        // The parser's other refusal: a number beyond the range of a double.
        throw ToolError(source + ": not valid JSON: a number too large to read");
    }
    refusals.refuseAny();
    return parsed;
}

[[noreturn]] void refuseLarge(const std::string& source) {
    throw ToolError(source + ": larger than " + std::to_string(kLargestDescription >> 20) +
                    " MiB, the most a description may hold");
}

}  // namespace

Json readDescription(const std::string& path) {
    if (path == kStandardInput) {
        // Standard input may never end: read no further than the bound.
        std::string text;
        char block[65536];
        while (std::cin.read(block, sizeof block) || std::cin.gcount() > 0) {
            text.append(block, static_cast<std::size_t>(std::cin.gcount()));
            if (text.size() > kLargestDescription) refuseLarge("standard input");
        }
        if (std::cin.bad()) throw ToolError("standard input: cannot read the description");
        return parseDescription(text, "standard input");
    }
    std::string text;
    try {
        const RegularFile file(path);
        if (file.size() > kLargestDescription) refuseLarge(path);
        text = file.readAll(kLargestDescription);
    } catch (const ToolError& e) {
        throw ToolError(std::string(e.what()) + " (the description)");
    }
    if (text.size() > kLargestDescription) refuseLarge(path);  // grew while read
    return parseDescription(text, path);
}

std::vector<std::string> buildDatabase(const std::string& descriptionPath,
                                       const std::string& outDir, bool replace) {
    const std::vector<BuiltFile> files = buildFiles(readDescription(descriptionPath));
    writeDirectory(outDir, files, replace, descriptionPath);
    std::vector<std::string> names;
    for (const BuiltFile& f : files) names.push_back(f.name);
    return names;
}

}  // namespace zel::tool
