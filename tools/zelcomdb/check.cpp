#include "check.h"

#include <ZelComFuncDbase.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <tuple>

#include "accessor/file_naming.h"
#include "file_layout.h"
#include "format/bytes.h"
#include "format/cpu_spec_values.h"
#include "format/directory.h"
#include "platform/letter_case.h"
#include "platform/name_buffer.h"
#include "platform/utf.h"
#include "printable.h"
#include "result_text.h"
#include "tool_error.h"

namespace zel::tool {

namespace {
constexpr const char* kFileShort = "file-short";
}

std::string findingLine(const Finding& f) {
    if (f.kind == kFileShort) return escapedText(f.file) + ": " + escapedText(f.message);
    return escapedText(f.file) + ": " + f.where + " at offset " + std::to_string(f.offset) + ": " +
           escapedText(f.message);
}

void Findings::add(const char* kind, const std::string& where, std::int64_t offset,
                   const std::string& message, int first, int last) {
    if (!m_seen.insert({where, offset}).second) return;
    m_list.push_back({m_file, where, offset, message, kind, first, last});
}

bool FileImage::holds(Pos pos, std::uint64_t width) const {
    return !negative(pos) && std::uint64_t{pos} + width <= size();
}

void FileImage::bytesAt(Pos pos, std::size_t n, unsigned char* out) const {
    const std::uint64_t at = pos;
    const std::uint64_t blockAt = at - at % kBlock;
    bool read = true;
    if (at + n > blockAt + kBlock) {
        read = m_file.readAt(at, out, n);  // across two blocks: read it alone
    } else {
        if (m_block.empty() || m_blockAt != blockAt) {
            m_block.resize(
                static_cast<std::size_t>(std::min<std::uint64_t>(kBlock, size() - blockAt)));
            m_blockAt = blockAt;
            if (!m_file.readAt(blockAt, m_block.data(), m_block.size())) m_block.clear();
        }
        read = !m_block.empty();
        if (read) std::copy_n(m_block.begin() + static_cast<std::ptrdiff_t>(at - blockAt), n, out);
    }
    if (!read) {
        m_readFailed = true;
        std::fill_n(out, n, 0);
    }
}

std::uint32_t FileImage::u32(Pos pos) const {
    unsigned char b[4];
    bytesAt(pos, 4, b);
    return loadOrdered(b, 4, m_order);
}

std::uint16_t FileImage::u16(Pos pos) const {
    unsigned char b[2];
    bytesAt(pos, 2, b);
    return static_cast<std::uint16_t>(loadOrdered(b, 2, m_order));
}

std::uint8_t FileImage::u8(Pos pos) const {
    unsigned char b[1];
    bytesAt(pos, 1, b);
    return b[0];
}

bool directoryBaseOf(const FileImage& file, Findings& findings, Pos& base) {
    if (!checkSpan(file, findings, "base-outside", "header", kDirectoryBaseAt, kWordBytes,
                   "the directory base"))
        return false;
    base = file.u32(kDirectoryBaseAt);
    if (FileImage::negative(base)) {
        findings.add("base-negative", "header", kDirectoryBaseAt,
                     "the directory base " + std::to_string(asSigned32(base)) + " is negative");
        return false;
    }
    return true;
}

bool checkSpan(const FileImage& file, Findings& findings, const char* kind,
               const std::string& where, Pos pos, std::uint64_t width, const std::string& what) {
    if (isNegative(pos)) {
        findings.add(kind, where, asSigned32(pos),
                     what + " starts at a negative offset: the library answers " +
                         resultText(ZEL_FILE_BAD_SEEK));
        return false;
    }
    if (!file.holds(pos, width)) {
        findings.add(kind, where, pos,
                     what + " ends beyond the end of the file (" + std::to_string(file.size()) +
                         " bytes): the library answers " + resultText(ZEL_FILE_END_OF_FILE));
        return false;
    }
    return true;
}

namespace {

constexpr const char* kDirectoryWhere = "directory";

// Whether a name is one of a database file's kind: an OSDB or JQWDB prefix
// and the extension, in any letter case.
bool looksLikeDatabaseName(const std::string& name) {
    auto startsWith = [&](const std::string& prefix) {
        return name.size() >= prefix.size() &&
               equalIgnoringAsciiCase(name.substr(0, prefix.size()), prefix);
    };
    const std::string extension = kNameExtension;
    return (startsWith(kOsdbPrefix) || startsWith(kJqwdbPrefix)) &&
           name.size() > extension.size() &&
           equalIgnoringAsciiCase(name.substr(name.size() - extension.size()), extension);
}

// Findings about the names in the directory rather than the files' contents.
void checkNames(const DatabaseDir& listing, std::vector<Finding>& out) {
    const std::string& dir = listing.path();
    // The longest composed name must fit the name buffer, or every call
    // fails before it opens a file.
    unsigned short name[kNameUnits];
    const std::u16string directory = accessorDirectory(utf8ToUtf16(dir.c_str()));
    std::size_t names = 0, tooLong = 0;
    for (const ModelOsPair& p : namedPairs(true)) {
        for (const char* prefix : {kOsdbPrefix, kJqwdbPrefix}) {
            ++names;
            if (composeName(directory, prefix, p.cpuCode, p.osType, name) != 0) ++tooLong;
        }
    }
    if (tooLong > 0)
        out.push_back({dir, kDirectoryWhere, 0,
                       "the directory name (" + std::to_string(directory.size()) +
                           " units with the separator the library appends) is too long: " +
                           std::to_string(tooLong) + " of the " + std::to_string(names) +
                           " names the library composes with it exceed its " +
                           std::to_string(kNameUnits) +
                           "-unit name buffer, and calls for them answer -1",
                       "name-too-long"});
    std::set<std::string> reached;
    for (const ModelOsPair& p : namedPairs(false)) {
        for (const bool osdb : {true, false}) {
            const std::string& wanted = osdb ? p.osdbName : p.jqwdbName;
            if (!reached.insert(wanted).second) continue;
            const std::vector<std::string> variants = listing.variants(wanted);
            if (variants.size() < 2) continue;
            std::string names;
            for (const std::string& v : variants) names += (names.empty() ? "" : ", ") + v;
            const std::string read = listing.lookUp(p, osdb).entry;
            out.push_back({read, kDirectoryWhere, 0,
                           std::to_string(variants.size()) + " names differ only in letter case (" +
                               names + "): the library reads " + read,
                           "name-case-duplicate"});
        }
    }
    for (const ModelOsPair& p : namedPairs(true)) {
        const FoundFile jqwdb = listing.lookUp(p, false);
        if (exists(jqwdb) && !exists(listing.lookUp(p, true)))
            out.push_back({jqwdb.entry, kDirectoryWhere, 0,
                           p.osdbName +
                               " is missing: CPdbTb2 and CPdbTb4 take their entry bound from its "
                               "CPU specification values and answer " +
                               resultText(ZEL_FILE_NOT_FOUND),
                           "osdb-missing"});
    }
    for (const std::string& entry : listing.entries()) {
        bool isReached = false;
        for (const std::string& r : reached)
            isReached = isReached || equalIgnoringAsciiCase(entry, r);
        if (!isReached && looksLikeDatabaseName(entry))
            out.push_back({entry, kDirectoryWhere, 0,
                           "no model and OS number reach this name: the library never reads it",
                           "name-unreached"});
    }
}

// The structure of one file that the library opens. Opened again without
// blocking and refused unless regular: a FIFO or device put under the name
// since it was looked up is a finding, not a hang.
void checkFile(CZelComFuncDbase& db, const std::string& path, const ModelOsPair& pair, bool osdb,
               Findings& findings) {
    const RegularFile file(path);
    std::int32_t value0 = 0;
    bool haveSpec = false;
    if (!osdb) {
        // Tables 2 and 4 take their entry bound from the pair's OSDB file.
        ZelLong cpuValues[kCpuSpecValues] = {};
        haveSpec = db.CpuSpec(pair.cpuCode, pair.osType, cpuValues) == 0;
        value0 = static_cast<std::int32_t>(cpuValues[0]);
    }
    const FileImage image(file, osdb ? osdbByteOrder(pair.cpuCode) : kJqwdbByteOrder);
    LayoutBuilder layout(file.size());
    if (osdb)
        checkOsdbFile(image, pair, findings, layout);
    else
        checkJqwdbFile(image, pair, haveSpec ? &value0 : nullptr, findings, layout);
    // The first line of a file shorter than what its tables reach.
    FileLayout reach;
    layout.addTo(reach);
    if (reach.reachEnd > file.size())
        findings.add(kFileShort, "file", static_cast<std::int64_t>(file.size()),
                     "the file ends at " + std::to_string(file.size()) +
                         " bytes; its tables reach " + std::to_string(reach.reachEnd));
    if (image.readFailed())
        findings.add(
            "read-failed", "file", 0,
            "a read inside the file failed: the library answers " + resultText(ZEL_FILE_HARD_IO));
}

}  // namespace

CheckReport checkDirectory(const std::string& dir) {
    const DatabaseDir listing(dir);
    struct Target {
        FoundFile found;
        ModelOsPair pair;
        bool osdb;
    };
    std::vector<Target> targets;
    for (const ModelOsPair& p : namedPairs(true)) {
        for (const bool osdb : {true, false}) {
            FoundFile found = listing.lookUp(p, osdb);
            if (exists(found)) targets.push_back({std::move(found), p, osdb});
        }
    }
    std::sort(targets.begin(), targets.end(),
              [](const Target& a, const Target& b) { return a.found.entry < b.found.entry; });
    CheckReport report;
    report.directory = dir;
    checkNames(listing, report.findings);
    if (targets.empty())
        report.findings.push_back(
            {dir, kDirectoryWhere, 0,
             "no database file found" +
                 (listing.shown() == dir ? std::string() : " in " + listing.readPath()),
             "no-database-file"});
    CZelComFuncDbase db(dir.c_str());
    for (const Target& t : targets) {
        report.files.push_back(t.found.entry);
        Findings findings(t.found.entry);
        const std::string problem = problemOf(t.found);
        if (!problem.empty()) {
            findings.add("unreadable", "file", 0,
                         problem + ": the library answers " + resultText(ZEL_FILE_NOT_FOUND));
        } else {
            try {
                checkFile(db, t.found.path, t.pair, t.osdb, findings);
            } catch (const ToolError& e) {
                const std::string reason = e.what();
                findings.add("unreadable", "file", 0,
                             reason.substr(std::min(reason.size(), t.found.path.size() + 2)));
            }
        }
        report.findings.insert(report.findings.end(), findings.list().begin(),
                               findings.list().end());
    }
    std::stable_sort(
        report.findings.begin(), report.findings.end(), [](const Finding& a, const Finding& b) {
            const bool aAfter = a.kind != kFileShort, bAfter = b.kind != kFileShort;
            return std::tie(a.file, aAfter, a.offset) < std::tie(b.file, bAfter, b.offset);
        });
    return report;
}

namespace {

std::string counted(std::size_t n, const char* what) {
    return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
}

}  // namespace

void printCheck(const CheckReport& report, std::ostream& out) {
    std::map<std::string, std::size_t> perFile;
    for (const Finding& f : report.findings) {
        out << findingLine(f) << '\n';
        ++perFile[f.file];
    }
    for (const auto& [file, n] : perFile)
        out << escapedText(file) << ": " << counted(n, "finding") << '\n';
    out << counted(report.findings.size(), "finding") << " in "
        << counted(report.files.size(), "file") << " checked\n";
    if (report.findings.empty()) out << "ok\n";
}

Json checkJson(const CheckReport& report) {
    std::map<std::string, std::size_t> perFile;
    Json findings = Json::array();
    for (const Finding& f : report.findings) {
        ++perFile[f.file];
        Json finding = {{"file", escapedText(f.file)},
                        {"table", f.where},
                        {"offset", f.offset},
                        {"reason", escapedText(f.message)},
                        {"kind", f.kind}};
        if (f.first >= 0) {
            finding["first"] = f.first;
            finding["last"] = f.last;
        }
        findings.push_back(std::move(finding));
    }
    Json files = Json::array();
    for (const std::string& file : report.files)
        files.push_back({{"file", escapedText(file)}, {"findings", perFile[file]}});
    return Json{{"directory", escapedText(report.directory)},
                {"files", files},
                {"findings", findings},
                {"count", report.findings.size()},
                {"ok", report.findings.empty()}};
}

}  // namespace zel::tool
