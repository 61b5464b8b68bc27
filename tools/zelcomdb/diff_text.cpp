// The diff as text: a summary line, then each file's header and the answers
// that differ in it, numbered and in the radix that dump's text uses.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "diff.h"
#include "dump_text.h"
#include "format/jqwdb_tables.h"
#include "printable.h"
#include "result_text.h"

namespace zel::tool {
namespace {

constexpr std::size_t kShortValue = 72;  // longer values are counted, not shown
constexpr std::size_t kShownRanges = 8;  // unreached ranges listed in a header

// How the lists of a dump number their elements, as dump's text shows them.
struct ListNumbering {
    const char* listKey;  // "" for a table that is a list itself (cpuSpec)
    const char* word;     // "entry 3"
    int first;
    bool named;  // whether the list's key names the place too
};
constexpr ListNumbering kListNumbering[] = {
    {key::kAddresses, "entry", 1, true},
    {key::kBits, "entry", 1, true},
    {key::kEntries, "entry", 1, false},
    {key::kValues, "index", 0, true},
    {"", "value", 0, false},
};

const ListNumbering* numberingOf(const std::string& listKey) {
    for (const ListNumbering& n : kListNumbering)
        if (listKey == n.listKey) return &n;
    return nullptr;
}

std::string plural(std::uint64_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

// The word for the unit a difference's index names.
const char* indexWord(const std::string& table) {
    if (table == key::kMemory) return "kind";
    if (numberKeyOf(table) || table == pdbKey(kBackupTable)) return "item";
    return "record";
}

// The last key of a field path: "bitMask" of "bits[1].bitMask".
std::string leafKey(const std::string& field) {
    std::string leaf;
    for (std::size_t i = 0; i < field.size();) {
        if (field[i] == '[') {
            i = field.find(']', i);
            i = i == std::string::npos ? field.size() : i + 1;
        } else if (field[i] == '.') {
            ++i;
        } else {
            const std::size_t end = std::min(field.find_first_of(".[", i), field.size());
            leaf = field.substr(i, end - i);
            i = end;
        }
    }
    return leaf;
}

std::size_t valueCount(const Json& v) {
    if (!v.is_structured() || isResult(v)) return 1;
    std::size_t n = 0;
    for (const Json& child : v) n += valueCount(child);
    return n;
}

// The members of a unit other than the number that names it.
bool namesTheUnit(const std::string& table, const std::string& member) {
    const char* numberKey = numberKeyOf(table);
    return member == key::kIndex || (numberKey && member == numberKey);
}

std::string valueInPlace(const Json& v, const std::string& table, const std::string& field) {
    if (v.is_null()) return "(none)";
    if (isResult(v)) return "result " + numberText(v);
    if (v.is_string()) return escapedText(v.get<std::string>());
    if (v.is_number_integer()) return numberText(v, shownInHex(table, leafKey(field)));
    std::string text;
    if (v.is_array()) {
        for (const Json& x : v) text += (text.empty() ? "" : " ") + valueInPlace(x, table, field);
        return "[" + text + "]";
    }
    if (!v.is_object()) return v.dump();
    for (const auto& m : v.items()) {
        if (field.empty() && namesTheUnit(table, m.key())) continue;
        text += (text.empty() ? "" : ", ") + m.key() + " " +
                valueInPlace(m.value(), table, childPath(field, m.key()));
    }
    return "{" + text + "}";
}

// "addresses, entry 3" for "addresses[2]": each index of a list as dump
// numbers it.
std::string fieldText(const std::string& field) {
    std::string text, listKey;
    auto add = [&](const std::string& piece) { text += (text.empty() ? "" : ", ") + piece; };
    for (std::size_t i = 0; i < field.size();) {
        if (field[i] == '.') {
            ++i;
            continue;
        }
        if (field[i] != '[') {
            const std::size_t end = std::min(field.find_first_of(".[", i), field.size());
            listKey = field.substr(i, end - i);
            const ListNumbering* n = numberingOf(listKey);
            if (!n || n->named) add(listKey);
            i = end;
            continue;
        }
        const std::size_t close = std::min(field.find(']', i), field.size());
        const std::string digits = field.substr(i + 1, close - i - 1);
        const ListNumbering* n = numberingOf(listKey);
        const long long place = std::stoll(digits);
        add(n ? std::string(n->word) + " " + std::to_string(place + n->first) : "[" + digits + "]");
        listKey.clear();
        i = close + 1;
    }
    return text;
}

std::string differenceLine(const Difference& d) {
    std::string line = d.model && d.osNumber ? "  model " + std::to_string(*d.model) + ", OS " +
                                                   std::to_string(*d.osNumber)
                                             : "  the file";
    const std::string place = placeText(d);
    if (!place.empty()) line += ", " + place;
    return line + ": " + valueText(d.before, d.table, d.field) + " -> " +
           valueText(d.after, d.table, d.field);
}

// "read by models 1, 2 on OS 1; model 1 on OS 2"
std::string readersText(const std::vector<ModelOsPair>& readers) {
    std::vector<short> osNumbers;
    for (const ModelOsPair& p : readers)
        if (std::find(osNumbers.begin(), osNumbers.end(), p.osNumber) == osNumbers.end())
            osNumbers.push_back(p.osNumber);
    std::string text;
    for (const short os : osNumbers) {
        std::string models;
        std::size_t count = 0;
        for (const ModelOsPair& p : readers) {
            if (p.osNumber != os) continue;
            models += (models.empty() ? "" : ", ") + std::to_string(p.model);
            ++count;
        }
        text += (text.empty() ? "read by " : "; ") +
                std::string(count == 1 ? "model " : "models ") + models + " on OS " +
                std::to_string(os);
    }
    return text;
}

std::string sizeText(const FileDifference& f) {
    std::string text;
    if (f.oldSize && f.newSize && *f.oldSize != *f.newSize)
        text = std::to_string(*f.oldSize) + " -> " + plural(*f.newSize, "byte", "bytes");
    else if (f.oldSize || f.newSize)
        text = plural(f.newSize ? *f.newSize : *f.oldSize, "byte", "bytes");
    if (!f.oldName.empty() && !f.newName.empty() && f.changedBytes)
        text += (text.empty() ? "" : ", ") +
                (*f.changedBytes == 0 ? std::string("the same bytes")
                                      : plural(*f.changedBytes, "byte changed", "bytes changed"));
    return text;
}

std::string headerLine(const FileDifference& f) {
    const std::string name = escapedText(f.name());
    std::string line;
    if (f.status == FileStatus::renamed)
        line = "renamed in letter case " + escapedText(f.oldName) + " -> " + name +
               ", the library reads " + escapedText(f.readName);
    else
        line = std::string(statusWord(f.status)) + " " + name;
    const std::string sizes = sizeText(f);
    if (!sizes.empty()) line += " (" + sizes + ")";
    if (f.caseDuplicate)
        return line + ": a letter-case duplicate of " + escapedText(f.readName) +
               ", which the library reads; no reader reads this one";
    return f.readers.empty() ? line : line + ", " + readersText(f.readers);
}

std::string rangesText(const std::vector<ByteRange>& spans) {
    std::string text;
    for (std::size_t i = 0; i < spans.size() && i < kShownRanges; ++i) {
        const ByteRange& s = spans[i];
        text += (text.empty() ? "" : ", ") + std::to_string(s.offset);
        if (s.length > 1) text += ".." + std::to_string(s.offset + s.length - 1);
    }
    if (spans.size() > kShownRanges)
        text += " and " + plural(spans.size() - kShownRanges, "more range", "more ranges");
    return text;
}

void printFile(const FileDifference& f, const std::vector<const Difference*>& differences,
               std::ostream& out) {
    out << '\n' << headerLine(f) << '\n';
    if (!f.unreached.empty())
        out << "  " << plural(f.unreachedBytes(), "byte changed", "bytes changed")
            << " where no reader reaches: " << (f.unreachedBytes() == 1 ? "offset " : "offsets ")
            << rangesText(f.unreached) << '\n';
    // An added or removed file is its header alone.
    if (f.status == FileStatus::added || f.status == FileStatus::removed) return;
    for (const Difference* d : differences) out << differenceLine(*d) << '\n';
}

std::string statLine(const FileDifference& f) {
    std::string line = statusWord(f.status);
    if (f.status == FileStatus::renamed) line += " from " + escapedText(f.oldName);
    if (f.caseDuplicate) line += ", a letter-case duplicate no reader reads";
    line += ", " + plural(f.differences, "difference", "differences") + ", " +
            (f.changedBytes ? plural(*f.changedBytes, "byte changed", "bytes changed")
                            : std::string("bytes not compared"));
    if (f.unreachedBytes() > 0)
        line += " (" + std::to_string(f.unreachedBytes()) + " where no reader reaches)";
    return line;
}

}  // namespace

std::string valueText(const Json& value, const std::string& table, const std::string& field) {
    const std::string text = valueInPlace(value, table, field);
    if (text.size() <= kShortValue) return text;
    // A whole table or a long list: the count says enough, --json gives all.
    return "(" + plural(valueCount(value), "value", "values") + ")";
}

std::string placeText(const Difference& d) {
    std::string text = d.table;
    if (d.index) text += ", " + std::string(indexWord(d.table)) + " " + std::to_string(*d.index);
    const std::string field = fieldText(d.field);
    if (!field.empty()) text += ", " + field;
    return text;
}

std::string summaryLine(const DirectoryDiff& diff) {
    const DiffCounts counts = countsOf(diff);
    static constexpr const char* kWords[] = {"added", "removed", "renamed in letter case",
                                             "changed"};
    std::string kinds;
    for (int s = 0; s < 4; ++s)
        if (counts.byStatus[s] > 0)
            kinds +=
                (kinds.empty() ? "" : ", ") + std::to_string(counts.byStatus[s]) + " " + kWords[s];
    std::string line = plural(counts.files, "file changed", "files changed") + " (" + kinds +
                       "), " + plural(diff.differences.size(), "difference", "differences");
    if (counts.unreachedBytes > 0)
        line += ", " + plural(counts.unreachedBytes, "byte", "bytes") +
                " changed where no reader reaches";
    return line;
}

void printDiff(const DirectoryDiff& diff, std::ostream& out) {
    if (diff.files.empty()) return;
    out << summaryLine(diff) << '\n';
    for (const FileDifference& f : diff.files) {
        std::vector<const Difference*> mine;
        for (const Difference& d : diff.differences)
            if (d.file == f.name()) mine.push_back(&d);
        printFile(f, mine, out);
    }
}

void printDiffStat(const DirectoryDiff& diff, std::ostream& out) {
    if (diff.files.empty()) return;
    std::size_t width = 0;
    for (const FileDifference& f : diff.files)
        width = std::max(width, escapedText(f.name()).size());
    for (const FileDifference& f : diff.files) {
        const std::string name = escapedText(f.name());
        out << ' ' << name << std::string(width - name.size(), ' ') << " | " << statLine(f) << '\n';
    }
    out << ' ' << summaryLine(diff) << '\n';
}

void printDiffNames(const DirectoryDiff& diff, std::ostream& out) {
    for (const FileDifference& f : diff.files) out << escapedText(f.name()) << '\n';
}

}  // namespace zel::tool
