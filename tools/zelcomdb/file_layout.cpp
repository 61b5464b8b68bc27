#include "file_layout.h"

#include <ZelComFuncDbase.h>

#include <algorithm>
#include <filesystem>
#include <tuple>

#include "check.h"
#include "database_dir.h"
#include "format/cpu_spec_values.h"
#include "platform/letter_case.h"
#include "tool_error.h"
#include "tool_file.h"

namespace zel::tool {

std::vector<ByteRange> mergedRanges(std::vector<ByteRange> ranges) {
    std::sort(ranges.begin(), ranges.end(), [](const ByteRange& a, const ByteRange& b) {
        return std::tie(a.offset, a.length) < std::tie(b.offset, b.length);
    });
    std::vector<ByteRange> merged;
    for (const ByteRange& r : ranges) {
        if (r.length == 0) continue;
        if (!merged.empty() && r.offset <= merged.back().offset + merged.back().length) {
            ByteRange& last = merged.back();
            last.length = std::max(last.offset + last.length, r.offset + r.length) - last.offset;
        } else {
            merged.push_back(r);
        }
    }
    return merged;
}

int LayoutBuilder::part(Pos start, const char* kind, const std::string& name, int depth) {
    if (isNegative(start)) return -1;
    const std::string key = std::string(kind) + '\n' + name;
    const auto known = m_byName.find(key);
    if (known != m_byName.end()) return known->second;
    const int index = static_cast<int>(m_parts.size());
    m_parts.push_back({LayoutPart{start, 0, kind, name, depth}, start});
    m_byName.emplace(key, index);
    return index;
}

void LayoutBuilder::cover(int part, std::uint64_t length) {
    if (part < 0) return;
    Growing& g = m_parts[static_cast<std::size_t>(part)];
    g.end = std::max(g.end, g.part.offset + length);
}

bool LayoutBuilder::read(Pos pos, std::uint32_t width, std::initializer_list<int> parts) {
    if (isNegative(pos)) return false;
    const std::uint64_t end = std::uint64_t{pos} + width;
    m_reachEnd = std::max(m_reachEnd, end);
    for (const int p : parts) {
        if (p < 0) continue;
        Growing& g = m_parts[static_cast<std::size_t>(p)];
        if (pos >= g.part.offset) g.end = std::max(g.end, end);
    }
    const std::uint64_t held = std::min(end, m_size);
    if (held > pos) {
        // Calls that read one place after another mostly extend the last range.
        ByteRange* last = m_reached.empty() ? nullptr : &m_reached.back();
        if (last && pos >= last->offset && pos <= last->offset + last->length)
            last->length = std::max(last->offset + last->length, held) - last->offset;
        else
            m_reached.push_back({pos, held - pos});
    }
    return end <= m_size;
}

void LayoutBuilder::addTo(FileLayout& layout) const {
    // A part covers no more than the reads reach: a table header that its
    // table's readers read in part ends where they stop.
    for (const Growing& g : m_parts) {
        const std::uint64_t end = std::min(g.end, m_reachEnd);
        if (end <= g.part.offset) continue;
        LayoutPart p = g.part;
        p.length = end - p.offset;
        layout.parts.push_back(std::move(p));
    }
    layout.reachEnd = std::max(layout.reachEnd, m_reachEnd);
    std::vector<ByteRange> reached = layout.reached;
    reached.insert(reached.end(), m_reached.begin(), m_reached.end());
    layout.reached = mergedRanges(std::move(reached));
}

namespace {

// Sorts the parts and drops those that two walks (two CPU codes under one
// name) gave alike.
void sortParts(std::vector<LayoutPart>& parts) {
    const auto key = [](const LayoutPart& p) {
        return std::tie(p.offset, p.depth, p.length, p.kind, p.name);
    };
    std::sort(parts.begin(), parts.end(),
              [&](const LayoutPart& a, const LayoutPart& b) { return key(a) < key(b); });
    parts.erase(
        std::unique(parts.begin(), parts.end(),
                    [&](const LayoutPart& a, const LayoutPart& b) { return key(a) == key(b); }),
        parts.end());
}

// The directory the library is given for a file's path.
std::string directoryOf(const std::string& path) {
    const std::string parent = std::filesystem::u8path(path).parent_path().u8string();
    return parent.empty() ? std::string(".") : parent;
}

std::string nameOf(const std::string& path) {
    return std::filesystem::u8path(path).filename().u8string();
}

}  // namespace

FileLayout fileLayout(const std::string& path) {
    FileLayout layout;
    try {
        const RegularFile file(path);
        layout.size = file.size();
        const std::string name = nameOf(path);
        for (const ModelOsPair& pair : namedPairs(true)) {
            const bool osdb = equalIgnoringAsciiCase(name, pair.osdbName);
            if (!osdb && !equalIgnoringAsciiCase(name, pair.jqwdbName)) continue;
            layout.family = osdb ? "osdb" : "jqwdb";
            Findings findings(name);
            LayoutBuilder builder(layout.size);
            if (osdb) {
                const FileImage image(file, osdbByteOrder(pair.cpuCode));
                checkOsdbFile(image, pair, findings, builder);
            } else {
                // Tables 2 and 4 take their entry bound from the OSDB file
                // that the library reads beside this one.
                CZelComFuncDbase db(directoryOf(path).c_str());
                ZelLong cpuValues[kCpuSpecValues] = {};
                const bool haveSpec = db.CpuSpec(pair.cpuCode, pair.osType, cpuValues) == 0;
                const auto value0 = static_cast<std::int32_t>(cpuValues[0]);
                const FileImage image(file, kJqwdbByteOrder);
                checkJqwdbFile(image, pair, haveSpec ? &value0 : nullptr, findings, builder);
            }
            builder.addTo(layout);
        }
    } catch (const ToolError&) {
        // A file that cannot be opened or read has no layout to show.
    }
    sortParts(layout.parts);
    return layout;
}

namespace {

// Appends the ranges of [from, to) that no range of `reached` covers.
void addUnreached(std::uint64_t from, std::uint64_t to, const std::vector<ByteRange>& reached,
                  std::vector<ByteRange>& out) {
    for (const ByteRange& r : reached) {
        if (r.offset + r.length <= from) continue;
        if (r.offset >= to) break;
        if (r.offset > from) out.push_back({from, r.offset - from});
        from = std::max(from, r.offset + r.length);
    }
    if (from < to) out.push_back({from, to - from});
}

}  // namespace

std::vector<ByteRange> changedRanges(const std::string& oldPath, const std::string& newPath) {
    std::vector<ByteRange> changed;
    try {
        const RegularFile a(oldPath), b(newPath);
        const std::uint64_t common = std::min(a.size(), b.size());
        constexpr std::size_t kBlock = 64 * 1024;
        std::vector<unsigned char> x(kBlock), y(kBlock);
        for (std::uint64_t at = 0; at < common; at += kBlock) {
            const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(kBlock, common - at));
            if (!a.readAt(at, x.data(), n) || !b.readAt(at, y.data(), n)) {
                changed.push_back({at, common - at});  // unreadable: not known to agree
                break;
            }
            for (std::size_t i = 0; i < n; ++i) {
                if (x[i] == y[i]) continue;
                if (!changed.empty() && changed.back().offset + changed.back().length == at + i)
                    ++changed.back().length;
                else
                    changed.push_back({at + i, 1});
            }
        }
        const std::uint64_t longer = std::max(a.size(), b.size());
        if (longer > common) changed.push_back({common, longer - common});
    } catch (const ToolError&) {
        // A version that cannot be read has no bytes to compare.
    }
    return mergedRanges(std::move(changed));
}

