#include "models.h"

#include <memory>

#include "accessor/model_table.h"
#include "database_dir.h"
#include "format/cpu_constants.h"
#include "printable.h"
#include "text_table.h"

namespace zel::tool {

Json modelsJson(const std::string& dir) {
    std::unique_ptr<DatabaseDir> listing;
    if (!dir.empty()) listing = std::make_unique<DatabaseDir>(dir);
    Json models = Json::array();
    for (short model = 0; model < kModelCount; ++model) {
        ModelOsPair p;
        pairOf(model, 1, p);
        models.push_back({{key::kModel, model},
                          {key::kCpuCode, p.cpuCode},
                          {key::kByteOrder, byteOrderText(p.cpuCode)},
                          {"mapClass", mapClassOf(p.cpuCode)}});
    }
    Json files = Json::array();
    for (const ModelOsPair& p : namedPairs(false)) {
        Json f = {{key::kModel, p.model},
                  {key::kOsNumber, p.osNumber},
                  {key::kOsType, p.osType},
                  {key::kOsdbFile, p.osdbName},
                  {key::kJqwdbFile, p.jqwdbName}};
        if (listing) {
            for (const bool osdb : {true, false}) {
                const FoundFile found = listing->lookUp(p, osdb);
                const std::string kind = osdb ? "osdb" : "jqwdb";
                f[kind + "Present"] = found.state == FileState::opens;
                const std::string problem = problemOf(found);
                if (!problem.empty()) f[kind + "Problem"] = problem;
            }
        }
        files.push_back(f);
    }
    Json doc = {{"models", models}, {"files", files}};
    if (listing) doc["directory"] = escapedText(dir);
    return doc;
}

void printModels(const Json& doc, std::ostream& out) {
    out << "Model table\n";
    TextTable models({"model", "CPU code", "map class", "byte order"});
    for (const Json& m : doc["models"])
        models.row(
            {std::to_string(m[key::kModel].get<int>()), std::to_string(m[key::kCpuCode].get<int>()),
             std::to_string(m["mapClass"].get<int>()), m[key::kByteOrder].get<std::string>()});
    models.print(out);

    const bool presence = doc.contains("directory");
    out << "\nDatabase files";
    if (presence) out << " in " << doc["directory"].get<std::string>();
    out << '\n';
    std::vector<std::string> headers = {"model", "OS number", "OS type", "OSDB file", "JQWDB file"};
    if (presence) {
        headers.push_back("OSDB present");
        headers.push_back("JQWDB present");
    }
    TextTable files(headers);
    for (const Json& f : doc["files"]) {
        std::vector<std::string> cells = {
            std::to_string(f[key::kModel].get<int>()), std::to_string(f[key::kOsNumber].get<int>()),
            std::to_string(f[key::kOsType].get<int>()), f[key::kOsdbFile].get<std::string>(),
            f[key::kJqwdbFile].get<std::string>()};
        if (presence)
            for (const std::string kind : {"osdb", "jqwdb"})
                cells.push_back(f.contains(kind + "Problem")
                                    ? f[kind + "Problem"].get<std::string>()
                                : f[kind + "Present"].get<bool>() ? "yes"
                                                                  : "no");
        files.row(cells);
    }
    files.print(out);
}

}  // namespace zel::tool
