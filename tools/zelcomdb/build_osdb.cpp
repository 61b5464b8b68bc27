#include "build_osdb.h"

#include <algorithm>
#include <set>

#include "accessor/result_codes.h"
#include "field_claims.h"
#include "format/bytes.h"
#include "format/cpu_spec_values.h"
#include "tool_error.h"

namespace zel::tool {
namespace {

constexpr std::int64_t kInt32Min = -2147483648LL;
constexpr std::int64_t kInt32Max = 2147483647LL;

std::uint32_t bits(std::int64_t v) { return static_cast<std::uint32_t>(v); }

class OsdbBuilder {
  public:
    OsdbBuilder(const ModelOsPair& pair, const std::string& path)
        : m_pair(pair), m_path(path), m_claims(osdbByteOrder(pair.cpuCode), pair.osdbName) {}

    writer::Bytes build(const Json& osdb);

  private:
    void reserveReach();
    void placeSpec();
    // The map row of a described item; none for an item given only as a
    // result code. Refuses item numbers beyond the map, repeated items and
    // values for absent items.
    std::optional<MapRow> describedRow(AddressReader reader, const Json& item,
                                       const std::string& path, std::set<int>& seen, short& number);
    // The number of entries the dump shows for a row; refuses more.
    void checkEntryCount(const MapRow& row, std::size_t given, const std::string& path);
    void words2(const Json& items, const std::string& path);
    void words3(const Json& items, const std::string& path);
    void bits4(const Json& items, const std::string& path);
    void bits5(const Json& items, const std::string& path);
    void memory(const Json& kinds, const std::string& path);
    std::string label(const std::string& what, std::int64_t value) const {
        return what + " (" + std::to_string(value) + ")";
    }

