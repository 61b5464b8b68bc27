#include "dump.h"

#include <ZelComFuncDbase.h>

#include <algorithm>
#include <cstdint>

#include "failing_place.h"
#include "format/jqwdb_tables.h"
#include "osdb_geometry.h"

namespace zel::tool {
namespace {

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

// The library's output records as values in the order of their layouts
// (format/jqwdb_tables.h).
Values valuesOf(const PdbJAd& r) {
    return {r.value1, r.value2, r.word1, r.word2, r.attr1, r.attr2, r.word3};
}
Values valuesOf(const PdbCAd& r) {
    return {r.value1, r.value2, r.word1, r.attr1, r.attr2, r.word2};
}
Values valuesOf(const PdbWD& r) { return {r.number, r.kind, r.extra}; }
Values valuesOf(const PdbBD& r) { return {r.number, r.kind}; }
Values valuesOf(const PdbAnyWD& r) { return {r.value1, r.word1, r.word2, r.attr1}; }
Values valuesOf(const PdbAnyBD& r) { return {r.value1, r.word1, r.attr1, r.attr2, r.attr3}; }
Values valuesOf(const PdbAnyPBD& r) {
    return {r.value1, r.word1, r.attr1, r.attr2, r.attr3, r.attr4};
}
Values valuesOf(const PdbBkup& b) {
    return {b.value1, b.value2, b.attr1, b.attr2, b.attr3, b.attr4, b.attr5};
}

// Public members of the library by their shape: (model, OS, item or index,
// [entry,] out).
template <class Out>
using ItemCall = short (CZelComFuncDbase::*)(short, short, short, Out*);
template <class Out>
using RecordCall = ItemCall<Out>;
template <class Out>
using EntryCall = short (CZelComFuncDbase::*)(short, short, short, short, Out*);

constexpr short kFirstEntry = 1;

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
    // DbTb2 and DbTb4: entries 1 to the shown count of each item, each added
    // to the item and its list by add(item, list, out). An item beyond the
    // map, absent, or read while the CPU specification values fail answers
    // as a whole.
    template <class Out>
    Json entryItems(AddressReader reader, EntryCall<Out> call, const char* listKey,
                    void (*add)(Json& item, Json& list, const Out& out));
    // DbTb3 and DbTb5: the one answer of each item, added by add(item, out).
    template <class Out>
    Json singleItems(AddressReader reader, ItemCall<Out> call,
                     void (*add)(Json& item, const Out& out));
    Json memory();
    // Records 0.. of a JQWDB table until the index is refused.
    template <class Out>
    Json records(int table, RecordCall<Out> call);
    template <class Out>
    Json entryRecords(int table, EntryCall<Out> call);
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
    if (m_selection.wants("dbTb2"))
        o["dbTb2"] = entryItems<DbAd>(AddressReader::word2, &CZelComFuncDbase::CDbTb2,
                                      key::kAddresses, [](Json& item, Json& list, const DbAd& a) {
                                          // The head word of the row, from its first entry read.
                                          if (!item.contains(key::kHeadWord))
                                              item[key::kHeadWord] = a.headWord;
                                          list.push_back(a.address);
                                      });
    if (m_selection.wants("dbTb3"))
        o["dbTb3"] = singleItems<DbAd>(AddressReader::word3, &CZelComFuncDbase::CDbTb3,
                                       [](Json& item, const DbAd& a) {
                                           item[key::kHeadWord] = a.headWord;
                                           item[key::kAddress] = a.address;
                                       });
    if (m_selection.wants("dbTb4"))
        o["dbTb4"] = entryItems<DbBAd>(
            AddressReader::bit4, &CZelComFuncDbase::CDbTb4, key::kBits,
            [](Json&, Json& list, const DbBAd& b) { list.push_back(bitJson(b)); });
    if (m_selection.wants("dbTb5"))
        o["dbTb5"] = singleItems<DbBAd>(AddressReader::bit5, &CZelComFuncDbase::CDbTb5,
                                        [](Json& item, const DbBAd& b) {
                                            item[key::kAddress] = b.address;
                                            item[key::kBitMask] = b.bitMask;
                                        });
    if (m_selection.wants(key::kMemory)) o[key::kMemory] = memory();
    return o;
}

template <class Out>
Json PairDumper::entryItems(AddressReader reader, EntryCall<Out> call, const char* listKey,
                            void (*add)(Json& item, Json& list, const Out& out)) {
    Json items = Json::array();
    for (const int number : numbersUpTo(lastItem(reader, m_pair.cpuCode), m_selection)) {
        const auto item = static_cast<short>(number);
        const auto mapped = itemRow(reader, m_pair.cpuCode, item);
        Json it = {{key::kItem, item}};
        Out out{};
        if (!mapped || isAbsent(*mapped) || m_spec.result != 0) {
            it[key::kResult] = (m_db.*call)(m_model, m_os, item, kFirstEntry, &out);
            items.push_back(it);
            continue;
        }
        Json list = Json::array();
        const int shown = shownEntries(m_pair.cpuCode, *mapped, m_spec.values);
        for (short entry = kFirstEntry; entry <= shown; ++entry) {
            const short r = (m_db.*call)(m_model, m_os, item, entry, &out);
            if (r != 0)
                list.push_back(resultJson(r));
            else
                add(it, list, out);
        }
        it[listKey] = list;
        items.push_back(it);
    }
    return items;
}

template <class Out>
Json PairDumper::singleItems(AddressReader reader, ItemCall<Out> call,
                             void (*add)(Json& item, const Out& out)) {
    Json items = Json::array();
    for (const int number : numbersUpTo(lastItem(reader, m_pair.cpuCode), m_selection)) {
        const auto item = static_cast<short>(number);
        Out out{};
        const short r = (m_db.*call)(m_model, m_os, item, &out);
        Json it = {{key::kItem, item}};
        if (r != 0)
            it[key::kResult] = r;
        else
            add(it, out);
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

template <class Out>
Json PairDumper::records(int table, RecordCall<Out> call) {
    auto read = [&](short index, Values& values) {
        Out out{};
        const short r = (m_db.*call)(m_model, m_os, index, &out);
        values = valuesOf(out);
        return r;
    };
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

template <class Out>
Json PairDumper::entryRecords(int table, EntryCall<Out> call) {
    auto readEntry = [&](short index, short entry, Values& values) {
        Out out{};
        const short r = (m_db.*call)(m_model, m_os, index, entry, &out);
        values = valuesOf(out);
        return r;
    };
    Values values;
    // CPdbTb2 and CPdbTb4 pass CpuSpec's failure on.
    if (m_spec.result != 0) return resultJson(readEntry(0, kFirstEntry, values));
    const int bound = deviceEntryBound(m_spec.values[0], m_pair.osType);
    Json list = Json::array();
    if (bound < 1) return list;  // no entry number is accepted: no record can be read
    const int from = m_selection.item ? *m_selection.item : 0;
    const int to = m_selection.item ? *m_selection.item : kHighestRecordIndex;
    for (int index = from; index <= to; ++index) {
        Json entries = Json::array();
        const short r1 = readEntry(static_cast<short>(index), kFirstEntry, values);
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
            ri != 0 ? resultJson(ri) : recordJson(kJqwdbTables[kBackupTable].layout, valuesOf(b));
        items.push_back(indexed(item, m_selection, index));
    }
    return Json{{key::kItemCount, n}, {key::kItems, items}};
}

Json PairDumper::jqwdb() {
    ZelLong count = 0;
    if (m_db.GetPdbTb10ItemCount(m_model, m_os, &count) == kFileNotFound)
        return resultJson(kFileNotFound);
    Json j = Json::object();
    auto table = [&](int t, auto call) {
        if (m_selection.wants(pdbKey(t))) j[pdbKey(t)] = records(t, call);
    };
    auto entryTable = [&](int t, auto call) {
        if (m_selection.wants(pdbKey(t))) j[pdbKey(t)] = entryRecords(t, call);
    };
    table(0, &CZelComFuncDbase::CPdbTb0);
    table(1, &CZelComFuncDbase::CPdbTb1);
    entryTable(2, &CZelComFuncDbase::CPdbTb2);
    table(3, &CZelComFuncDbase::CPdbTb3);
    entryTable(4, &CZelComFuncDbase::CPdbTb4);
    table(5, &CZelComFuncDbase::CPdbTb5);
    table(6, &CZelComFuncDbase::CPdbTb6);
    table(7, &CZelComFuncDbase::CPdbTb7);
    table(8, &CZelComFuncDbase::CPdbTb8);
    table(9, &CZelComFuncDbase::CPdbTb9);
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
        if (exists(listing.lookUp(p, true)) || exists(listing.lookUp(p, false)))
            present.push_back(p);
    }
    return present;
}

}  // namespace zel::tool
