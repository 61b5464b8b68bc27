#include "build_jqwdb.h"

#include <ZelComFuncDbaseResults.h>

#include <algorithm>
#include <optional>

#include "failing_place.h"
#include "format/bytes.h"
#include "format/jqwdb_tables.h"
#include "tool_error.h"

namespace zel::tool {
namespace {

// The builder's record size of a table read whole: the bytes its reader uses,
// rounded up to a multiple of 4.
std::int32_t wholeRecordSize(int table) {
    return static_cast<std::int32_t>((kJqwdbTables[table].usedBytes + 3u) & ~3u);
}

void putField(writer::Bytes& record, std::uint32_t at, FieldType type, std::int64_t value) {
    const std::uint32_t width = widthOf(type);
    if (width == 0) return;
    if (record.size() < at + width) record.resize(at + width, 0);
    storeOrdered(record.data() + at, width, static_cast<std::uint32_t>(value), kJqwdbByteOrder);
}

// A record of a device table is a row of entries: each entry answers.
void refuseRecordResult(const Json& record, const std::string& path) {
    if (isResult(record))
        refuseResult(path, resultCode(record, path), "give the results of its entries");
}

// Results among the records (or entries, or items) of a table come back as
// the end of the file: 114 for every read after the last value, in one table
// per file, placed last.
class TableEnd {
  public:
    // Whether `entry` is a result; refuses one that no end of the file
    // gives, and values after a result.
    bool isTailResult(const Json& entry, const std::string& path) {
        if (!isResult(entry)) {
            if (m_firstResult)
                refuseResult(*m_firstResult, kEndOfFile,
                             path + " gives values after it, and the file ends only once");
            return false;
        }
        allowKeys(entry, path, {key::kResult});
        const short result = resultCode(entry, path);
        if (result != kEndOfFile)
            refuseResult(path, result,
                         "a record answers a result of its own only where the file ends (114); " +
                             std::string(kFailingResults));
        if (!m_firstResult) m_firstResult = path;
        return true;
    }
    // Ends the file `length` bytes into the table (which must have a
    // value before its first result, where `valuesFirst`).
    void endInside(int table, std::uint32_t length, bool valuesFirst,
                   std::optional<writer::EndsInside>& fileEnd) const {
        if (!m_firstResult) return;
        if (!valuesFirst)
            refuseResult(*m_firstResult, kEndOfFile,
                         "a table whose first record fails answers as a whole; give the table "
                         "as that result");
        if (fileEnd)
            refuseResult(*m_firstResult, kEndOfFile,
                         "the file can end inside one table only, and it ends in " +
                             pdbKey(static_cast<int>(fileEnd->table)));
        fileEnd = writer::EndsInside{static_cast<unsigned>(table), kPlain, length};
    }

