#include "build_osdb.h"

#include <ZelComFuncDbaseResults.h>

#include <algorithm>
#include <set>

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
    OsdbBuilder(const ModelOsPair& pair, const std::string& path, Refusals& refusals)
        : m_pair(pair),
          m_path(path),
          m_refusals(refusals),
          m_claims(osdbByteOrder(pair.cpuCode), pair.osdbName) {}

    writer::Bytes build(const Json& osdb);

  private:
    void reserveReach();
    void placeSpec();
    // The map row of a described item; none for an item given only as a
    // result code. Refuses item numbers beyond the map, repeated items,
    // values for absent items and results no built file gives.
    std::optional<MapRow> describedRow(AddressReader reader, const Json& item,
                                       const std::string& path, std::set<int>& seen, short& number);
    void itemResult(const AddressReaderInfo& info, const MapRow& row, short result,
                    const std::string& path);
    // A result in place of one entry or memory value whose reads end at
    // readsEnd in its table or section.
    void entryResult(int table, int section, Pos readsEnd, const Json& entry,
                     const std::string& path) {
        allowKeys(entry, path, {key::kResult});
        m_claims.fail(table, section, resultCode(entry, path), readsEnd, path);
    }
    Pos readsEnd(AddressReader reader, const MapRow& row, std::size_t entryIndex) const {
        return readerSpan(reader, m_pair.cpuCode, row, static_cast<int>(entryIndex) + 1).end;
    }
    // The number of entries the dump shows for a row; refuses more.
    void checkEntryCount(const MapRow& row, std::size_t given, const std::string& path);
    // Calls place(item, its path, its number, its map row) for every item of
    // a reader's list that is described with values, once the item's keys
    // are among `keys`.
    using ItemPlacer = void (OsdbBuilder::*)(const Json& item, const std::string& at, short number,
                                             const MapRow& row);
    void eachItem(AddressReader reader, const Json& items, const std::string& path,
                  std::initializer_list<const char*> keys, ItemPlacer place);
    // What each address reader's described item places: its fields in its
    // row, or results in place of its entries.
    void word2Item(const Json& item, const std::string& at, short number, const MapRow& row);
    void word3Item(const Json& item, const std::string& at, short number, const MapRow& row);
    void bit4Item(const Json& item, const std::string& at, short number, const MapRow& row);
    void bit5Item(const Json& item, const std::string& at, short number, const MapRow& row);
    void memory(const Json& kinds, const std::string& path);
    void describedKind(const Json& given, const std::string& at, std::set<int>& seen);
    std::string label(const std::string& what, std::int64_t value) const {
        return what + " (" + std::to_string(value) + ")";
    }

    ModelOsPair m_pair;
    std::string m_path;
    Refusals& m_refusals;  // what each item refuses; the next item is read still
    FieldClaims m_claims;
    CpuSpecAnswer m_spec;
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
                std::max(entryBound(row, m_spec.values), static_cast<int>(slotsOf(cpu, row)));
            m_claims.reserve(row.table, row.section,
                             readerSpan(info.reader, cpu, row, entries).end);
        }
    }
}

