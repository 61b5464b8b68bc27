// Matching the database files of two directories by the library's lookup,
// and collecting what differs in each.
#include <algorithm>
#include <cctype>
#include <set>
#include <utility>

#include "diff.h"
#include "tool_error.h"
#include "tool_file.h"

namespace zel::tool {
namespace {

// One composed name as one directory holds it: the entry the library reads
// and every entry equal to the name but for letter case.
struct Side {
    FoundFile found;
    std::vector<std::string> variants;

    bool has(const std::string& entry) const {
        return std::find(variants.begin(), variants.end(), entry) != variants.end();
    }
};

Side sideOf(const DatabaseDir& dir, const ModelOsPair& pair, bool osdb) {
    return {dir.lookUp(pair, osdb), dir.variants(osdb ? pair.osdbName : pair.jqwdbName)};
}

// The size of a regular file; none for an entry that is not one or cannot
// be opened (the library's answers say what it makes of it).
std::optional<std::uint64_t> sizeOf(const std::string& path) {
    try {
        return RegularFile(path).size();
    } catch (const ToolError&) {
        return std::nullopt;
    }
}

// The bytes that differ between two regular files, those beyond the shorter
// one included.
std::uint64_t changedBytes(const std::string& pathA, const std::string& pathB) {
    std::uint64_t changed = 0;
    for (const ByteRange& r : changedRanges(pathA, pathB)) changed += r.length;
    return changed;
}

// Every model and OS number whose calls read the files of a CPU code and OS
// type.
std::vector<ModelOsPair> readersOf(const ModelOsPair& pair) {
    std::vector<ModelOsPair> readers;
    for (const ModelOsPair& p : namedPairs(false))
        if (p.cpuCode == pair.cpuCode && p.osType == pair.osType) readers.push_back(p);
    return readers;
}

// One pair per CPU code and OS type among those the filter keeps: each file
// is dumped once.
std::vector<ModelOsPair> filteredPairs(const DiffFilter& filter) {
    std::vector<ModelOsPair> pairs;
    std::set<std::pair<short, short>> seen;
    for (const ModelOsPair& p : namedPairs(false)) {
        if ((filter.model && p.model != *filter.model) ||
            (filter.osNumber && p.osNumber != *filter.osNumber))
            continue;
        if (seen.insert({p.cpuCode, p.osType}).second) pairs.push_back(p);
    }
    return pairs;
}

// The pieces of the diff that one pair's files give.
class PairFiles {
  public:
    PairFiles(const DatabaseDir& a, const DatabaseDir& b, const ModelOsPair& pair)
        : m_a(a), m_b(b), m_pair(pair) {
        for (const bool osdb : {true, false}) {
            m_sides[osdb][0] = sideOf(a, pair, osdb);
            m_sides[osdb][1] = sideOf(b, pair, osdb);
        }
    }

    // Whether the library can answer differently: a file in one directory
    // only, or bytes that differ. An entry it refuses counts as different.
    bool answersMayDiffer() {
        for (const bool osdb : {true, false}) {
            const FoundFile& a = m_sides[osdb][0].found;
            const FoundFile& b = m_sides[osdb][1].found;
            if (exists(a) != exists(b)) return true;
            if (!exists(a)) continue;
            if (a.state != FileState::opens || b.state != FileState::opens) return true;
            if (bytesChanged(osdb) > 0) return true;
        }
        return false;
    }

    // Adds the files of one family and their differences (taken from
    // `found`, the value differences of the pair) to the diff.
    void collect(bool osdb, std::vector<Difference>& found, DirectoryDiff& out);

  private:
    std::uint64_t bytesChanged(bool osdb) {
        auto& cached = m_changed[osdb];
        if (!cached)
            cached = changedBytes(m_sides[osdb][0].found.path, m_sides[osdb][1].found.path);
        return *cached;
    }
    void collectDuplicates(bool osdb, DirectoryDiff& out);

