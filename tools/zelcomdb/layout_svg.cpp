#include "layout_svg.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <set>
#include <vector>

#include "page_text.h"

namespace zel::tool {
namespace {

constexpr double kLabelWidth = 80;  // SVG units left of the bars
constexpr double kBarWidth = 1000;
constexpr double kLaneHeight = 16;
constexpr double kLaneStep = 22;
constexpr double kAxisHeight = 18;
// Shapes start and end on a grid of half a unit and are at least one unit
// wide, so that a one-byte range of a large file still shows.
constexpr double kGrid = 0.5;
constexpr double kNarrowest = 1;

struct Style {
    const char* kind;
    const char* label;
    const char* colour;
};

// The parts' colours by kind; a kind not listed takes the last row's.
constexpr Style kPartStyles[] = {
    {"header", "header", "#4e79a7"},
    {"directory", "table directory", "#76b7b2"},
    {"table", "table", "#59a14f"},
    {"section-offsets", "section offsets", "#edc948"},
    {"section", "section", "#8cd17d"},
    {"cpu-values", "CPU specification values", "#b07aa1"},
    {"memory", "memory table", "#9c755f"},
    {"table-header", "table header", "#f1ce63"},
    {"row", "row", "#d4a6c8"},
    {"record", "record", "#a0cbe8"},
    {"split", "table 10 split values", "#f1a340"},
    {"", "other part", "#bab0ac"},
};
constexpr Style kUnreached{"unreached", "bytes no reader reaches", "#c8c8c8"};
constexpr Style kBeyondEnd{"beyond-end", "reached beyond the end of the file", "#e15759"};
constexpr Style kChanged{"changed", "changed bytes", "#f28e2b"};
constexpr Style kChangedUnreached{"changed-unreached", "changed bytes no reader reaches",
                                  "#7b3294"};

const Style* partStyle(const std::string& kind) {
    for (const Style& s : kPartStyles)
        if (kind == s.kind) return &s;
    return &kPartStyles[std::size(kPartStyles) - 1];
}

struct Range {
    std::uint64_t offset = 0, length = 0;
};

std::vector<Range> rangesOf(const Json& list) {
    std::vector<Range> out;
    if (!list.is_array()) return out;
    for (const Json& r : list)
        if (r.is_object()) out.push_back({countIn(r, "offset"), countIn(r, "length")});
    std::sort(out.begin(), out.end(),
              [](const Range& a, const Range& b) { return a.offset < b.offset; });
    return out;
}

// The bytes of [0, size) outside the sorted ranges.
std::vector<Range> outside(const std::vector<Range>& ranges, std::uint64_t size) {
    std::vector<Range> gaps;
    std::uint64_t at = 0;
    for (const Range& r : ranges) {
        if (r.offset >= size) break;
        if (r.offset > at) gaps.push_back({at, r.offset - at});
        at = std::max(at, r.offset + std::min(r.length, size - r.offset));
    }
    if (at < size) gaps.push_back({at, size - at});
    return gaps;
}

std::string rangeText(std::uint64_t offset, std::uint64_t length) {
    return "offset " + byteCountText(offset) + ", " + std::to_string(length) +
           (length == 1 ? " byte" : " bytes");
}

std::string unitText(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", v);
    return text;
}

struct Shape {
    double x0, x1;
    const Style* style;
    std::string title;
    std::size_t hidden = 0;  // ranges drawn under this shape
};

// One bar: ranges come sorted by offset, so a shape that would end inside
// the last one drawn would lie under it, and is counted there instead.
class Lane {
  public:
    Lane(const char* label, double scale, bool outlined = false)
        : m_label(label), m_scale(scale), m_outlined(outlined) {}

    void add(std::uint64_t offset, std::uint64_t length, const Style* style, std::string title) {
        const double x0 = std::floor(static_cast<double>(offset) * m_scale / kGrid) * kGrid;
        const double end = static_cast<double>(offset) + static_cast<double>(length);
        const double x1 = std::max(std::ceil(end * m_scale / kGrid) * kGrid, x0 + kNarrowest);
        if (!m_shapes.empty() && x1 <= m_shapes.back().x1) {
            ++m_shapes.back().hidden;
            return;
        }
        m_shapes.push_back({x0, x1, style, std::move(title)});
    }

    // overlay: drawn over the bar of the lane before, without label and
    // track of its own.
    void draw(std::string& svg, double y, std::set<const Style*>& used,
              bool overlay = false) const {
        if (!overlay)
            svg += "<text class=\"lane\" x=\"0\" y=\"" + unitText(y + kLaneHeight - 4) + "\">" +
                   m_label + "</text>";
        if (!overlay)
            svg += "<rect class=\"track\" x=\"" + unitText(kLabelWidth) + "\" y=\"" + unitText(y) +
                   "\" width=\"" + unitText(kBarWidth) + "\" height=\"" + unitText(kLaneHeight) +
                   "\"/>";
        // The parts of a level are outlined, so that neighbours of one kind
        // stay apart.
        svg += m_outlined ? "<g class=\"parts\">" : "<g>";
        for (const Shape& s : m_shapes) {
            used.insert(s.style);
            std::string title = s.title;
            if (s.hidden > 0)
                title += " (and " + std::to_string(s.hidden) + " more under this mark)";
            svg += "<rect x=\"" + unitText(kLabelWidth + s.x0) + "\" y=\"" + unitText(y) +
                   "\" width=\"" + unitText(s.x1 - s.x0) + "\" height=\"" + unitText(kLaneHeight) +
                   "\" fill=\"" + s.style->colour + "\"><title>" + htmlText(title) +
                   "</title></rect>";
        }
        svg += "</g>";
    }