    ModelOsPair m_pair;
    std::string m_path;
    FieldClaims m_claims;
    CpuSpecValues m_spec = {};
};

void OsdbBuilder::reserveReach() {
    for (const SectionedTable& st : kSectionedTables)
        for (int s = 0; s < st.sections; ++s) m_claims.reserve(st.table, s, 0);
    for (const CpuSpecPlace& p : kCpuSpecPlaces)
        m_claims.reserve(p.table, p.section, p.offset + p.width);
    for (int kind = 0; kind < kMemoryKinds; ++kind) {
        const MemoryKindInfo& m = memoryKind(kind);
        if (m.served)
            m_claims.reserve(m.table, m.inSection0 ? 0 : kPlain,
                             kMemoryEntryBytes * static_cast<Pos>(m.highestIndex + 1));
    }
    const short cpu = m_pair.cpuCode;
    for (const AddressReaderInfo& info : kAddressReaders) {
        for (short item = 0; item <= lastItem(info.reader, cpu); ++item) {
            const MapRow row = *itemRow(info.reader, cpu, item);
            if (isAbsent(row)) continue;
            // Every entry up to the bound, even where it runs past the slot
            // count into the next row, lies inside the file.
            const int entries =
                std::max(entryBound(row, m_spec), static_cast<int>(slotsOf(cpu, row)));
            m_claims.reserve(row.table, row.section,
                             readerSpan(info.reader, cpu, row, entries).end);
        }
    }
}

void OsdbBuilder::placeSpec() {
    for (int i = 0; i < kCpuSpecValues; ++i) {
        const CpuSpecPlace& p = kCpuSpecPlaces[i];
        m_claims.put(p.table, p.section, p.offset, p.width, bits(m_spec[i]),
                     label("cpuSpec value " + std::to_string(i), m_spec[i]));
    }
}

std::optional<MapRow> OsdbBuilder::describedRow(AddressReader reader, const Json& item,
                                                const std::string& path, std::set<int>& seen,
                                                short& number) {
    requireObject(item, path);
    const short cpu = m_pair.cpuCode;
    const short last = lastItem(reader, cpu);
    number = static_cast<short>(requireMemberInt(item, path, key::kItem, 0, last));
    if (!seen.insert(number).second)
        throw ToolError(childPath(path, key::kItem) + ": item " + std::to_string(number) +
                        " is described twice");
    const MapRow row = *itemRow(reader, cpu, number);
    if (isResult(item)) {
        allowKeys(item, path, {key::kItem, key::kResult});
        // An absent item answers -2 from any file; every other item answers
        // with a value from a built file.
        if (!isAbsent(row) || requireMemberInt(item, path, key::kResult, -32768, 32767) != kAbsent)
            refuseResult(item, path);
        return std::nullopt;
    }
    if (isAbsent(row)) {
        throw ToolError(path + ": " + readerInfo(reader).key + " item " + std::to_string(number) +
                        " is absent for CPU code " + std::to_string(cpu) +
                        "; it can hold no values");
    }
    return row;
}

void OsdbBuilder::checkEntryCount(const MapRow& row, std::size_t given, const std::string& path) {
    const int shown = shownEntries(m_pair.cpuCode, row, m_spec);
    if (given > static_cast<std::size_t>(shown)) {
        throw ToolError(path + ": " + std::to_string(given) + " entries, but the row holds " +
                        std::to_string(shown) + " (entry bound " +
                        std::to_string(entryBound(row, m_spec)) + ", slot count " +
                        std::to_string(slotsOf(m_pair.cpuCode, row)) + ")");
    }
}

void OsdbBuilder::words2(const Json& items, const std::string& path) {
    std::set<int> seen;
    for (std::size_t i = 0; i < requireArray(items, path).size(); ++i) {
        const std::string at = indexPath(path, i);
        short number = 0;
        const auto row = describedRow(AddressReader::word2, items[i], at, seen, number);
        if (!row) continue;
        allowKeys(items[i], at, {key::kItem, key::kHeadWord, key::kAddresses});
        const std::string name = "dbTb2 item " + std::to_string(number);
        const Pos rowAt = word2Row(m_pair.cpuCode, *row);
        if (const Json* head = member(items[i], key::kHeadWord)) {
            const auto h = requireInt(*head, childPath(at, key::kHeadWord), 0, 65535);
            m_claims.put(row->table, row->section, rowAt, kHeadWordBytes, bits(h),
                         label(name + " headWord", h));
        }
        const Json* addresses = member(items[i], key::kAddresses);
        if (!addresses) continue;
        const std::string apath = childPath(at, key::kAddresses);
        checkEntryCount(*row, requireArray(*addresses, apath).size(), apath);
        for (std::size_t e = 0; e < addresses->size(); ++e) {
            const Json& a = (*addresses)[e];
            if (isResult(a)) refuseResult(a, indexPath(apath, e));
            const auto v = requireInt(a, indexPath(apath, e), kInt32Min, kInt32Max);
            const int entry = static_cast<int>(e) + 1;
            m_claims.put(row->table, row->section, word2Address(rowAt, entry), kAddressBytes,
                         bits(v), label(name + " entry " + std::to_string(entry) + " address", v));
        }
    }
}

void OsdbBuilder::words3(const Json& items, const std::string& path) {
    std::set<int> seen;
    for (std::size_t i = 0; i < requireArray(items, path).size(); ++i) {
        const std::string at = indexPath(path, i);
        short number = 0;
        const auto row = describedRow(AddressReader::word3, items[i], at, seen, number);
        if (!row) continue;
        allowKeys(items[i], at, {key::kItem, key::kHeadWord, key::kAddress});
        const std::string name = "dbTb3 item " + std::to_string(number);
        const Pos recordAt = word3Record(m_pair.cpuCode, *row);
        const auto h = optionalMemberInt(items[i], at, key::kHeadWord, 0, 65535, 0);
        const auto a = optionalMemberInt(items[i], at, key::kAddress, kInt32Min, kInt32Max, 0);
        m_claims.put(row->table, row->section, recordAt, kHeadWordBytes, bits(h),
                     label(name + " headWord", h));
        m_claims.put(row->table, row->section, recordAt + kRecordAddressAt, kAddressBytes, bits(a),
                     label(name + " address", a));
    }
}

void OsdbBuilder::bits4(const Json& items, const std::string& path) {
    std::set<int> seen;
    const short cpu = m_pair.cpuCode;
    for (std::size_t i = 0; i < requireArray(items, path).size(); ++i) {
        const std::string at = indexPath(path, i);
        short number = 0;
        const auto row = describedRow(AddressReader::bit4, items[i], at, seen, number);
        if (!row) continue;
        allowKeys(items[i], at, {key::kItem, key::kBits});
        const Json* list = member(items[i], key::kBits);
        if (!list) continue;
        const std::string bpath = childPath(at, key::kBits);
        checkEntryCount(*row, requireArray(*list, bpath).size(), bpath);
        const std::string name = "dbTb4 item " + std::to_string(number);
        for (std::size_t e = 0; e < list->size(); ++e) {
            const Json& b = (*list)[e];
            if (isResult(b)) refuseResult(b, indexPath(bpath, e));
            const std::string epath = indexPath(bpath, e);
            requireObject(b, epath);
            allowKeys(b, epath, {key::kAddress, key::kBitMask});
            const int entry = static_cast<int>(e) + 1;
            const auto address = requireMemberInt(b, epath, key::kAddress, kInt32Min, kInt32Max);
            const auto mask = requireMemberInt(b, epath, key::kBitMask, 0, 255);
            const std::string entryName = name + " entry " + std::to_string(entry);
            const Pos slot = bit4Slot(cpu, *row, entry);
            if (!isTwoBitRow(*row)) {
                // The canonical (V, W) of a byte address and a one-byte mask.
                m_claims.put(row->table, row->section, slot, kAddressBytes, bits(address),
                             label(entryName + " address", address));
                m_claims.put(row->table, row->section, slot + kMaskAt, kMaskBytes, bits(mask),
                             label(entryName + " bitMask", mask));
                continue;
            }
            // Two-bit field section: the row holds one V; the entry number
            // fixes the mask and the address step.
            const std::uint16_t twoBit = twoBitItemMask(cpu, number, entry);
            const BitAddress expected = splitBytes(0, twoBit);
            if (mask != expected.bitMask) {
                throw ToolError(childPath(epath, key::kBitMask) + ": " + std::to_string(mask) +
                                " is not the mask " + std::to_string(expected.bitMask) +
                                " that item " + std::to_string(number) + " has for entry " +
                                std::to_string(entry) +
                                " (in the two-bit field section the mask follows from the entry)");
            }
            const Pos v = static_cast<Pos>(address) - twoBitAddressStep(cpu, entry) -
                          static_cast<Pos>(expected.address);
            m_claims.put(row->table, row->section, slot, kAddressBytes, v,
                         entryName + " (address " + std::to_string(address) +
                             ", so the row's first address is " + std::to_string(asSigned32(v)) +
                             ")");
        }
    }
}

void OsdbBuilder::bits5(const Json& items, const std::string& path) {
    std::set<int> seen;
    for (std::size_t i = 0; i < requireArray(items, path).size(); ++i) {
        const std::string at = indexPath(path, i);
        short number = 0;
        const auto row = describedRow(AddressReader::bit5, items[i], at, seen, number);
        if (!row) continue;
        allowKeys(items[i], at, {key::kItem, key::kAddress, key::kBitMask});
        const std::string name = "dbTb5 item " + std::to_string(number);
        const auto address =
            optionalMemberInt(items[i], at, key::kAddress, kInt32Min, kInt32Max, 0);
        const auto mask = optionalMemberInt(items[i], at, key::kBitMask, 0, 255, 0);
        const Pos p = bit5Row(m_pair.cpuCode, *row);
        m_claims.put(row->table, row->section, p, kAddressBytes, bits(address),
                     label(name + " address", address));
        m_claims.put(row->table, row->section, p + kMaskAt, kMaskBytes, bits(mask),
                     label(name + " bitMask", mask));
    }
}

void OsdbBuilder::memory(const Json& kinds, const std::string& path) {
    std::set<int> seen;
    for (std::size_t i = 0; i < requireArray(kinds, path).size(); ++i) {
        const std::string at = indexPath(path, i);
        const Json& k = requireObject(kinds[i], at);
        const auto kind =
            static_cast<int>(requireMemberInt(k, at, key::kKind, 0, kMemoryKinds - 1));
        if (!seen.insert(kind).second)
            throw ToolError(childPath(at, key::kKind) + ": kind " + std::to_string(kind) +
                            " is described twice");
        if (isResult(k)) {
            allowKeys(k, at, {key::kKind, key::kResult});
            // A kind the reader does not serve answers -1 from any file.
            if (memoryKind(kind).served ||
                requireMemberInt(k, at, key::kResult, -32768, 32767) != kRefused)
                refuseResult(k, at);
            continue;
        }
        allowKeys(k, at, {key::kKind, key::kValues});
        const MemoryKindInfo& info = memoryKind(kind);
        const Json* values = member(k, key::kValues);
        if (!values) continue;
        const std::string vpath = childPath(at, key::kValues);
        if (!info.served && !requireArray(*values, vpath).empty())
            throw ToolError(vpath + ": memory kind " + std::to_string(kind) + " has no values");
        if (requireArray(*values, vpath).size() > static_cast<std::size_t>(info.highestIndex + 1)) {
            throw ToolError(vpath + ": " + std::to_string(values->size()) +
                            " values, but memory kind " + std::to_string(kind) + " has " +
                            std::to_string(info.highestIndex + 1));
        }
        for (std::size_t index = 0; index < values->size(); ++index) {
            const Json& v = (*values)[index];
            if (isResult(v)) refuseResult(v, indexPath(vpath, index));
            const auto n = requireInt(v, indexPath(vpath, index), kInt32Min, kInt32Max);
            m_claims.put(
                info.table, info.inSection0 ? 0 : kPlain, memoryEntryAt(static_cast<short>(index)),
                kMemoryEntryBytes, bits(n),
                label("memory kind " + std::to_string(kind) + " index " + std::to_string(index),
                      n));
        }
    }
}

writer::Bytes OsdbBuilder::build(const Json& osdb) {
    requireObject(osdb, m_path);
    allowKeys(osdb, m_path, {key::kCpuSpec, "dbTb2", "dbTb3", "dbTb4", "dbTb5", key::kMemory});
    cpuSpecOf(osdb, m_path, m_spec);
    reserveReach();
    placeSpec();
    auto part = [&](const char* k, void (OsdbBuilder::*place)(const Json&, const std::string&)) {
        if (const Json* v = member(osdb, k)) (this->*place)(*v, childPath(m_path, k));
    };
    part("dbTb2", &OsdbBuilder::words2);
    part("dbTb3", &OsdbBuilder::words3);
    part("dbTb4", &OsdbBuilder::bits4);
    part("dbTb5", &OsdbBuilder::bits5);
    part(key::kMemory, &OsdbBuilder::memory);
    return writer::buildOsdb(m_claims.layout(), osdbByteOrder(m_pair.cpuCode));
}

}  // namespace

void cpuSpecOf(const Json& osdb, const std::string& path, CpuSpecValues& cpuValues) {
    std::fill(cpuValues, cpuValues + kCpuSpecValues, 0);
    const Json* values = osdb.is_object() ? member(osdb, key::kCpuSpec) : nullptr;
    if (!values) return;
    const std::string vpath = childPath(path, key::kCpuSpec);
    if (isResult(*values)) refuseResult(*values, vpath);
    if (!requireArray(*values, vpath).size() || values->size() != kCpuSpecValues)
        throw ToolError(vpath + ": expected six values");
    for (int i = 0; i < kCpuSpecValues; ++i) {
        const unsigned width = kCpuSpecPlaces[i].width;
        cpuValues[i] = static_cast<std::int32_t>(requireInt(
            (*values)[static_cast<std::size_t>(i)], indexPath(vpath, static_cast<std::size_t>(i)),
            lowestCpuSpecValue(width), highestCpuSpecValue(width)));
    }
}

writer::Bytes buildOsdbFile(const Json& osdb, const std::string& path, const ModelOsPair& pair) {
    return OsdbBuilder(pair, path).build(osdb);
}

}  // namespace zel::tool