void OsdbBuilder::placeSpec() {
    for (int i = 0; i < kCpuSpecValues; ++i) {
        const CpuSpecPlace& p = kCpuSpecPlaces[i];
        m_claims.put(p.table, p.section, p.offset, p.width, bits(m_spec.values[i]),
                     label("cpuSpec value " + std::to_string(i), m_spec.values[i]));
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
        throw ToolError(keyPointer(path, key::kItem) + ": item " + std::to_string(number) +
                        " is described twice");
    const MapRow row = *itemRow(reader, cpu, number);
    const AddressReaderInfo& info = readerInfo(reader);
    if (isResult(item)) {
        allowKeys(item, path, {key::kItem, key::kResult});
        itemResult(info, row, resultCode(item, path), path);
        return std::nullopt;
    }
    if (isAbsent(row)) {
        throw ToolError(path + ": " + info.key + " item " + std::to_string(number) +
                        " is absent for CPU code " + std::to_string(cpu) +
                        "; it can hold no values");
    }
    if (info.hasEntries && m_spec.result != ZEL_OK && item.size() > 1) {
        refuseResult(keyPointer(m_path, key::kCpuSpec), m_spec.result,
                     path + " gives values, but " + info.entryPoint +
                         " reads the CPU specification values first and answers their result");
    }
    return row;
}

// An absent item answers -2 from any file. DbTb2 and DbTb4 read the CPU
// specification values before the item and answer their failure for the
// whole item; DbTb3 and DbTb5 answer the failure of the item's section.
void OsdbBuilder::itemResult(const AddressReaderInfo& info, const MapRow& row, short result,
                             const std::string& path) {
    const std::string reader = info.entryPoint;
    if (isAbsent(row)) {
        if (result != ZEL_ABSENT)
            refuseResult(path, result,
                         "the item is absent for CPU code " + std::to_string(m_pair.cpuCode) +
                             ": " + reader + " answers -2 for it from any file");
        return;
    }
    if (!info.hasEntries) {
        m_claims.fail(row.table, row.section, result, readsEnd(info.reader, row, 0), path);
        return;
    }
    if (m_spec.result == ZEL_OK)
        refuseResult(path, result,
                     reader +
                         " answers for a whole item only where the CPU specification "
                         "values fail; give the results of its entries instead");
    if (result != m_spec.result)
        refuseResult(path, result,
                     "the CPU specification values answer " + std::to_string(m_spec.result) +
                         ", and " + reader + " reads them first");
}

void OsdbBuilder::checkEntryCount(const MapRow& row, std::size_t given, const std::string& path) {
    const int shown = shownEntries(m_pair.cpuCode, row, m_spec.values);
    if (given > static_cast<std::size_t>(shown)) {
        throw ToolError(path + ": " + std::to_string(given) + " entries, but the row holds " +
                        std::to_string(shown) + " (entry bound " +
                        std::to_string(entryBound(row, m_spec.values)) + ", slot count " +
                        std::to_string(slotsOf(m_pair.cpuCode, row)) + ")");
    }
}

void OsdbBuilder::eachItem(AddressReader reader, const Json& items, const std::string& path,
                           std::initializer_list<const char*> keys, ItemPlacer place) {
    std::set<int> seen;
    for (std::size_t i = 0; i < requireArray(items, path).size(); ++i) {
        m_refusals.attempt([&] {
            const std::string at = indexPointer(path, i);
            short number = 0;
            const auto row = describedRow(reader, items[i], at, seen, number);
            if (!row) return;
            allowKeys(items[i], at, keys);
            (this->*place)(items[i], at, number, *row);
        });
    }
}

void OsdbBuilder::word2Item(const Json& item, const std::string& at, short number,
                            const MapRow& row) {
    const std::string name = "dbTb2 item " + std::to_string(number);
    const Pos rowAt = word2Row(m_pair.cpuCode, row);
    if (const Json* head = member(item, key::kHeadWord)) {
        const auto h = requireInt(*head, keyPointer(at, key::kHeadWord), 0, 65535);
        m_claims.put(row.table, row.section, rowAt, kHeadWordBytes, bits(h),
                     label(name + " headWord", h));
    }
    const Json* addresses = member(item, key::kAddresses);
    if (!addresses) return;
    const std::string apath = keyPointer(at, key::kAddresses);
    checkEntryCount(row, requireArray(*addresses, apath).size(), apath);
    for (std::size_t e = 0; e < addresses->size(); ++e) {
        const Json& a = (*addresses)[e];
        if (isResult(a)) {
            entryResult(row.table, row.section, readsEnd(AddressReader::word2, row, e), a,
                        indexPointer(apath, e));
            continue;
        }
        const auto v = requireInt(a, indexPointer(apath, e), kInt32Min, kInt32Max);
        const int entry = static_cast<int>(e) + 1;
        m_claims.put(row.table, row.section, word2Address(rowAt, entry), kAddressBytes, bits(v),
                     label(name + " entry " + std::to_string(entry) + " address", v));
    }
}

void OsdbBuilder::word3Item(const Json& item, const std::string& at, short number,
                            const MapRow& row) {
    const std::string name = "dbTb3 item " + std::to_string(number);
    const Pos recordAt = word3Record(m_pair.cpuCode, row);
    const auto h = optionalMemberInt(item, at, key::kHeadWord, 0, 65535, 0);
    const auto a = optionalMemberInt(item, at, key::kAddress, kInt32Min, kInt32Max, 0);
    m_claims.put(row.table, row.section, recordAt, kHeadWordBytes, bits(h),
                 label(name + " headWord", h));
    m_claims.put(row.table, row.section, recordAt + kRecordAddressAt, kAddressBytes, bits(a),
                 label(name + " address", a));
}

void OsdbBuilder::bit4Item(const Json& item, const std::string& at, short number,
                           const MapRow& row) {
    const short cpu = m_pair.cpuCode;
    const Json* list = member(item, key::kBits);
    if (!list) return;
    const std::string bpath = keyPointer(at, key::kBits);
    checkEntryCount(row, requireArray(*list, bpath).size(), bpath);
    const std::string name = "dbTb4 item " + std::to_string(number);
    for (std::size_t e = 0; e < list->size(); ++e) {
        const Json& b = (*list)[e];
        const std::string epath = indexPointer(bpath, e);
        if (isResult(b)) {
            entryResult(row.table, row.section, readsEnd(AddressReader::bit4, row, e), b, epath);
            continue;
        }
        requireObject(b, epath);
        allowKeys(b, epath, {key::kAddress, key::kBitMask});
        const int entry = static_cast<int>(e) + 1;
        const auto address = requireMemberInt(b, epath, key::kAddress, kInt32Min, kInt32Max);
        const auto mask = requireMemberInt(b, epath, key::kBitMask, 0, 255);
        const std::string entryName = name + " entry " + std::to_string(entry);
        // In the two-bit field section the reader reads a W that no entry stores.
        m_claims.need(row.table, row.section, readsEnd(AddressReader::bit4, row, e), entryName);
        const Pos slot = bit4Slot(cpu, row, entry);
        if (!isTwoBitRow(row)) {
            // The canonical (V, W) of a byte address and a one-byte mask.
            m_claims.put(row.table, row.section, slot, kAddressBytes, bits(address),
                         label(entryName + " address", address));
            m_claims.put(row.table, row.section, slot + kMaskAt, kMaskBytes, bits(mask),
                         label(entryName + " bitMask", mask));
            continue;
        }
        // Two-bit field section: the row holds one V; the entry number
        // fixes the mask and the address step.
        const std::uint16_t twoBit = twoBitItemMask(cpu, number, entry);
        const BitAddress expected = splitBytes(0, twoBit);
        if (mask != expected.bitMask) {
            throw ToolError(keyPointer(epath, key::kBitMask) + ": " + std::to_string(mask) +
                            " is not the mask " + std::to_string(expected.bitMask) + " that item " +
                            std::to_string(number) + " has for entry " + std::to_string(entry) +
                            " (in the two-bit field section the mask follows from the entry)");
        }
        const Pos v = static_cast<Pos>(address) - twoBitAddressStep(cpu, entry) -
                      static_cast<Pos>(expected.address);
        m_claims.put(row.table, row.section, slot, kAddressBytes, v,
                     entryName + " (address " + std::to_string(address) +
                         ", so the row's first address is " + std::to_string(asSigned32(v)) + ")");
    }
}

void OsdbBuilder::bit5Item(const Json& item, const std::string& at, short number,
                           const MapRow& row) {
    const std::string name = "dbTb5 item " + std::to_string(number);
    const auto address = optionalMemberInt(item, at, key::kAddress, kInt32Min, kInt32Max, 0);
    const auto mask = optionalMemberInt(item, at, key::kBitMask, 0, 255, 0);
    const Pos p = bit5Row(m_pair.cpuCode, row);
    m_claims.put(row.table, row.section, p, kAddressBytes, bits(address),
                 label(name + " address", address));
    m_claims.put(row.table, row.section, p + kMaskAt, kMaskBytes, bits(mask),
                 label(name + " bitMask", mask));
}

void OsdbBuilder::memory(const Json& kinds, const std::string& path) {
    std::set<int> seen;
    for (std::size_t i = 0; i < requireArray(kinds, path).size(); ++i)
        m_refusals.attempt([&] { describedKind(kinds[i], indexPointer(path, i), seen); });
}

void OsdbBuilder::describedKind(const Json& given, const std::string& at, std::set<int>& seen) {
    const Json& k = requireObject(given, at);
    const auto kind = static_cast<int>(requireMemberInt(k, at, key::kKind, 0, kMemoryKinds - 1));
    if (!seen.insert(kind).second)
        throw ToolError(keyPointer(at, key::kKind) + ": kind " + std::to_string(kind) +
                        " is described twice");
    const MemoryKindInfo& info = memoryKind(kind);
    const int section = info.inSection0 ? 0 : kPlain;
    if (isResult(k)) {
        allowKeys(k, at, {key::kKind, key::kResult});
        const short result = resultCode(k, at);
        if (info.served)
            refuseResult(at, result,
                         "CDbTbMem answers for each index of a memory kind it serves; give "
                         "the results in its values");
        if (result != ZEL_REFUSED)
            refuseResult(
                at, result,
                "CDbTbMem answers -1 for memory kind " + std::to_string(kind) + " from any file");
        return;
    }
    allowKeys(k, at, {key::kKind, key::kValues});
    const Json* values = member(k, key::kValues);
    if (!values) return;
    const std::string vpath = keyPointer(at, key::kValues);
    if (!info.served && !requireArray(*values, vpath).empty())
        throw ToolError(vpath + ": memory kind " + std::to_string(kind) + " has no values");
    if (requireArray(*values, vpath).size() > static_cast<std::size_t>(info.highestIndex + 1)) {
        throw ToolError(vpath + ": " + std::to_string(values->size()) +
                        " values, but memory kind " + std::to_string(kind) + " has " +
                        std::to_string(info.highestIndex + 1));
    }
    for (std::size_t index = 0; index < values->size(); ++index) {
        const Json& v = (*values)[index];
        if (isResult(v)) {
            entryResult(info.table, section,
                        memoryEntryAt(static_cast<short>(index)) + kMemoryEntryBytes, v,
                        indexPointer(vpath, index));
            continue;
        }
        const auto n = requireInt(v, indexPointer(vpath, index), kInt32Min, kInt32Max);
        m_claims.put(
            info.table, section, memoryEntryAt(static_cast<short>(index)), kMemoryEntryBytes,
            bits(n),
            label("memory kind " + std::to_string(kind) + " index " + std::to_string(index), n));
    }
}

writer::Bytes OsdbBuilder::build(const Json& osdb) {
    requireObject(osdb, m_path);
    allowKeys(osdb, m_path, {key::kCpuSpec, "dbTb2", "dbTb3", "dbTb4", "dbTb5", key::kMemory});
    m_spec = cpuSpecOf(osdb, m_path);
    reserveReach();
    if (m_spec.result == ZEL_OK) {
        placeSpec();
    } else {
        // CpuSpec fails at its first read of a value, and so does every
        // reader that asks it first.
        const CpuSpecPlace& first = kCpuSpecPlaces[kCpuSpecReadOrder[0]];
        m_claims.fail(first.table, first.section, m_spec.result, 0,
                      keyPointer(m_path, key::kCpuSpec));
    }
    auto items = [&](AddressReader reader, std::initializer_list<const char*> keys,
                     ItemPlacer place) {
        const char* k = readerInfo(reader).key;
        if (const Json* v = member(osdb, k))
            eachItem(reader, *v, keyPointer(m_path, k), keys, place);
    };
    items(AddressReader::word2, {key::kItem, key::kHeadWord, key::kAddresses},
          &OsdbBuilder::word2Item);
    items(AddressReader::word3, {key::kItem, key::kHeadWord, key::kAddress},
          &OsdbBuilder::word3Item);
    items(AddressReader::bit4, {key::kItem, key::kBits}, &OsdbBuilder::bit4Item);
    items(AddressReader::bit5, {key::kItem, key::kAddress, key::kBitMask}, &OsdbBuilder::bit5Item);
    if (const Json* v = member(osdb, key::kMemory)) memory(*v, keyPointer(m_path, key::kMemory));
    return writer::buildOsdb(m_claims.layout(), osdbByteOrder(m_pair.cpuCode));
}

}  // namespace

