#include "cpu_values_command.h"

#include <ZelComFuncDbase.h>

#include "osdb_geometry.h"
#include "result_text.h"
#include "text_table.h"
#include "tool_error.h"

namespace zel::tool {

ModelOsPair requirePair(int model, int osNumber) {
    ModelOsPair p;
    if (model < 0 || model > 47) {
        throw ToolError("model index " + std::to_string(model) + " is outside 0..47");
    }
    if (osNumber < 1 || osNumber > 7) {
        throw ToolError("OS number " + std::to_string(osNumber) + " is outside 1..7");
    }
    pairOf(static_cast<short>(model), static_cast<short>(osNumber), p);
    if (p.osdbName.empty()) {
        throw ToolError("model " + std::to_string(model) + " (CPU code " +
                        std::to_string(p.cpuCode) + ") has no database files for OS number " +
                        std::to_string(osNumber));
    }
    return p;
}

const char* cpuSpecValueName(int value) {
    static constexpr const char* kNames[kCpuSpecValues] = {
        "entry bound (table 0 byte 0)",
        "entry bound of table 6 sections 1 and 7 (table 0 byte 3)",
        "table 2 section 0 word",
        "table 0 byte 2",
        "table 0 byte 5",
        "table 2 section 1 word",
    };
    return kNames[value];
}

Json specJson(const std::string& dir, const ModelOsPair& pair) {
    DatabaseDir listing(dir);  // a directory that cannot be read is an error of its own
    CZelComFuncDbase db(dir.c_str());
    ZelLong values[kCpuSpecValues] = {};
    const short result = db.CpuSpec(pair.cpuCode, pair.osType, values);
    Json doc = {{key::kModel, pair.model},
                {key::kOsNumber, pair.osNumber},
                {key::kCpuCode, pair.cpuCode},
                {key::kOsType, pair.osType},
                {key::kOsdbFile, pair.osdbName}};
    if (result != 0) {
        doc[key::kResult] = result;
        return doc;
    }
    Json list = Json::array();
    for (ZelLong v : values) list.push_back(static_cast<std::int32_t>(v));
    doc[key::kValues] = list;
    return doc;
}

void printSpec(const Json& doc, std::ostream& out) {
    out << "Model " << doc[key::kModel].get<int>() << " (CPU code " << doc[key::kCpuCode].get<int>()
        << "), OS number " << doc[key::kOsNumber].get<int>() << " (OS type "
        << doc[key::kOsType].get<int>() << "): " << doc[key::kOsdbFile].get<std::string>() << '\n';
    if (isResult(doc)) {
        out << "  no values: result " << resultText(doc[key::kResult].get<int>()) << '\n';
        return;
    }
    TextTable table({"value", "meaning", "number"});
    for (int i = 0; i < kCpuSpecValues; ++i)
        table.row({std::to_string(i), cpuSpecValueName(i),
                   std::to_string(doc[key::kValues][static_cast<std::size_t>(i)].get<int>())});
    table.print(out);
}

}  // namespace zel::tool
