#include "check.h"

#include <ZelComFuncDbase.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "accessor/result_codes.h"
#include "format/bytes.h"
#include "format/cpu_spec_values.h"
#include "format/directory.h"
#include "result_text.h"
#include "tool_error.h"

namespace zel::tool {

std::string findingLine(const Finding& f) {
    return f.file + ": " + f.where + " at offset " + std::to_string(f.offset) + ": " + f.message;
}

void Findings::add(const std::string& where, std::int64_t offset, const std::string& message) {
    if (!m_seen.insert({where, offset}).second) return;
    m_list.push_back({m_file, where, offset, message});
}

bool FileImage::holds(Pos pos, std::uint64_t width) const {
    return !negative(pos) && std::uint64_t{pos} + width <= m_bytes.size();
}

std::uint32_t FileImage::u32(Pos pos) const {
    return loadOrdered(m_bytes.data() + pos, 4, m_order);
}

std::uint16_t FileImage::u16(Pos pos) const {
    return static_cast<std::uint16_t>(loadOrdered(m_bytes.data() + pos, 2, m_order));
}

bool directoryBaseOf(const FileImage& file, Findings& findings, Pos& base) {
    if (!checkSpan(file, findings, "header", kDirectoryBaseAt, kWordBytes, "the directory base"))
        return false;
    base = file.u32(kDirectoryBaseAt);
    if (FileImage::negative(base)) {
        findings.add("header", kDirectoryBaseAt,
                     "the directory base " + std::to_string(asSigned32(base)) + " is negative");
        return false;
    }
    return true;
}

bool checkSpan(const FileImage& file, Findings& findings, const std::string& where, Pos pos,
               std::uint64_t width, const std::string& what) {
    if (isNegative(pos)) {
        findings.add(where, asSigned32(pos),
                     what + " starts at a negative offset: the library answers " +
                         resultText(fileFailureResult(Cause::badSeek)));
        return false;
    }
    if (!file.holds(pos, width)) {
        findings.add(where, pos,
                     what + " ends beyond the end of the file (" + std::to_string(file.size()) +
                         " bytes): the library answers " +
                         resultText(fileFailureResult(Cause::endOfFile)));
        return false;
    }
    return true;
}

namespace {

writer::Bytes readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw ToolError(path + ": cannot read the file");
    return writer::Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

std::vector<Finding> checkDirectory(const std::string& dir) {
    const DatabaseDir listing(dir);
    struct Target {
        std::string entry;
        ModelOsPair pair;
        bool osdb;
    };
    std::vector<Target> targets;
    for (const ModelOsPair& p : namedPairs(true)) {
        const std::string osdb = listing.find(p.osdbName);
        if (!osdb.empty()) targets.push_back({osdb, p, true});
        const std::string jqwdb = listing.find(p.jqwdbName);
        if (!jqwdb.empty()) targets.push_back({jqwdb, p, false});
    }
    std::sort(targets.begin(), targets.end(),
              [](const Target& a, const Target& b) { return a.entry < b.entry; });
    std::vector<Finding> all;
    if (targets.empty()) {
        all.push_back({dir, "directory", 0, "no database file found"});
        return all;
    }
    CZelComFuncDbase db(dir.c_str());
    for (const Target& t : targets) {
        Findings findings(t.entry);
        const std::string path = listing.pathOf(t.entry);
        std::error_code ec;
        if (!std::filesystem::is_regular_file(path, ec)) {
            findings.add("file", 0, "not a regular file");
        } else if (t.osdb) {
            checkOsdbFile(FileImage(readAll(path), osdbByteOrder(t.pair.cpuCode)), t.pair,
                          findings);
        } else {
            // Tables 2 and 4 take their entry bound from the pair's OSDB file.
            ZelLong cpuValues[kCpuSpecValues] = {};
            const bool haveSpec = db.CpuSpec(t.pair.cpuCode, t.pair.osType, cpuValues) == 0;
            const std::int32_t value0 = static_cast<std::int32_t>(cpuValues[0]);
            checkJqwdbFile(FileImage(readAll(path), kJqwdbByteOrder), t.pair,
                           haveSpec ? &value0 : nullptr, findings);
        }
        all.insert(all.end(), findings.list().begin(), findings.list().end());
    }
    return all;
}

}  // namespace zel::tool
