// The diff as one JSON document (diff.h), for `diff --json` and the report.
#include "diff.h"
#include "printable.h"
#include "result_text.h"

namespace zel::tool {
namespace {

Json nameOrNull(const std::string& name) { return name.empty() ? Json() : Json(escapedText(name)); }

template <class T>
Json orNull(const std::optional<T>& v) {
    return v ? Json(*v) : Json();
}

// A value as dump --json gives it, each result code with its text.
Json withResultTexts(const Json& v) {
    if (isResult(v)) {
        Json r = v;
        r["text"] = resultWords(v[key::kResult].get<int>());
        return r;
    }
    if (!v.is_structured()) return v;
    Json out = v;
    for (auto& child : out) child = withResultTexts(child);
    return out;
}

Json fileJson(const FileDifference& f) {
    Json j = {{"status", statusWord(f.status)},
              {"family", f.osdb ? key::kOsdb : key::kJqwdb},
              {"oldName", nameOrNull(f.oldName)},
              {"newName", nameOrNull(f.newName)}};
    if (!f.readName.empty()) j["readName"] = escapedText(f.readName);
    if (f.caseDuplicate) j["caseDuplicate"] = true;
    Json readers = Json::array();
    for (const ModelOsPair& p : f.readers)
        readers.push_back({{key::kModel, p.model}, {"os", p.osNumber}});
    j["readers"] = readers;
    j["oldSize"] = orNull(f.oldSize);
    j["newSize"] = orNull(f.newSize);
    j["changedBytes"] = orNull(f.changedBytes);
    j["differences"] = f.differences;
    j["unreached"] = {{"bytes", f.unreachedBytes()}, {"ranges", rangesJson(f.unreached)}};
    return j;
}

Json differenceJson(const Difference& d) {
    return {{"file", escapedText(d.file)},      {key::kModel, orNull(d.model)},
            {"os", orNull(d.osNumber)},         {"table", d.table.empty() ? Json() : Json(d.table)},
            {key::kIndex, orNull(d.index)},     {"field", d.field.empty() ? Json() : Json(d.field)},
            {"old", withResultTexts(d.before)}, {"new", withResultTexts(d.after)}};
}

}  // namespace

Json diffDocument(const DirectoryDiff& diff) {
    const DiffCounts counts = countsOf(diff);
    Json summary = Json::object();
    for (const FileStatus s :
         {FileStatus::added, FileStatus::removed, FileStatus::renamed, FileStatus::changed})
        summary[statusWord(s)] = counts.of(s);
    summary["unchanged"] = diff.unchanged;
    summary["differences"] = diff.differences.size();
    summary["unreachedBytes"] = counts.unreachedBytes;
    Json files = Json::array();
    for (const FileDifference& f : diff.files) files.push_back(fileJson(f));
    Json differences = Json::array();
    for (const Difference& d : diff.differences) differences.push_back(differenceJson(d));
    return {{"old", escapedText(diff.oldDir)},
            {"new", escapedText(diff.newDir)},
            {"summary", summary},
            {"files", files},
            {"differences", differences}};
}

Json diffDocument(const std::string& oldDir, const std::string& newDir, const DiffFilter& filter) {
    return diffDocument(diffDirectories(oldDir, newDir, filter));
}

}  // namespace zel::tool