CpuSpecAnswer cpuSpecOf(const Json& osdb, const std::string& path) {
    CpuSpecAnswer answer;
    answer.result = ZEL_OK;
    const Json* values = osdb.is_object() ? member(osdb, key::kCpuSpec) : nullptr;
    if (!values) return answer;
    const std::string vpath = keyPointer(path, key::kCpuSpec);
    if (isResult(*values)) {
        allowKeys(*values, vpath, {key::kResult});
        answer.result = resultCode(*values, vpath);
        if (answer.result == kFileNotFound)
            refuseResult(vpath, answer.result,
                         "a file that is not there answers 102 everywhere; give the whole part "
                         "as that result");
        if (!failingStart(answer.result)) refuseResult(vpath, answer.result, kFailingResults);
        return answer;
    }
    if (!requireArray(*values, vpath).size() || values->size() != kCpuSpecValues)
        throw ToolError(vpath + ": expected six values");
    for (int i = 0; i < kCpuSpecValues; ++i) {
        const unsigned width = kCpuSpecPlaces[i].width;
        answer.values[i] = static_cast<std::int32_t>(
            requireInt((*values)[static_cast<std::size_t>(i)],
                       indexPointer(vpath, static_cast<std::size_t>(i)), lowestCpuSpecValue(width),
                       highestCpuSpecValue(width)));
    }
    return answer;
}

writer::Bytes buildOsdbFile(const Json& osdb, const std::string& path, const ModelOsPair& pair,
                            Refusals& refusals) {
    return OsdbBuilder(pair, path, refusals).build(osdb);
}

}  // namespace zel::tool