    const DatabaseDir& m_a;
    const DatabaseDir& m_b;
    ModelOsPair m_pair;
    Side m_sides[2][2];  // [osdb][directory]
    std::optional<std::uint64_t> m_changed[2];
};

Difference wholeFile(const std::string& name, bool inOld, bool inNew) {
    return {name,
            std::nullopt,
            std::nullopt,
            "",
            std::nullopt,
            "",
            inOld ? Json(kFilePresent) : Json(),
            inNew ? Json(kFilePresent) : Json()};
}

void PairFiles::collect(bool osdb, std::vector<Difference>& found, DirectoryDiff& out) {
    const FoundFile& a = m_sides[osdb][0].found;
    const FoundFile& b = m_sides[osdb][1].found;
    collectDuplicates(osdb, out);
    if (!exists(a) && !exists(b)) return;
    FileDifference f;
    f.osdb = osdb;
    f.readers = readersOf(m_pair);
    const std::string composed = osdb ? m_pair.osdbName : m_pair.jqwdbName;
    std::vector<Difference> mine;
    for (Difference& d : found)
        if (d.file == composed) mine.push_back(std::move(d));
    if (exists(a)) {
        f.oldName = a.entry;
        f.oldSize = sizeOf(a.path);
    }
    if (exists(b)) {
        f.newName = b.entry;
        f.newSize = sizeOf(b.path);
    }
    if (!exists(a) || !exists(b)) {
        // A file added or removed is one difference, not its whole dump.
        f.status = exists(a) ? FileStatus::removed : FileStatus::added;
        f.changedBytes = exists(a) ? f.oldSize : f.newSize;
        mine = {wholeFile(f.name(), exists(a), exists(b))};
    } else {
        if (a.state == FileState::opens && b.state == FileState::opens) {
            f.changedBytes = bytesChanged(osdb);
            if (*f.changedBytes > 0) f.unreached = unreachedChanges(a.path, b.path);
        }
        if (a.entry != b.entry) {
            f.status = FileStatus::renamed;
            f.readName = b.entry;
        } else if (mine.empty() && f.changedBytes.value_or(0) == 0) {
            ++out.unchanged;
            return;
        }
    }
    for (Difference& d : mine) d.file = f.name();
    f.differences = mine.size();
    out.files.push_back(std::move(f));
    std::move(mine.begin(), mine.end(), std::back_inserter(out.differences));
}

// Entries that differ from the composed name only in letter case and that
// no reader reads, where one directory has them and the other has not, or
// where their bytes changed.
void PairFiles::collectDuplicates(bool osdb, DirectoryDiff& out) {
    const Side& a = m_sides[osdb][0];
    const Side& b = m_sides[osdb][1];
    std::set<std::string> names(a.variants.begin(), a.variants.end());
    names.insert(b.variants.begin(), b.variants.end());
    for (const std::string& name : names) {
        if (name == a.found.entry || name == b.found.entry) continue;
        FileDifference f;
        f.osdb = osdb;
        f.caseDuplicate = true;
        if (a.has(name)) {
            f.oldName = name;
            f.oldSize = sizeOf(m_a.pathOf(name));
        }
        if (b.has(name)) {
            f.newName = name;
            f.newSize = sizeOf(m_b.pathOf(name));
        }
        f.readName = b.has(name) ? b.found.entry : a.found.entry;
        if (a.has(name) && b.has(name)) {
            if (!f.oldSize || !f.newSize) continue;  // nothing to compare: no reader reads it
            f.changedBytes = changedBytes(m_a.pathOf(name), m_b.pathOf(name));
            if (*f.changedBytes == 0) continue;
            f.status = FileStatus::changed;
        } else {
            f.status = a.has(name) ? FileStatus::removed : FileStatus::added;
            f.changedBytes = a.has(name) ? f.oldSize : f.newSize;
            out.differences.push_back(wholeFile(name, a.has(name), b.has(name)));
            f.differences = 1;
        }
        out.files.push_back(std::move(f));
    }
}

std::string foldedCase(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// Files by name, letter case aside, and each file's differences in the
// order of its files.
void sortByFile(DirectoryDiff& diff) {
    auto before = [](const std::string& x, const std::string& y) {
        const std::string fx = foldedCase(x), fy = foldedCase(y);
        return fx != fy ? fx < fy : x < y;
    };
    std::stable_sort(diff.files.begin(), diff.files.end(),
                     [&](const FileDifference& x, const FileDifference& y) {
                         return before(x.name(), y.name());
                     });
    std::stable_sort(
        diff.differences.begin(), diff.differences.end(),
        [&](const Difference& x, const Difference& y) { return before(x.file, y.file); });
}

}  // namespace

std::uint64_t FileDifference::unreachedBytes() const {
    std::uint64_t n = 0;
    for (const ByteRange& s : unreached) n += s.length;
    return n;
}

DiffCounts countsOf(const DirectoryDiff& diff) {
    DiffCounts counts;
    for (const FileDifference& f : diff.files) {
        ++counts.byStatus[static_cast<int>(f.status)];
        ++counts.files;
        counts.unreachedBytes += f.unreachedBytes();
    }
    return counts;
}

const char* statusWord(FileStatus status) {
    static constexpr const char* kWords[] = {"added", "removed", "renamed", "changed"};
    return kWords[static_cast<int>(status)];
}

DirectoryDiff diffDirectories(const std::string& oldDir, const std::string& newDir,
                              const DiffFilter& filter) {
    const DatabaseDir a(oldDir), b(newDir);
    DirectoryDiff diff;
    diff.oldDir = oldDir;
    diff.newDir = newDir;
    const DumpSelection& selection = filter.selection;
    for (const ModelOsPair& p : filteredPairs(filter)) {
        PairFiles files(a, b, p);
        std::vector<Difference> found;
        // Files that are byte for byte the same answer the same: no dump.
        if (files.answersMayDiffer())
            found = diffPair(dumpPair(oldDir, p, selection), dumpPair(newDir, p, selection));
        if (selection.wantsOsdb()) files.collect(true, found, diff);
        if (selection.wantsJqwdb()) files.collect(false, found, diff);
    }
    sortByFile(diff);
    return diff;
}

}  // namespace zel::tool
