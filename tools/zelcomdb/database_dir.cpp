#include "database_dir.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <utility>

#include "accessor/file_naming.h"
#include "accessor/model_table.h"
#include "platform/letter_case.h"
#include "tool_error.h"
#include "tool_file.h"

namespace zel::tool {

bool pairOf(short model, short osNumber, ModelOsPair& pair) {
    ModelOsPair p;
    p.model = model;
    p.osNumber = osNumber;
    if (!cpuCodeOfModel(model, p.cpuCode) || !osTypeOfNumber(osNumber, p.osType)) return false;
    p.osdbName = databaseFileName(kOsdbPrefix, p.cpuCode, p.osType);
    p.jqwdbName = databaseFileName(kJqwdbPrefix, p.cpuCode, p.osType);
    pair = p;
    return true;
}

std::vector<ModelOsPair> namedPairs(bool distinctFiles) {
    std::vector<ModelOsPair> pairs;
    std::set<std::pair<short, short>> seen;
    for (short model = 0; model < kModelCount; ++model) {
        for (short osNumber = 1; osNumber <= kOsNumberCount; ++osNumber) {
            ModelOsPair p;
            if (!pairOf(model, osNumber, p) || p.osdbName.empty()) continue;
            if (distinctFiles && !seen.insert({p.cpuCode, p.osType}).second) continue;
            pairs.push_back(p);
        }
    }
    return pairs;
}

DatabaseDir::DatabaseDir(const std::string& path)
    : m_path(path), m_readPath(databaseDirectoryPath(path)) {
    // A directory too long for any name is looked at as it was given.
    if (m_readPath.empty()) m_readPath = path;
    // The library's path is the one given with a separator appended, unless
    // a backslash in it led elsewhere.
    const bool same = m_readPath.size() <= path.size() + 1 && m_readPath.rfind(path, 0) == 0;
    m_shown = same ? path : path + " (the library reads " + m_readPath + ")";
    m_entries = listDirectory(m_readPath, m_shown);
    std::sort(m_entries.begin(), m_entries.end());
}

FoundFile DatabaseDir::lookUp(const ModelOsPair& pair, bool osdb) const {
    return findDatabaseFile(m_path, osdb ? kOsdbPrefix : kJqwdbPrefix, pair.cpuCode, pair.osType);
}

std::string problemOf(const FoundFile& found) {
    if (found.state == FileState::notRegular) return "not a regular file";
    if (found.state == FileState::refused) return "cannot open: " + systemErrorText(found.error);
    return std::string();
}

std::string DatabaseDir::pathOf(const std::string& entry) const {
    // The library's directory ends with its separator; a directory too long
    // for any name is the one given.
    const bool separated =
        !m_readPath.empty() && (m_readPath.back() == '/' || m_readPath.back() == '\\');
    return m_readPath + (separated ? "" : "/") + entry;
}

std::vector<std::string> DatabaseDir::variants(const std::string& name) const {
    std::vector<std::string> found;
    for (const std::string& entry : m_entries)
        if (equalIgnoringAsciiCase(entry, name)) found.push_back(entry);
    return found;
}

}  // namespace zel::tool
