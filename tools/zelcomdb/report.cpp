// The report document: the diff and check documents and, for each file of
// the diff, its layout and the byte ranges that changed.
#include "report.h"

#include <vector>

#include "check.h"
#include "database_dir.h"
#include "diff.h"
#include "file_layout.h"

namespace zel::tool {

Json reportDocument(const std::string& dirA, const std::string& dirB) {
    const DatabaseDir a(dirA), b(dirB);
    Json report{{"old", dirA}, {"new", dirB}};
    report["diff"] = diffDocument(dirA, dirB);
    report["check"] = checkJson(checkDirectory(dirB));
    Json layouts = Json::array();
    for (const Json& file : report["diff"]["files"]) {
        const bool inOld = file["oldName"].is_string(), inNew = file["newName"].is_string();
        const std::string oldPath = inOld ? a.pathOf(file["oldName"]) : "";
        const std::string newPath = inNew ? b.pathOf(file["newName"]) : "";
        // A file that cannot be read shows as an empty layout of its size.
        Json entry{{"layout", layoutJson(fileLayout(inNew ? newPath : oldPath))}};
        entry["changed"] =
            inOld && inNew ? rangesJson(changedRanges(oldPath, newPath)) : Json::array();
        layouts.push_back(entry);
    }
    report["layouts"] = layouts;
    return report;
}

}  // namespace zel::tool
