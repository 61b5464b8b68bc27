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
namespace {

char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool equalIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return lower(x) == lower(y); });
}

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
    if (std::binary_search(m_entries.begin(), m_entries.end(), name)) return name;
    for (const std::string& entry : m_entries)
        if (equalIgnoringCase(entry, name)) return entry;
    return std::string();
}

std::string DatabaseDir::pathOf(const std::string& entry) const {
    return (std::filesystem::path(m_path) / entry).string();
}

}  // namespace zel::tool
