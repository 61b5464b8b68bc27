// The report document: the diff and check documents and, for each file of
// the diff, its layout and the byte ranges that changed.
#include "report.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "check.h"
#include "database_dir.h"
#include "diff.h"
#include "tool_error.h"
#include "tool_file.h"

namespace zel::tool {
namespace {

// The byte ranges where two files differ, a byte that only the longer one
// has counting as changed. Read a block at a time.
Json changedRanges(const std::string& oldPath, const std::string& newPath) {
    const RegularFile a(oldPath), b(newPath);
    const std::uint64_t common = std::min(a.size(), b.size());
    const std::uint64_t longest = std::max(a.size(), b.size());
    Json ranges = Json::array();
    std::uint64_t start = 0;
    bool open = false;
    auto mark = [&](std::uint64_t at, bool differs) {
        if (differs && !open) start = at;
        if (!differs && open) ranges.push_back({{"offset", start}, {"length", at - start}});
        open = differs;
    };
    constexpr std::size_t kBlock = 65536;
    std::vector<unsigned char> ba(kBlock), bb(kBlock);
    for (std::uint64_t at = 0; at < common; at += kBlock) {
        const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(kBlock, common - at));
        if (!a.readAt(at, ba.data(), n) || !b.readAt(at, bb.data(), n))
            throw ToolError(oldPath + ", " + newPath + ": a read failed");
        for (std::size_t i = 0; i < n; ++i) mark(at + i, ba[i] != bb[i]);
    }
    mark(common, common < longest);
    mark(longest, false);
    return ranges;
}

std::string pathIn(const std::string& dir, const std::string& name) {
    return dir + (dir.empty() || dir.back() == '/' ? "" : "/") + name;
}

}  // namespace

Json reportDocument(const std::string& dirA, const std::string& dirB) {
    const DatabaseDir a(dirA), b(dirB);
    Json report{{"old", dirA}, {"new", dirB}};
    report["diff"] = diffDocument(dirA, dirB);
    report["check"] = checkJson(checkDirectory(dirB));
    Json layouts = Json::array();
    for (const Json& file : report["diff"]["files"]) {
        const bool inOld = file["oldName"].is_string(), inNew = file["newName"].is_string();
        const std::string oldPath = inOld ? pathIn(a.readPath(), file["oldName"]) : "";
        const std::string newPath = inNew ? pathIn(b.readPath(), file["newName"]) : "";
        Json entry = Json::object();
        try {
            entry["layout"] = Json{{"size", RegularFile(inNew ? newPath : oldPath).size()}};
            entry["changed"] = inOld && inNew ? changedRanges(oldPath, newPath) : Json::array();
        } catch (const ToolError& e) {
            entry = {{"error", e.what()}};
        }
        layouts.push_back(entry);
    }
    report["layouts"] = layouts;
    return report;
}

}  // namespace zel::tool
