#include "dump.h"

#include <ZelComFuncDbase.h>

#include <algorithm>
#include <cstdint>
#include <functional>

#include "format/jqwdb_tables.h"
#include "osdb_geometry.h"

namespace zel::tool {
namespace {

constexpr short kFileNotFound = 102;
constexpr int kFirstFileError = 100;          // results from 100 on are file errors
constexpr std::ptrdiff_t kOsdbTableKeys = 6;  // cpuSpec .. memory, then the JQWDB tables

using Values = std::vector<std::int64_t>;

struct SpecRead {
    short result = -1;
    CpuSpecValues values = {};
};

// The item numbers or record indices to read: 0..last, or the one selected
// (even beyond last: the library's answer to it is then shown).
std::vector<int> numbersUpTo(int last, const DumpSelection& selection) {
    if (selection.item) return {*selection.item};
    std::vector<int> all;
    for (int n = 0; n <= last; ++n) all.push_back(n);
    return all;
}

// A selected record names its index: it no longer sits at that place of
// its array.
Json indexed(Json record, const DumpSelection& selection, int index) {
    if (!selection.item) return record;
    Json r = {{key::kIndex, index}};
    for (const auto& field : record.items()) r[field.key()] = field.value();
    return r;
}

class PairDumper {
  public:
    PairDumper(const std::string& dir, const ModelOsPair& pair, const DumpSelection& selection)
        : m_db(dir.c_str()),
          m_pair(pair),
          m_model(pair.model),
          m_os(pair.osNumber),
          m_selection(selection) {}

    Json osdb();
    Json jqwdb();

  private:
    Json words2();
    Json words3();
    Json bits4();
    Json bits5();
    Json memory();
    // Records 0.. of a JQWDB table until the index is refused; read(index,
    // values) is one call of the library.
    Json records(int table, const std::function<short(short, Values&)>& read);
    Json entryRecords(int table);
    Json backupTable();