  private:
    const char* m_label;
    double m_scale;
    bool m_outlined;
    std::vector<Shape> m_shapes;
};

std::string legend(const std::set<const Style*>& used) {
    std::string html = "<ul class=\"legend\">";
    auto item = [&](const Style& s) {
        if (used.count(&s))
            html += std::string("<li><span class=\"swatch\" style=\"background:") + s.colour +
                    "\"></span>" + s.label + "</li>";
    };
    for (const Style& s : kPartStyles) item(s);
    for (const Style* s : {&kUnreached, &kBeyondEnd, &kChanged, &kChangedUnreached}) item(*s);
    return html + "</ul>";
}

}  // namespace

std::string layoutFigure(const std::string& caption, const Json& layout, const Json& changed,
                         const Json& unreachedChanges) {
    const std::uint64_t size = countIn(layout, "size");
    const std::uint64_t reachEnd = countIn(layout, "reachEnd");
    const std::uint64_t span = std::max<std::uint64_t>({size, reachEnd, 1});
    const double scale = kBarWidth / static_cast<double>(span);

    Lane levels[] = {{"tables", scale, true}, {"sections", scale, true}, {"records", scale, true}};
    struct Part {
        Range range;
        int depth;
        const Json* json;
    };
    std::vector<Part> parts;
    const auto list = layout.find("parts");
    if (list != layout.end() && list->is_array())
        for (const Json& p : *list) {
            const auto depth = p.find("depth");
            const int d = depth != p.end() && depth->is_number_integer() ? depth->get<int>() : 0;
            parts.push_back(
                {{countIn(p, "offset"), countIn(p, "length")}, std::clamp(d, 0, 2), &p});
        }
    std::stable_sort(parts.begin(), parts.end(),
                     [](const Part& a, const Part& b) { return a.range.offset < b.range.offset; });
    auto text = [](const Json& p, const char* name) {
        const auto it = p.find(name);
        return it != p.end() && it->is_string() ? it->get<std::string>() : std::string();
    };
    for (const Part& p : parts)
        levels[p.depth].add(
            p.range.offset, p.range.length, partStyle(text(*p.json, "kind")),
            text(*p.json, "name") + ": " + rangeText(p.range.offset, p.range.length));

    Lane reach("reach", scale);
    for (const Range& r : outside(rangesOf(layout.value("reached", Json::array())), size))
        reach.add(r.offset, r.length, &kUnreached,
                  "no reader reaches " + rangeText(r.offset, r.length));
    if (reachEnd > size)
        reach.add(size, reachEnd - size, &kBeyondEnd,
                  "the file ends at " + byteCountText(size) + ", its tables reach " +
                      byteCountText(reachEnd));

    // Changed bytes first, then those of them no reader reaches over them.
    Lane changes("changes", scale);
    for (const Range& r : rangesOf(changed))
        changes.add(r.offset, r.length, &kChanged, "changed: " + rangeText(r.offset, r.length));
    Lane unreached("", scale);
    for (const Range& r : rangesOf(unreachedChanges))
        unreached.add(r.offset, r.length, &kChangedUnreached,
                      "changed, no reader reaches it: " + rangeText(r.offset, r.length));

    const double height = 5 * kLaneStep + kAxisHeight;
    std::string svg = "<svg class=\"layout\" viewBox=\"0 0 " + unitText(kLabelWidth + kBarWidth) +
                      " " + unitText(height) + "\" role=\"img\" aria-label=\"" + htmlText(caption) +
                      "\">";
    std::set<const Style*> used;
    double y = 0;
    for (const Lane& lane : levels) {
        lane.draw(svg, y, used);
        y += kLaneStep;
    }
    reach.draw(svg, y, used);
    y += kLaneStep;
    changes.draw(svg, y, used);
    unreached.draw(svg, y, used, true);
    y += kLaneStep;
    if (reachEnd > size) {
        const std::string x = unitText(kLabelWidth + static_cast<double>(size) * scale);
        svg += "<line class=\"end\" x1=\"" + x + "\" y1=\"0\" x2=\"" + x + "\" y2=\"" +
               unitText(y) + "\"/>";
    }
    svg += "<text class=\"axis\" x=\"" + unitText(kLabelWidth) + "\" y=\"" + unitText(y + 12) +
           "\">0</text><text class=\"axis\" text-anchor=\"end\" x=\"" +
           unitText(kLabelWidth + kBarWidth) + "\" y=\"" + unitText(y + 12) + "\">" +
           byteCountText(span) +
           (reachEnd > size ? " reached, file ends at " + byteCountText(size) : " bytes") +
           "</text></svg>";
    return "<figure>" + svg + legend(used) + "<figcaption>" + htmlText(caption) +
           "</figcaption></figure>";
}

}  // namespace zel::tool
