#include "database_dir.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <system_error>
#include <utility>

#include "accessor/file_naming.h"
#include "accessor/model_table.h"
#include "tool_error.h"

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

DatabaseDir::DatabaseDir(const std::string& path) : m_path(path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (!fs::is_directory(path, ec)) throw ToolError(path + ": not a directory");
    fs::directory_iterator it(path, ec), end;
    for (; !ec && it != end; it.increment(ec)) m_entries.push_back(it->path().filename().string());
    if (ec) throw ToolError(path + ": cannot list the directory: " + ec.message());
    std::sort(m_entries.begin(), m_entries.end());
}

std::string DatabaseDir::find(const std::string& name) const {
    if (name.empty()) return std::string();
    // The library's letter-case rule, so that the tool looks at the file
    // that the library reads.
    const std::ptrdiff_t chosen = chooseCaseVariant(name, m_entries);
    return chosen < 0 ? std::string() : m_entries[static_cast<std::size_t>(chosen)];
}

std::vector<std::string> DatabaseDir::variants(const std::string& name) const {
    std::vector<std::string> found;
    for (const std::string& entry : m_entries)
        if (equalIgnoringAsciiCase(entry, name)) found.push_back(entry);
    return found;
}

std::string DatabaseDir::pathOf(const std::string& entry) const {
    return (std::filesystem::path(m_path) / entry).string();
}

}  // namespace zel::tool