    CZelComFuncDbase m_db;
    ModelOsPair m_pair;
    short m_model;
    short m_os;
    const DumpSelection& m_selection;
    SpecRead m_spec;
};

Json recordJson(const RecordLayout& shape, const Values& values) {
    Json record = Json::object();
    for (int i = 0; i < shape.count; ++i)
        record[shape.fields[i].name] = values[static_cast<std::size_t>(i)];
    return record;
}

Json bitJson(const DbBAd& b) {
    return Json{{key::kAddress, b.address}, {key::kBitMask, b.bitMask}};
}

Json PairDumper::osdb() {
    ZelLong values[kCpuSpecValues] = {};
    m_spec.result = m_db.CpuSpec(m_pair.cpuCode, m_pair.osType, values);
    for (int i = 0; i < kCpuSpecValues; ++i)
        m_spec.values[i] = static_cast<std::int32_t>(values[i]);
    if (m_spec.result == kFileNotFound) return resultJson(kFileNotFound);
    Json o = Json::object();
    if (m_selection.wants(key::kCpuSpec)) {
        if (m_spec.result == 0) {
            o[key::kCpuSpec] = Json::array();
            for (std::int32_t v : m_spec.values) o[key::kCpuSpec].push_back(v);
        } else {
            o[key::kCpuSpec] = resultJson(m_spec.result);
        }
    }
    if (m_selection.wants("dbTb2")) o["dbTb2"] = words2();
    if (m_selection.wants("dbTb3")) o["dbTb3"] = words3();
    if (m_selection.wants("dbTb4")) o["dbTb4"] = bits4();
    if (m_selection.wants("dbTb5")) o["dbTb5"] = bits5();
    if (m_selection.wants(key::kMemory)) o[key::kMemory] = memory();
    return o;
}

Json PairDumper::words2() {
    Json items = Json::array();
    for (const int number :
         numbersUpTo(lastItem(AddressReader::word2, m_pair.cpuCode), m_selection)) {
        const auto item = static_cast<short>(number);
        const auto mapped = itemRow(AddressReader::word2, m_pair.cpuCode, item);
        Json it = {{key::kItem, item}};
        DbAd out{};
        if (!mapped || isAbsent(*mapped) || m_spec.result != 0) {
            it[key::kResult] = m_db.CDbTb2(m_model, m_os, item, 1, &out);
            items.push_back(it);
            continue;
        }
        Json addresses = Json::array();
        bool haveHead = false;
        const int shown = shownEntries(m_pair.cpuCode, *mapped, m_spec.values);
        for (short entry = 1; entry <= shown; ++entry) {
            const short r = m_db.CDbTb2(m_model, m_os, item, entry, &out);
            if (r != 0) {
                addresses.push_back(resultJson(r));
                continue;
            }
            if (!haveHead) it[key::kHeadWord] = out.headWord;
            haveHead = true;
            addresses.push_back(out.address);
        }
        it[key::kAddresses] = addresses;
        items.push_back(it);
    }
    return items;
}

Json PairDumper::words3() {
    Json items = Json::array();
    for (const int number :
         numbersUpTo(lastItem(AddressReader::word3, m_pair.cpuCode), m_selection)) {
        const auto item = static_cast<short>(number);
        DbAd out{};
        const short r = m_db.CDbTb3(m_model, m_os, item, &out);
        if (r != 0)
            items.push_back({{key::kItem, item}, {key::kResult, r}});
        else
            items.push_back(
                {{key::kItem, item}, {key::kHeadWord, out.headWord}, {key::kAddress, out.address}});
    }
    return items;
}

Json PairDumper::bits4() {
    Json items = Json::array();
    for (const int number :
         numbersUpTo(lastItem(AddressReader::bit4, m_pair.cpuCode), m_selection)) {
        const auto item = static_cast<short>(number);
        const auto mapped = itemRow(AddressReader::bit4, m_pair.cpuCode, item);
        Json it = {{key::kItem, item}};
        DbBAd out{};
        if (!mapped || isAbsent(*mapped) || m_spec.result != 0) {
            it[key::kResult] = m_db.CDbTb4(m_model, m_os, item, 1, &out);
            items.push_back(it);
            continue;
        }
        Json bits = Json::array();
        const int shown = shownEntries(m_pair.cpuCode, *mapped, m_spec.values);
        for (short entry = 1; entry <= shown; ++entry) {
            const short r = m_db.CDbTb4(m_model, m_os, item, entry, &out);
            bits.push_back(r == 0 ? bitJson(out) : resultJson(r));
        }
        it[key::kBits] = bits;
        items.push_back(it);
    }
    return items;
}

Json PairDumper::bits5() {
    Json items = Json::array();
    for (const int number :
         numbersUpTo(lastItem(AddressReader::bit5, m_pair.cpuCode), m_selection)) {
        const auto item = static_cast<short>(number);
        DbBAd out{};
        const short r = m_db.CDbTb5(m_model, m_os, item, &out);
        Json it = {{key::kItem, item}};
        if (r != 0) {
            it[key::kResult] = r;
        } else {
            it[key::kAddress] = out.address;
            it[key::kBitMask] = out.bitMask;
        }
        items.push_back(it);
    }
    return items;
}

Json PairDumper::memory() {
    Json kinds = Json::array();
    for (const int number : numbersUpTo(kMemoryKinds - 1, m_selection)) {
        const auto kind = static_cast<short>(number);
        const bool known = kind >= 0 && kind < kMemoryKinds;
        const MemoryKindInfo& info = memoryKind(known ? kind : 0);
        ZelLong value = 0;
        Json k = {{key::kKind, kind}};
        if (!known || !info.served) {
            k[key::kResult] = m_db.CDbTbMem(m_model, m_os, kind, 0, &value);
            kinds.push_back(k);
            continue;
        }
        Json values = Json::array();
        for (short index = 0; index <= info.highestIndex; ++index) {
            const short r = m_db.CDbTbMem(m_model, m_os, kind, index, &value);
            if (r == 0)
                values.push_back(static_cast<std::int32_t>(value));
            else
                values.push_back(resultJson(r));
        }
        k[key::kValues] = values;
        kinds.push_back(k);
    }
    return kinds;
}

Json PairDumper::records(int table, const std::function<short(short, Values&)>& read) {
    Json list = Json::array();
    if (m_selection.item) {
        Values values;
        const short r = read(static_cast<short>(*m_selection.item), values);
        list.push_back(
            indexed(r == 0 ? recordJson(kJqwdbTables[table].layout, values) : resultJson(r),
                    m_selection, *m_selection.item));
        return list;
    }
    for (int index = 0; index <= kHighestRecordIndex; ++index) {
        Values values;
        const short r = read(static_cast<short>(index), values);
        if (r == -1) break;
        // Before a first record the table as a whole did not answer.
        if (index == 0 && r != 0) return resultJson(r);
        list.push_back(r == 0 ? recordJson(kJqwdbTables[table].layout, values) : resultJson(r));
    }
    return list;
}

Json PairDumper::entryRecords(int table) {
    const short first = 1;
    if (m_spec.result != 0) {
        // CPdbTb2 and CPdbTb4 pass CpuSpec's failure on.
        PdbWD w{};
        PdbBD b{};
        const short r = table == 2 ? m_db.CPdbTb2(m_model, m_os, 0, first, &w)
                                   : m_db.CPdbTb4(m_model, m_os, 0, first, &b);
        return resultJson(r);
    }
    const int bound = deviceEntryBound(m_spec.values[0], m_pair.osType);
    auto readEntry = [&](short index, short entry, Values& values) {
        if (table == 2) {
            PdbWD w{};
            const short r = m_db.CPdbTb2(m_model, m_os, index, entry, &w);
            values = {w.number, w.kind, w.extra};
            return r;
        }
        PdbBD b{};
        const short r = m_db.CPdbTb4(m_model, m_os, index, entry, &b);
        values = {b.number, b.kind};
        return r;
    };
    Json list = Json::array();
    if (bound < 1) return list;  // no entry number is accepted: no record can be read
    const int from = m_selection.item ? *m_selection.item : 0;
    const int to = m_selection.item ? *m_selection.item : kHighestRecordIndex;
    for (int index = from; index <= to; ++index) {
        Json entries = Json::array();
        Values values;
        const short r1 = readEntry(static_cast<short>(index), first, values);
        if (m_selection.item && r1 != 0) {
            list.push_back(indexed(resultJson(r1), m_selection, index));
            break;
        }
        if (r1 == -1) break;
        if (index == 0 && r1 != 0) return resultJson(r1);
        entries.push_back(r1 == 0 ? recordJson(kJqwdbTables[table].layout, values)
                                  : resultJson(r1));
        for (int entry = 2; entry <= bound; ++entry) {
            const short r = readEntry(static_cast<short>(index), static_cast<short>(entry), values);
            entries.push_back(r == 0 ? recordJson(kJqwdbTables[table].layout, values)
                                     : resultJson(r));
        }
        list.push_back(indexed({{key::kEntries, entries}}, m_selection, index));
    }
    return list;
}

Json PairDumper::backupTable() {
    ZelLong count = 0;
    const short r = m_db.GetPdbTb10ItemCount(m_model, m_os, &count);
    if (r != 0) return resultJson(r);
    Json items = Json::array();
    const auto n = static_cast<std::int32_t>(count);
    const std::int32_t from = m_selection.item ? *m_selection.item : 0;
    const std::int32_t to =
        m_selection.item ? *m_selection.item : std::min(n - 1, kHighestRecordIndex);
    for (std::int32_t index = from; index <= to; ++index) {
        PdbBkup b{};
        const short ri = m_db.CPdbTb10(m_model, m_os, static_cast<short>(index), &b);
        const Json item =
            ri != 0 ? resultJson(ri)
                    : recordJson(kJqwdbTables[kBackupTable].layout,
                                 {b.value1, b.value2, b.attr1, b.attr2, b.attr3, b.attr4, b.attr5});
        items.push_back(indexed(item, m_selection, index));
    }
    return Json{{key::kItemCount, n}, {key::kItems, items}};
}

Json PairDumper::jqwdb() {
    ZelLong count = 0;
    if (m_db.GetPdbTb10ItemCount(m_model, m_os, &count) == kFileNotFound)
        return resultJson(kFileNotFound);
    const short m = m_model, o = m_os;
    Json j = Json::object();
    if (m_selection.wants(pdbKey(0)))
        j[pdbKey(0)] = records(0, [&](short i, Values& v) {
            PdbJAd r{};
            const short res = m_db.CPdbTb0(m, o, i, &r);
            v = {r.value1, r.value2, r.word1, r.word2, r.attr1, r.attr2, r.word3};
            return res;
        });
    if (m_selection.wants(pdbKey(1)))
        j[pdbKey(1)] = records(1, [&](short i, Values& v) {
            PdbCAd r{};
            const short res = m_db.CPdbTb1(m, o, i, &r);
            v = {r.value1, r.value2, r.word1, r.attr1, r.attr2, r.word2};
            return res;
        });
    if (m_selection.wants(pdbKey(2))) j[pdbKey(2)] = entryRecords(2);
    if (m_selection.wants(pdbKey(3)))
        j[pdbKey(3)] = records(3, [&](short i, Values& v) {
            PdbWD r{};
            const short res = m_db.CPdbTb3(m, o, i, &r);
            v = {r.number, r.kind, r.extra};
            return res;
        });
    if (m_selection.wants(pdbKey(4))) j[pdbKey(4)] = entryRecords(4);
    if (m_selection.wants(pdbKey(5)))
        j[pdbKey(5)] = records(5, [&](short i, Values& v) {
            PdbBD r{};
            const short res = m_db.CPdbTb5(m, o, i, &r);
            v = {r.number, r.kind};
            return res;
        });
    for (int table : {6, 8}) {
        if (m_selection.wants(pdbKey(table)))
            j[pdbKey(table)] = records(table, [&](short i, Values& v) {
                PdbAnyWD r{};
                const short res =
                    table == 6 ? m_db.CPdbTb6(m, o, i, &r) : m_db.CPdbTb8(m, o, i, &r);
                v = {r.value1, r.word1, r.word2, r.attr1};
                return res;
            });
    }
    if (m_selection.wants(pdbKey(7)))
        j[pdbKey(7)] = records(7, [&](short i, Values& v) {
            PdbAnyBD r{};
            const short res = m_db.CPdbTb7(m, o, i, &r);
            v = {r.value1, r.word1, r.attr1, r.attr2, r.attr3};
            return res;
        });
    if (m_selection.wants(pdbKey(9)))
        j[pdbKey(9)] = records(9, [&](short i, Values& v) {
            PdbAnyPBD r{};
            const short res = m_db.CPdbTb9(m, o, i, &r);
            v = {r.value1, r.word1, r.attr1, r.attr2, r.attr3, r.attr4};
            return res;
        });
    if (m_selection.wants(pdbKey(kBackupTable))) j[pdbKey(kBackupTable)] = backupTable();
    return j;
}

}  // namespace

const std::vector<std::string>& tableKeys() {
    static const std::vector<std::string> keys = [] {
        std::vector<std::string> k = {key::kCpuSpec, "dbTb2", "dbTb3",
                                      "dbTb4",       "dbTb5", key::kMemory};
        for (int table = 0; table < kJqwdbTableCount; ++table) k.push_back(pdbKey(table));
        return k;
    }();
    return keys;
}

bool DumpSelection::wants(const std::string& table) const {
    return tables.empty() || std::find(tables.begin(), tables.end(), table) != tables.end();
}

bool DumpSelection::wantsOsdb() const {
    return std::any_of(tableKeys().begin(), tableKeys().begin() + kOsdbTableKeys,
                       [&](const std::string& k) { return wants(k); });
}

bool DumpSelection::wantsJqwdb() const {
    return std::any_of(tableKeys().begin() + kOsdbTableKeys, tableKeys().end(),
                       [&](const std::string& k) { return wants(k); });
}

Json dumpPair(const std::string& dir, const ModelOsPair& pair, const DumpSelection& selection) {
    PairDumper dumper(dir, pair, selection);
    Json d = {{key::kModel, pair.model},
              {key::kOsNumber, pair.osNumber},
              {key::kCpuCode, pair.cpuCode},
              {key::kOsType, pair.osType},
              {key::kByteOrder, byteOrderText(pair.cpuCode)},
              {key::kOsdbFile, pair.osdbName},
              {key::kJqwdbFile, pair.jqwdbName}};
    // The OSDB part first, even when not shown: the JQWDB tables 2 and 4
    // need its CPU specification values.
    const Json osdb = dumper.osdb();
    if (selection.wantsOsdb()) d[key::kOsdb] = osdb;
    if (selection.wantsJqwdb()) d[key::kJqwdb] = dumper.jqwdb();
    return d;
}

Json dumpDocument(const std::string& dir, const std::vector<ModelOsPair>& pairs,
                  const DumpSelection& selection) {
    Json databases = Json::array();
    for (const ModelOsPair& p : pairs) databases.push_back(dumpPair(dir, p, selection));
    Json doc = {{key::kFormat, kFormatName}, {key::kVersion, kFormatVersion}};
    // A selection is no description of a database: build refuses the key
    // rather than write a database of the selected parts alone.
    if (!selection.tables.empty() || selection.item) {
        Json s = Json::object();
        if (!selection.tables.empty()) s[key::kTables] = selection.tables;
        if (selection.item) s[key::kItem] = *selection.item;
        doc[key::kSelection] = s;
    }
    doc[key::kDatabases] = databases;
    return doc;
}

namespace {

// Whether a result code in the dump stands where a value was asked for.
bool failed(const Json& value, bool anyResult) {
    if (isResult(value)) {
        const int r = value[key::kResult].get<int>();
        return anyResult ? r != 0 : r >= kFirstFileError;
    }
    if (value.is_structured())
        for (const Json& child : value)
            if (failed(child, anyResult)) return true;
    return false;
}

}  // namespace

bool dumpHasFailures(const Json& document, const DumpSelection& selection) {
    return failed(document[key::kDatabases], selection.item.has_value());
}

std::vector<ModelOsPair> presentPairs(const std::string& dir) {
    const DatabaseDir listing(dir);
    std::vector<ModelOsPair> present;
    for (const ModelOsPair& p : namedPairs(true)) {
        if (!listing.find(p.osdbName).empty() || !listing.find(p.jqwdbName).empty())
            present.push_back(p);
    }
    return present;
}

}  // namespace zel::tool
