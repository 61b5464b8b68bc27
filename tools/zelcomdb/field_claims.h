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
    // A value whose reads reach `end` in a table or section, beyond the
    // fields it stores (put() counts those).
    void need(int table, int section, Pos end, const std::string& origin);
    // Asks that reads of a plain table or a section reaching `readsEnd` fail
    // with `result`; `origin` is the JSON path of the result entry. Where no
    // value is read from it, every read there fails (failing_place.h); for
    // 114 (the end of the file) the file may instead end inside it, after
    // all its values and before every result, in one place per file.
    // Another result asked of the same place, or values that no layout
    // keeps apart from the result, are refused naming the entry.
    void fail(int table, int section, short result, Pos readsEnd, const std::string& origin);

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
        Pos valuesEnd = 0;      // where the reads of its values end
        std::string lastValue;  // the value read furthest into it
        short failure = 0;      // the result asked of it; 0 for none
        Pos failsFrom = 0;      // where the reads of the first failing entry end
        std::string failedFor;  // the JSON path of that entry
    };
    RegionClaims& region(int table, int section, Pos end);
    void placeFailure(int table, int section, const RegionClaims& r,
                      writer::OsdbLayout& layout) const;

    ByteOrder m_order;
    std::string m_fileName;
    std::map<std::pair<int, int>, RegionClaims> m_regions;
    std::vector<std::string> m_origins;
};

// "table 6 section 7" or "table 1".
std::string regionName(int table, int section);

}  // namespace zel::tool

#endif
