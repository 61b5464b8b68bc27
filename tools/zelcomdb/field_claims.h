// The bytes of an OSDB file being laid out, each remembering the field that
// put it there. Items that the item maps send to the same place (items that
// share a map row, memory kinds 3 and 9, the two-bit items 83 and 84) must
// agree on every byte they share; a disagreement names both fields.
#ifndef ZELCOMDB_FIELD_CLAIMS_H
#define ZELCOMDB_FIELD_CLAIMS_H

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "format/bytes.h"
#include "format/directory.h"
#include "format/position.h"
#include "writer/db_writer.h"

namespace zel::tool {

class FieldClaims {
  public:
    FieldClaims(ByteOrder order, std::string fileName)
        : m_order(order), m_fileName(std::move(fileName)) {}

    // Stores a field of 1, 2 or 4 bytes in a plain table (section kPlain) or
    // a section of a sectioned table; throws ToolError when a byte is
    // already claimed with another value. `origin` names the field and its
    // value ("dbTb3 item 12 headWord 5").
    void put(int table, int section, Pos offset, unsigned width, std::uint32_t value,
             const std::string& origin);
    // Makes the table or section at least `size` bytes long (zeros).
    void reserve(int table, int section, Pos size);
    // Makes every read of a plain table or a section fail with `result`
    // (failing_place.h); `origin` is the JSON path of the result entry that
    // asks it. No field may then be stored there, and no other entry may
    // ask another result there: both are refused, naming the entry.
    void fail(int table, int section, short result, const std::string& origin);

    // The layout for the writer: every table and section reserved or claimed.
    writer::OsdbLayout layout() const;

  private:
    struct Claim {
        std::uint8_t byte;
        int origin;  // index into m_origins
    };
    struct RegionClaims {
        std::map<Pos, Claim> bytes;
        Pos size = 0;
        short failure = 0;      // the result its reads give; 0 for none
        std::string failedFor;  // the JSON path of the entry that asks it
    };
    RegionClaims& region(int table, int section, Pos end);
    // Why a field and a failure cannot share a place.
    std::string storedThere(const std::string& field, int table, int section) const;

    ByteOrder m_order;
    std::string m_fileName;
    std::map<std::pair<int, int>, RegionClaims> m_regions;
    std::vector<std::string> m_origins;
};

// "table 6 section 7" or "table 1".
std::string regionName(int table, int section);

}  // namespace zel::tool

#endif