  private:
    static constexpr short kEndOfFile = ZEL_FILE_END_OF_FILE;
    std::optional<std::string> m_firstResult;
};

// The values of a record in its shape's field order. Missing fields are 0.
std::vector<std::int64_t> recordValues(const Json& r, const RecordLayout& shape,
                                       const std::string& path) {
    std::vector<std::int64_t> values(static_cast<std::size_t>(shape.count), 0);
    requireObject(r, path);
    for (const auto& item : r.items()) {
        const auto* f = std::find_if(shape.fields, shape.fields + shape.count,
                                     [&](const RecordField& x) { return item.key() == x.name; });
        if (f == shape.fields + shape.count)
            throw ToolError(keyPointer(path, item.key()) + ": unknown key");
        // A field that a tail item of table 10 takes from splitValue holds a
        // 16-bit value.
        const auto at = static_cast<std::size_t>(f - shape.fields);
        const bool splitValue = shape.fields == kBackupHeadFields &&
                                kBackupTailFields[at].type == FieldType::splitValue;
        const FieldType type = splitValue ? FieldType::signed16 : f->type;
        values[at] =
            requireInt(item.value(), keyPointer(path, item.key()), lowestOf(type), highestOf(type));
    }
    return values;
}

void encodeRecord(writer::Bytes& bytes, std::uint32_t at, const RecordLayout& shape,
                  const std::vector<std::int64_t>& values) {
    for (int i = 0; i < shape.count; ++i)
        putField(bytes, at + shape.fields[i].offset, shape.fields[i].type,
                 values[static_cast<std::size_t>(i)]);
}

// The records of a table: an array; none when the table is not described
// or given as a result (then it is written without records).
const Json* recordList(const Json& jqwdb, int table, const std::string& path) {
    const Json* list = member(jqwdb, pdbKey(table).c_str());
    if (!list || isResult(*list)) return nullptr;
    requireArray(*list, path);
    if (list->size() > static_cast<std::size_t>(kHighestRecordIndex) + 1)
        throw ToolError(path + ": more records than a 16-bit index reaches");
    return list;
}

// Where the reads of the record values of a table end, from the table start,
// after `records` records.
std::uint32_t recordsEnd(int table, std::int32_t recordSize, std::size_t records) {
    if (records == 0) return kTableHeaderBytes;
    const auto size = static_cast<std::uint32_t>(recordSize);
    return kTableHeaderBytes + static_cast<std::uint32_t>(records - 1) * size +
           std::min(size, kJqwdbTables[table].usedBytes);
}

writer::JqwdbTable plainTable(const Json& jqwdb, int table, const std::string& path,
                              std::optional<writer::EndsInside>& fileEnd) {
    writer::JqwdbTable t;
    t.recordSize = wholeRecordSize(table);
    t.lastIndex = -1;
    const Json* list = recordList(jqwdb, table, path);
    if (!list) return t;
    const RecordLayout& shape = kJqwdbTables[table].layout;
    TableEnd end;
    for (std::size_t i = 0; i < list->size(); ++i) {
        const std::string rpath = indexPointer(path, i);
        if (end.isTailResult((*list)[i], rpath)) continue;
        writer::Bytes record(static_cast<std::size_t>(t.recordSize), 0);
        encodeRecord(record, 0, shape, recordValues((*list)[i], shape, rpath));
        t.records.push_back(record);
    }
    t.lastIndex = static_cast<std::int32_t>(list->size()) - 1;
    end.endInside(table, recordsEnd(table, t.recordSize, t.records.size()), !t.records.empty(),
                  fileEnd);
    return t;
}

writer::JqwdbTable entryTable(const Json& jqwdb, int table, const std::string& path, int bound,
                              std::optional<writer::EndsInside>& fileEnd) {
    writer::JqwdbTable t;
    t.recordSize = static_cast<std::int32_t>(kDeviceEntryBytes) * std::max(bound, 1);
    t.lastIndex = -1;
    const Json* list = recordList(jqwdb, table, path);
    if (!list) return t;
    const RecordLayout& shape = kJqwdbTables[table].layout;
    TableEnd end;
    std::uint32_t valuesEnd = 0;  // from the table start
    for (std::size_t i = 0; i < list->size(); ++i) {
        const std::string rpath = indexPointer(path, i);
        writer::Bytes record(static_cast<std::size_t>(t.recordSize), 0);
        const Json& r = (*list)[i];
        refuseRecordResult(r, rpath);
        requireObject(r, rpath);
        allowKeys(r, rpath, {key::kEntries});
        const std::string epath = keyPointer(rpath, key::kEntries);
        const Json* entries = member(r, key::kEntries);
        if (entries &&
            requireArray(*entries, epath).size() > static_cast<std::size_t>(std::max(bound, 0))) {
            throw ToolError(epath + ": " + std::to_string(entries->size()) +
                            " entries, but CPdbTb" + std::to_string(table) +
                            " accepts entry numbers up to " + std::to_string(bound));
        }
        for (std::size_t e = 0; entries && e < entries->size(); ++e) {
            const std::string entryPath = indexPointer(epath, e);
            if (end.isTailResult((*entries)[e], entryPath)) continue;
            const Pos at = deviceEntryAt(static_cast<short>(e + 1));
            encodeRecord(record, at, shape, recordValues((*entries)[e], shape, entryPath));
            valuesEnd = kTableHeaderBytes +
                        static_cast<std::uint32_t>(i) * static_cast<std::uint32_t>(t.recordSize) +
                        at + kDeviceEntryBytes;
        }
        t.records.push_back(record);
    }
    t.lastIndex = static_cast<std::int32_t>(list->size()) - 1;
    end.endInside(table, valuesEnd, valuesEnd != 0, fileEnd);
    return t;
}

// Whether item values (in PdbBkup order) can come from a head item, the
// split item (the first tail item) or a tail item after it, each field within
// the range its layout gives it.
bool fits(const RecordField& field, std::int64_t v) {
    return v >= lowestOf(field.type) && v <= highestOf(field.type);
}
bool canBeHead(const std::vector<std::int64_t>& v) {
    for (std::size_t i = 0; i < v.size(); ++i)
        if (!fits(kBackupHeadFields[i], v[i])) return false;
    return true;
}
bool canBeSplitItem(const std::vector<std::int64_t>& v) {
    for (std::size_t i = 0; i < v.size(); ++i)
        if (kBackupTailFields[i].type != FieldType::splitValue && !fits(kBackupTailFields[i], v[i]))
            return false;
    return true;
}
bool canFollowSplit(const std::vector<std::int64_t>& v) {
    for (std::size_t i = 0; i < v.size(); ++i) {
        const bool ok = kBackupTailFields[i].type == FieldType::splitValue
                            ? v[i] == -1
                            : fits(kBackupTailFields[i], v[i]);
        if (!ok) return false;
    }
    return true;
}
// The value of an item that a split item's splitValue gives.
std::int64_t splitValueOf(const std::vector<std::int64_t>& v) {
    for (std::size_t i = 0; i < v.size(); ++i)
        if (kBackupTailFields[i].type == FieldType::splitValue) return v[i];
    return 0;
}

writer::JqwdbTable backupTable(const Json& jqwdb, const std::string& path,
                               std::optional<writer::EndsInside>& fileEnd) {
    writer::JqwdbTable t;
    t.recordSize = wholeRecordSize(kBackupTable);
    t.lastIndex = 0;  // the item count
    const Json* table = member(jqwdb, pdbKey(kBackupTable).c_str());
    if (!table || isResult(*table)) return t;
    requireObject(*table, path);
    allowKeys(*table, path, {key::kItemCount, key::kItems});
    const auto count = requireMemberInt(*table, path, key::kItemCount, -2147483648LL, 2147483647LL);
    t.lastIndex = static_cast<std::int32_t>(count);
    const std::string ipath = keyPointer(path, key::kItems);
    const Json* items = member(*table, key::kItems);
    const std::size_t given = items ? requireArray(*items, ipath).size() : 0;
    const std::size_t written =
        static_cast<std::size_t>(std::clamp<std::int64_t>(count, 0, kHighestRecordIndex + 1));
    if (given > written)
        throw ToolError(ipath + ": " + std::to_string(given) + " items, but the item count is " +
                        std::to_string(count));
    const RecordLayout& shape = kJqwdbTables[kBackupTable].layout;
    // The items before a first result are written, and the file ends after
    // them; without results, every item up to the count.
    TableEnd end;
    std::vector<std::vector<std::int64_t>> values;
    bool ended = false;
    for (std::size_t i = 0; i < given; ++i) {
        const std::string p = indexPointer(ipath, i);
        if (end.isTailResult((*items)[i], p))
            ended = true;
        else
            values.push_back(recordValues((*items)[i], shape, p));
    }
    if (!ended)
        values.resize(written, std::vector<std::int64_t>(static_cast<std::size_t>(shape.count), 0));
    const BackupSplit split = deriveBackupSplit(values, ipath);
    t.splitIndexWord = split.splitIndex;
    t.splitValueWord = split.splitValue;
    // The item count is in the header: items answer even where the first fails.
    end.endInside(kBackupTable, recordsEnd(kBackupTable, t.recordSize, values.size()), true,
                  fileEnd);
    for (std::size_t i = 0; i < values.size(); ++i) {
        writer::Bytes record(static_cast<std::size_t>(t.recordSize), 0);
        const auto& v = values[i];
        const bool tail = isTailItem(static_cast<short>(i), split.splitIndex);
        encodeRecord(record, 0, tail ? layoutOf(kBackupTailFields) : shape, v);
        t.records.push_back(record);
    }
    return t;
}

// How a described table answers as a whole. Tables 2 and 4 ask CpuSpec for
// their entry bound before they read their own file and answer its failure;
// a table given as a result otherwise fails at its header.
void answerOfTable(int table, const Json& given, const std::string& path, const CpuSpecAnswer& spec,
                   int bound, writer::JqwdbLayout& layout) {
    const std::string reader = "CPdbTb" + std::to_string(table);
    const bool asksSpec = kJqwdbTables[table].entryNumber;
    const std::string specAnswers =
        reader + " asks the CPU specification values first, and they answer " +
        std::to_string(spec.result) + (spec.result == kFileNotFound ? " (no OSDB file)" : "");
    if (!isResult(given)) {
        if (asksSpec && spec.result != ZEL_OK)
            throw ToolError(path + ": no record can be read back: " + specAnswers);
        return;
    }
    allowKeys(given, path, {key::kResult});
    const short result = resultCode(given, path);
    if (asksSpec && spec.result != ZEL_OK) {
        if (result != spec.result) refuseResult(path, result, specAnswers);
        return;
    }
    if (asksSpec && bound < 1)
        refuseResult(path, result,
                     reader + " accepts no entry number (CPU specification value 0 is " +
                         std::to_string(spec.values[0]) + ") and answers -1 before the file");
    const auto at = failingStart(result);
    if (!at) refuseResult(path, result, kFailingResults);
    layout.tablesAt[static_cast<unsigned>(table)] = *at;
}

}  // namespace

BackupSplit deriveBackupSplit(const std::vector<std::vector<std::int64_t>>& items,
                              const std::string& path) {
    const std::size_t n = items.size();
    // followsFrom[i]: every item from i on can follow the split item.
    std::vector<bool> followsFrom(n + 1, true);
    for (std::size_t i = n; i-- > 0;)
        followsFrom[i] = followsFrom[i + 1] && canFollowSplit(items[i]);
    // The first split that fits, tail items as early as the values allow; no
    // tail items when every item can be a head item and none fits.
    for (std::size_t s = 1; s < n; ++s) {
        if (!canBeHead(items[s - 1])) break;
        if (canBeSplitItem(items[s]) && followsFrom[s + 1]) {
            return BackupSplit{static_cast<std::uint16_t>(s),
                               static_cast<std::uint16_t>(splitValueOf(items[s]) & 0xFFFF)};
        }
    }
    for (std::size_t i = 0; i < n; ++i) {
        if (!canBeHead(items[i])) {
            throw ToolError(indexPointer(path, i) +
                            ": no split into head and tail items gives these items (a head "
                            "item has byte-sized attrs; only the first tail item has an attr2 "
                            "beyond a byte, and tail items have attr3..attr5 -1 and attr2 -1 "
                            "after the first)");
        }
    }
    return BackupSplit{};
}

writer::Bytes buildJqwdbFile(const Json& jqwdb, const std::string& path, const ModelOsPair& pair,
                             const CpuSpecAnswer& spec, Refusals& refusals) {
    requireObject(jqwdb, path);
    for (const auto& item : jqwdb.items()) {
        bool known = false;
        for (int t = 0; t < kJqwdbTableCount; ++t) known = known || item.key() == pdbKey(t);
        if (!known) throw ToolError(keyPointer(path, item.key()) + ": unknown key");
    }
    const int bound = deviceEntryBound(spec.values[0], pair.osType);
    writer::JqwdbLayout layout;
    for (int table = 0; table < kJqwdbTableCount; ++table) {
        const std::string tpath = keyPointer(path, pdbKey(table));
        refusals.attempt([&] {
            if (const Json* given = member(jqwdb, pdbKey(table).c_str()))
                answerOfTable(table, *given, tpath, spec, bound, layout);
            auto& built = layout.tables[static_cast<unsigned>(table)];
            if (table == kBackupTable)
                built = backupTable(jqwdb, tpath, layout.endsInside);
            else if (kJqwdbTables[table].entryNumber)
                built = entryTable(jqwdb, table, tpath, bound, layout.endsInside);
            else
                built = plainTable(jqwdb, table, tpath, layout.endsInside);
        });
    }
    return writer::buildJqwdb(layout);
}

}  // namespace zel::tool
