// The report page, rendered from the report document (report.h).
#include <ZelComFuncDbaseVersion.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <set>
#include <string>

#include "diff.h"
#include "layout_svg.h"
#include "page_text.h"
#include "report.h"

namespace zel::tool {
namespace {

// The page's look, inline; printed with its colours.
constexpr const char* kStyle = R"(
body{font:14px/1.45 "DejaVu Sans",sans-serif;color:#222;max-width:1180px;margin:20px auto;padding:0 12px}
h1{font-size:22px;margin:0 0 4px}h2{font-size:18px;border-bottom:1px solid #ccc;margin:28px 0 8px}
h3{font-size:15px;margin:0 0 6px}code,.value{font-family:"DejaVu Sans Mono",monospace;font-size:13px}
table{border-collapse:collapse;margin:6px 0}th,td{border:1px solid #ddd;padding:2px 8px;text-align:left;vertical-align:top}
th{background:#f3f3f3}td.number{text-align:right}td.old{background:#fdecea}td.new{background:#e8f5e9}
table.differences{width:100%}td.value{overflow-wrap:anywhere}
.status{display:inline-block;min-width:5em;text-align:center;border-radius:3px;color:#fff;font-size:12px}
.status-added{background:#2e7d32}.status-removed{background:#c62828}.status-renamed{background:#6a1b9a}
.status-changed{background:#e65100}.ok{color:#2e7d32;font-weight:bold}.finding{color:#b71c1c}
section.file{border:1px solid #ddd;border-radius:4px;padding:10px 12px;margin:14px 0}
figure{margin:8px 0}figcaption{font-size:12px;color:#555}svg.layout{display:block;width:100%;height:auto}
svg text{font:11px "DejaVu Sans",sans-serif;fill:#333}svg .track{fill:#f4f4f4}
svg .parts rect{stroke:#fff;stroke-width:.5}
svg line.end{stroke:#e15759;stroke-width:1.5;stroke-dasharray:4 3}
ul.legend{list-style:none;margin:4px 0;padding:0;font-size:12px}ul.legend li{display:inline-block;margin-right:14px}
.swatch{display:inline-block;width:11px;height:11px;margin-right:4px;border:1px solid #999;vertical-align:-1px}
@media print{*{-webkit-print-color-adjust:exact;print-color-adjust:exact}section.file{break-inside:avoid}}
)";

std::string textOf(const Json& object, const char* name) {
    const auto it = object.find(name);
    if (it == object.end() || it->is_null()) return "";
    return it->is_string() ? it->get<std::string>() : it->dump();
}

std::string counted(std::uint64_t n, const std::string& what, const std::string& many = "") {
    return std::to_string(n) + " " + (n == 1 ? what : many.empty() ? what + "s" : many);
}

// A difference's place as diff's text shows it ("pdbTb4, record 1, entry
// 3, kind"), or what a difference of a whole file is.
std::string placeOf(const Json& d) {
    Difference place;
    place.table = textOf(d, "table");
    if (d.value("index", Json()).is_number_integer()) place.index = d["index"].get<int>();
    place.field = textOf(d, "field");
    return place.table.empty() ? "the file" : placeText(place);
}

// A value of a difference as diff's text shows it, in the radix of its field.
std::string valueOf(const Json& d, const char* side) {
    return valueText(d.value(side, Json()), textOf(d, "table"), textOf(d, "field"));
}

std::string cell(const std::string& text, const char* cls = nullptr) {
    return std::string("<td") + (cls ? std::string(" class=\"") + cls + "\"" : "") + ">" +
           htmlText(text) + "</td>";
}

std::string headRow(std::initializer_list<const char*> names) {
    std::string row = "<tr>";
    for (const char* n : names) row += std::string("<th>") + n + "</th>";
    return row + "</tr>";
}

// The file's name as the diff shows it: the new one, or the old one of a
// removed file.
std::string fileName(const Json& file) {
    const std::string name = textOf(file, "newName");
    return name.empty() ? textOf(file, "oldName") : name;
}

// "23392 → 5000", "none" for a side without the file.
std::string sizesText(const Json& file) {
    const auto side = [&](const char* name, const char* size) {
        return textOf(file, name).empty() ? std::string("none") : textOf(file, size);
    };
    return side("oldName", "oldSize") + " \u2192 " + side("newName", "newSize");
}

std::string anchor(std::size_t i) { return "file-" + std::to_string(i + 1); }

std::string summarySection(const Json& report) {
    const Json& diff = report["diff"];
    const Json summary = diff.value("summary", Json::object());
    const Json& check = report["check"];
    const std::uint64_t findings = countIn(check, "count");
    // The words of diff's summary line.
    std::string kinds;
    for (const char* status : {"added", "removed", "renamed", "changed"})
        if (const std::uint64_t n = countIn(summary, status))
            kinds += (kinds.empty() ? "" : ", ") + std::to_string(n) + " " +
                     (std::string(status) == "renamed" ? "renamed in letter case" : status);
    const std::uint64_t changedFiles = countIn(summary, "added") + countIn(summary, "removed") +
                                       countIn(summary, "renamed") + countIn(summary, "changed");
    std::string line = counted(changedFiles, "file changed", "files changed") +
                       (kinds.empty() ? "" : " (" + kinds + ")") + ", " +
                       counted(countIn(summary, "differences"), "difference");
    if (const std::uint64_t unreached = countIn(summary, "unreachedBytes"))
        line += ", " + counted(unreached, "byte") + " changed where no reader reaches";
    line += "; " + std::to_string(countIn(summary, "unchanged")) + " unchanged. Check of the " +
            "new directory: " + (findings == 0 ? std::string("ok") : counted(findings, "finding")) +
            ".";
    std::string html =
        "<section id=\"summary\"><h2>Summary</h2><p class=\"summary\">" + htmlText(line) + "</p>";
    const Json files = diff.value("files", Json::array());
    if (files.empty()) return html + "<p>The directories hold the same files.</p></section>";
    html += "<table class=\"stat\">" + headRow({"File", "Status", "Differences", "Changed bytes",
                                                "No reader reaches", "Size"});
    for (std::size_t i = 0; i < files.size(); ++i) {
        const Json& f = files[i];
        const std::string status = textOf(f, "status");
        const Json unreached = f.value("unreached", Json::object());
        html += "<tr><td><a href=\"#" + anchor(i) + "\"><code>" + htmlText(fileName(f)) +
                "</code></a></td><td><span class=\"status status-" + htmlText(status) + "\">" +
                htmlText(status) + "</span></td>" +
                cell(std::to_string(countIn(f, "differences")), "number") +
                cell(std::to_string(countIn(f, "changedBytes")), "number") +
                cell(std::to_string(countIn(unreached, "bytes")), "number") +
                cell(sizesText(f), "number") + "</tr>";
    }
    return html + "</table></section>";
}

std::string checkSection(const Json& report) {
    const Json& check = report["check"];
    std::string html = "<section id=\"check\"><h2>Check of the new directory</h2>";
    const Json findings = check.value("findings", Json::array());
    const Json files = check.value("files", Json::array());
    if (findings.empty())
        return html + "<p class=\"ok\">ok: no finding in " + counted(files.size(), "file") +
               " checked</p></section>";
    html += "<p class=\"finding\">" + counted(findings.size(), "finding") + " in " +
            counted(files.size(), "file") + " checked</p><table class=\"findings\">" +
            headRow({"File", "Where", "Offset", "Kind", "Items", "Finding"});
    for (const Json& f : findings) {
        const std::string first = textOf(f, "first"), last = textOf(f, "last");
        html += "<tr>" + cell(textOf(f, "file")) + cell(textOf(f, "table")) +
                cell(textOf(f, "offset"), "number") + cell(textOf(f, "kind")) +
                cell(first.empty() ? "" : first + ".." + last) + cell(textOf(f, "reason")) +
                "</tr>";
    }
    return html + "</table></section>";
}

std::string readersText(const Json& readers) {
    std::string text;
    if (!readers.is_array()) return text;
    for (const Json& r : readers)
        text += (text.empty() ? "" : ", ") + std::string("model ") + textOf(r, "model") + " OS " +
                textOf(r, "os");
    return text;
}

std::string rangesText(const Json& ranges) {
    std::string text;
    if (!ranges.is_array()) return text;
    for (const Json& r : ranges)
        text += (text.empty() ? "" : "; ") + std::string("offset ") +
                byteCountText(countIn(r, "offset")) + ", " + counted(countIn(r, "length"), "byte");
    return text;
}

// The differences that `of` picks, old and new values side by side.
std::string differencesTable(const Json& differences, const std::function<bool(const Json&)>& of) {
    std::string rows;
    for (const Json& d : differences) {
        if (!of(d)) continue;
        rows += "<tr>" + cell(textOf(d, "model")) + cell(textOf(d, "os")) + cell(placeOf(d)) +
                cell(valueOf(d, "old"), "old value") + cell(valueOf(d, "new"), "new value") +
                "</tr>";
    }
    if (rows.empty()) return "<p>No value differs.</p>";
    return "<table class=\"differences\">" + headRow({"Model", "OS", "Place", "Old", "New"}) +
           rows + "</table>";
}

std::string fileSection(const Json& file, std::size_t i, const Json& layout,
                        const Json& differences) {
    const std::string status = textOf(file, "status");
    const std::string oldName = textOf(file, "oldName"), newName = textOf(file, "newName");
    std::string html = "<section class=\"file\" id=\"" + anchor(i) +
                       "\"><h3><span class=\"status status-" + htmlText(status) + "\">" +
                       htmlText(status) + "</span> <code>" + htmlText(fileName(file)) +
                       "</code></h3><p>";
    if (status == "renamed")
        html += "Renamed in letter case: <code>" + htmlText(oldName) + "</code> \u2192 <code>" +
                htmlText(newName) + "</code>; the library reads <code>" +
                htmlText(textOf(file, "readName")) + "</code>. ";
    if (file.value("caseDuplicate", false))
        html += "A letter-case duplicate of <code>" + htmlText(textOf(file, "readName")) +
                "</code>, which the library reads; no reader reads this one. ";
    const std::string readers = readersText(file.value("readers", Json::array()));
    html += "Read by " + htmlText(readers.empty() ? "no model and OS number" : readers) +
            ". Size in bytes: " + htmlText(sizesText(file)) + ".</p>";

    const Json unreached = file.value("unreached", Json::object());
    const Json unreachedRanges = unreached.value("ranges", Json::array());
    if (layout.contains("layout"))
        html += layoutFigure(
            "Layout of " + fileName(file) + (newName.empty() ? " (the old version)" : ""),
            layout["layout"], layout.value("changed", Json::array()), unreachedRanges);
    else
        html += "<p>No layout: " + htmlText(textOf(layout, "error")) + "</p>";
    const std::uint64_t unreachedBytes = countIn(unreached, "bytes");
    if (unreachedBytes > 0)
        html += "<p class=\"unreached\">" + counted(unreachedBytes, "changed byte") +
                " no reader reaches: " + htmlText(rangesText(unreachedRanges)) + "</p>";
    const std::string name = fileName(file);
    return html +
           differencesTable(differences, [&](const Json& d) { return textOf(d, "file") == name; }) +
           "</section>";
}

}  // namespace

std::string reportHtml(const Json& report) {
    const std::string oldDir = textOf(report, "old"), newDir = textOf(report, "new");
    std::string html =
        "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
        // Nothing outside the page is ever loaded, whatever a name holds.
        "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; "
        "style-src 'unsafe-inline'\">"
        "<meta name=\"viewport\" content=\"width=device-width\">"
        "<meta name=\"generator\" content=\"zelcomdb " ZELCOMFUNCDBASE_VERSION_STRING
        "\">"
        "<title>Delivery review: " +
        htmlText(oldDir) + " \u2192 " + htmlText(newDir) + "</title><style>" + kStyle +
        "</style></head><body><h1>Delivery review</h1><p>Old: <code>" + htmlText(oldDir) +
        "</code><br>New: <code>" + htmlText(newDir) + "</code></p>";
    html += summarySection(report) + checkSection(report);

    const Json& diff = report["diff"];
    const Json files = diff.value("files", Json::array());
    const Json layouts = report.value("layouts", Json::array());
    const Json differences = diff.value("differences", Json::array());
    html += "<section id=\"files\"><h2>Differences by file</h2>";
    for (std::size_t i = 0; i < files.size(); ++i)
        html +=
            fileSection(files[i], i, i < layouts.size() ? layouts[i] : Json::object(), differences);
    if (files.empty()) html += "<p>No file differs.</p>";
    // A difference that names no file of the list still shows.
    std::set<std::string> names;
    for (const Json& f : files) names.insert(fileName(f));
    const auto elsewhere = [&](const Json& d) { return !names.count(textOf(d, "file")); };
    if (std::any_of(differences.begin(), differences.end(), elsewhere))
        html += "<section class=\"file\" id=\"other\"><h3>Other differences</h3>" +
                differencesTable(differences, elsewhere) + "</section>";
    return html + "</section></body></html>\n";
}

}  // namespace zel::tool
