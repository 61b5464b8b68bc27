#include "build.h"

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <system_error>
#include <utility>

#include "build_jqwdb.h"
#include "build_osdb.h"
#include "cpu_values_command.h"
#include "database_dir.h"
#include "tool_error.h"

namespace zel::tool {
namespace {

// Derived members of a pair, when given, must be those of its model and OS
// number.
void checkDerived(const Json& d, const std::string& path, const ModelOsPair& p) {
    auto same = [&](const char* k, const Json& expected) {
        const Json* v = member(d, k);
        if (v && *v != expected)
            throw ToolError(childPath(path, k) + ": " + v->dump() + ", but model " +
                            std::to_string(p.model) + " OS number " + std::to_string(p.osNumber) +
                            " has " + expected.dump());
    };
    same(key::kCpuCode, p.cpuCode);
    same(key::kOsType, p.osType);
    same(key::kByteOrder, byteOrderText(p.cpuCode));
    same(key::kOsdbFile, p.osdbName);
    same(key::kJqwdbFile, p.jqwdbName);
}

}  // namespace

std::vector<BuiltFile> buildFiles(const Json& description) {
    requireObject(description, "description");
    allowKeys(description, "", {key::kFormat, key::kVersion, key::kDatabases});
    const Json* format = member(description, key::kFormat);
    if (!format || *format != kFormatName)
        throw ToolError(std::string(key::kFormat) + ": expected \"" + kFormatName + "\"");
    requireMemberInt(description, "", key::kVersion, kFormatVersion, kFormatVersion);
    const Json* databases = member(description, key::kDatabases);
    if (!databases) throw ToolError(std::string(key::kDatabases) + ": missing");
    requireArray(*databases, key::kDatabases);

    std::vector<BuiltFile> files;
    std::set<std::pair<short, short>> seen;
    for (std::size_t i = 0; i < databases->size(); ++i) {
        const std::string path = indexPath(key::kDatabases, i);
        const Json& d = requireObject((*databases)[i], path);
        allowKeys(d, path,
                  {key::kModel, key::kOsNumber, key::kCpuCode, key::kOsType, key::kByteOrder,
                   key::kOsdbFile, key::kJqwdbFile, key::kOsdb, key::kJqwdb});
        const auto model = requireMemberInt(d, path, key::kModel, 0, 47);
        const auto osNumber = requireMemberInt(d, path, key::kOsNumber, 1, 7);
        ModelOsPair pair;
        try {
            pair = requirePair(static_cast<int>(model), static_cast<int>(osNumber));
        } catch (const ToolError& e) {
            throw ToolError(path + ": " + e.what());
        }
        checkDerived(d, path, pair);
        if (!seen.insert({pair.cpuCode, pair.osType}).second)
            throw ToolError(path + ": a pair before it already describes " + pair.osdbName +
                            " and " + pair.jqwdbName);

        const Json* osdb = member(d, key::kOsdb);
        const Json* jqwdb = member(d, key::kJqwdb);
        const std::string opath = childPath(path, key::kOsdb);
        CpuSpecValues values = {};
        // A part given as a result code only (a file that was missing) is
        // not written.
        if (osdb && !isResult(*osdb)) {
            cpuSpecOf(*osdb, opath, values);
            files.push_back({pair.osdbName, buildOsdbFile(*osdb, opath, pair)});
        }
        if (jqwdb && !isResult(*jqwdb))
            files.push_back({pair.jqwdbName,
                             buildJqwdbFile(*jqwdb, childPath(path, key::kJqwdb), pair, values)});
    }
    return files;
}

Json readDescription(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw ToolError(path + ": cannot open the description");
    std::stringstream text;
    text << in.rdbuf();
    try {
        return Json::parse(text.str());
    } catch (const nlohmann::json::exception& e) {
        throw ToolError(path + ": not valid JSON: " + e.what());
    }
}

std::vector<std::string> buildDatabase(const std::string& descriptionPath,
                                       const std::string& outDir) {
    const std::vector<BuiltFile> files = buildFiles(readDescription(descriptionPath));
    std::error_code ec;
    std::filesystem::create_directories(outDir, ec);
    if (ec) throw ToolError(outDir + ": cannot create the directory: " + ec.message());
    std::vector<std::string> names;
    for (const BuiltFile& f : files) {
        const std::string target = (std::filesystem::path(outDir) / f.name).string();
        try {
            writer::writeFile(target, f.bytes);
        } catch (const std::exception& e) {
            throw ToolError(e.what());
        }
        names.push_back(f.name);
    }
    return names;
}

}  // namespace zel::tool