std::vector<ByteRange> unreachedChanges(const std::string& oldPath, const std::string& newPath) {
    std::vector<ByteRange> reached = fileLayout(oldPath).reached;
    const std::vector<ByteRange> inNew = fileLayout(newPath).reached;
    reached.insert(reached.end(), inNew.begin(), inNew.end());
    reached = mergedRanges(std::move(reached));
    std::vector<ByteRange> unreached;
    for (const ByteRange& c : changedRanges(oldPath, newPath))
        addUnreached(c.offset, c.offset + c.length, reached, unreached);
    return mergedRanges(std::move(unreached));
}

Json rangesJson(const std::vector<ByteRange>& ranges) {
    Json list = Json::array();
    for (const ByteRange& r : ranges) list.push_back({{"offset", r.offset}, {"length", r.length}});
    return list;
}

Json layoutJson(const FileLayout& layout) {
    Json parts = Json::array();
    for (const LayoutPart& p : layout.parts)
        parts.push_back({{"offset", p.offset},
                         {"length", p.length},
                         {"kind", p.kind},
                         {"name", p.name},
                         {"depth", p.depth}});
    return Json{{"family", layout.family},
                {"size", layout.size},
                {"reachEnd", layout.reachEnd},
                {"parts", parts},
                {"reached", rangesJson(layout.reached)}};
}

}  // namespace zel::tool
