#include "field_claims.h"

#include <ZelComFuncDbaseResults.h>

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

void FieldClaims::need(int table, int section, Pos end, const std::string& origin) {
    RegionClaims& r = region(table, section, end);
    if (end > r.valuesEnd) {
        r.valuesEnd = end;
        r.lastValue = origin;
    }
}

void FieldClaims::reserve(int table, int section, Pos size) { region(table, section, size); }

void FieldClaims::put(int table, int section, Pos offset, unsigned width, std::uint32_t value,
                      const std::string& origin) {
    need(table, section, offset + width, origin);
    RegionClaims& r = region(table, section, offset + width);
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

void FieldClaims::fail(int table, int section, short result, Pos readsEnd,
                       const std::string& origin) {
    if (!failingStart(result)) refuseResult(origin, result, kFailingResults);
    RegionClaims& r = region(table, section, 0);
    if (r.failure != 0 && r.failure != result) {
        refuseResult(origin, result,
                     r.failedFor + " asks " + std::to_string(r.failure) + " of the same place (" +
                         m_fileName + " " + regionName(table, section) + ")");
    }
    if (r.failure == 0 || readsEnd < r.failsFrom) {
        r.failsFrom = readsEnd;
        r.failedFor = origin;
    }
    r.failure = result;
}

// A table or section where results are asked: where no value is read from
// it, the readers find it at a failing position; where values lie before
// every result and the result is the end of the file, the file ends inside
// it (one place per file); otherwise the result cannot be given back.
void FieldClaims::placeFailure(int table, int section, const RegionClaims& r,
                               writer::OsdbLayout& layout) const {
    const std::string place = m_fileName + " " + regionName(table, section);
    const bool endsFile = r.failure == ZEL_FILE_END_OF_FILE;
    if (r.valuesEnd == 0) {
        if (section == kPlain)
            layout.tablesAt[static_cast<unsigned>(table)] = *failingStart(r.failure);
        else
            layout.sectionsAt[{static_cast<unsigned>(table), static_cast<unsigned>(section)}] =
                *failingStart(r.failure);
    } else if (!endsFile) {
        refuseResult(r.failedFor, r.failure,
                     r.lastValue + " is read from the same place (" + place +
                         "), and its reads would fail too");
    } else if (r.valuesEnd >= r.failsFrom) {
        refuseResult(r.failedFor, r.failure,
                     r.lastValue + " lies after it in the same place (" + place +
                         "), so no end of the file falls between them");
    } else if (layout.endsInside) {
        refuseResult(
            r.failedFor, r.failure,
            "the file can end inside one table or section only, and it ends in " +
                regionName(static_cast<int>(layout.endsInside->table), layout.endsInside->section));
    } else {
        layout.endsInside = writer::EndsInside{static_cast<unsigned>(table), section, r.valuesEnd};
    }
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
        if (claims.failure != 0) placeFailure(table, section, claims, layout);
    }
    return layout;
}

}  // namespace zel::tool
