#include "field_claims.h"

#include <algorithm>

#include "failing_place.h"
#include "format/bytes.h"
#include "schema.h"
#include "tool_error.h"

namespace zel::tool {
namespace {

// Far beyond anything the item maps and the one-byte entry bounds reach.
constexpr Pos kLargestRegion = 1u << 24;

}  // namespace

std::string regionName(int table, int section) {
    std::string name = "table " + std::to_string(table);
    if (section != kPlain) name += " section " + std::to_string(section);
    return name;
}

FieldClaims::RegionClaims& FieldClaims::region(int table, int section, Pos end) {
    if (end > kLargestRegion) {
        throw ToolError(m_fileName + " " + regionName(table, section) + ": a field at offset " +
                        std::to_string(end) + " makes the file too large");
    }
    RegionClaims& r = m_regions[{table, section}];
    r.size = std::max(r.size, end);
    return r;
}

std::string FieldClaims::storedThere(const std::string& field, int table, int section) const {
    return field + " is stored in the same place (" + m_fileName + " " +
           regionName(table, section) + "), and its reads would fail too";
}

void FieldClaims::reserve(int table, int section, Pos size) { region(table, section, size); }

void FieldClaims::put(int table, int section, Pos offset, unsigned width, std::uint32_t value,
                      const std::string& origin) {
    RegionClaims& r = region(table, section, offset + width);
    if (r.failure != 0) {
        refuseResult(r.failedFor, r.failure, storedThere(origin, table, section));
    }
    unsigned char b[4];
    storeOrdered(b, width, value, m_order);
    const int me = static_cast<int>(m_origins.size());
    m_origins.push_back(origin);
    for (unsigned i = 0; i < width; ++i) {
        const auto [it, inserted] = r.bytes.insert({offset + i, Claim{b[i], me}});
        if (!inserted && it->second.byte != b[i]) {
            throw ToolError(m_fileName + " " + regionName(table, section) + " offset " +
                            std::to_string(offset + i) + ": " + origin + " disagrees with " +
                            m_origins[static_cast<std::size_t>(it->second.origin)] +
                            ", stored in the same place");
        }
    }
}

void FieldClaims::fail(int table, int section, short result, const std::string& origin) {
    if (!failingStart(result)) refuseResult(origin, result, kFailingResults);
    RegionClaims& r = region(table, section, 0);
    if (r.failure != 0 && r.failure != result) {
        refuseResult(origin, result,
                     r.failedFor + " asks " + std::to_string(r.failure) + " of the same place (" +
                         m_fileName + " " + regionName(table, section) + ")");
    }
    if (!r.bytes.empty()) {
        const std::string& stored =
            m_origins[static_cast<std::size_t>(r.bytes.begin()->second.origin)];
        refuseResult(origin, result, storedThere(stored, table, section));
    }
    r.failure = result;
    r.failedFor = origin;
}

writer::OsdbLayout FieldClaims::layout() const {
    writer::OsdbLayout layout;
    for (const auto& [where, claims] : m_regions) {
        const auto [table, section] = where;
        writer::OsdbTable& t = layout.tables[static_cast<unsigned>(table)];
        writer::Region* region = &t.plain;
        if (section != kPlain) {
            if (t.sections.size() <= static_cast<std::size_t>(section))
                t.sections.resize(static_cast<std::size_t>(section) + 1);
            region = &t.sections[static_cast<std::size_t>(section)];
        }
        region->reserve(claims.size);
        for (const auto& [offset, claim] : claims.bytes) region->u8(offset, claim.byte);
        if (const auto at = failingStart(claims.failure)) {
            if (section == kPlain)
                layout.tablesAt[static_cast<unsigned>(table)] = *at;
            else
                layout.sectionsAt[{static_cast<unsigned>(table), static_cast<unsigned>(section)}] =
                    *at;
        }
    }
    return layout;
}

}  // namespace zel::tool
