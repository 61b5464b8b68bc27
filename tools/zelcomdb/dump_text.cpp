#include "dump_text.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "cpu_values_command.h"
#include "format/jqwdb_tables.h"
#include "result_text.h"
#include "text_table.h"

namespace zel::tool {
namespace {

std::string hex(std::int64_t v) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%llx",
                  static_cast<unsigned long long>(static_cast<std::uint32_t>(v)));
    return text;
}

// The fields shown in hexadecimal, by table.
struct HexField {
    const char* table;
    const char* field;
};
constexpr HexField kHexFields[] = {
    {"dbTb2", key::kHeadWord}, {"dbTb2", key::kAddresses}, {"dbTb3", key::kHeadWord},
    {"dbTb3", key::kAddress},  {"dbTb4", key::kAddress},   {"dbTb4", key::kBitMask},
    {"dbTb5", key::kAddress},  {"dbTb5", key::kBitMask},
};

// A value in decimal, or the result code that stands in its place.
std::string cell(const Json& v) { return numberText(v); }
// A value of a table's field in the radix the text shows it in.
std::string cell(const Json& v, const char* table, const char* field) {
    return numberText(v, shownInHex(table, field));
}

std::string joined(const std::vector<std::string>& parts) {
    std::string s;
    for (const auto& p : parts) s += (s.empty() ? "" : " ") + p;
    return s;
}

void heading(std::ostream& out, const std::string& title) { out << "\n  " << title << '\n'; }

void printCpuSpec(const Json& cpuValues, std::ostream& out) {
    heading(out, "CPU specification values (CDbCpuSpec)");
    if (isResult(cpuValues)) {
        out << "    " << cell(cpuValues) << '\n';
        return;
    }
    TextTable t({"value", "meaning", "number"});
    for (int i = 0; i < static_cast<int>(cpuValues.size()); ++i)
        t.row(
            {std::to_string(i), cpuSpecValueName(i), cell(cpuValues[static_cast<std::size_t>(i)])});
    t.print(out, "    ");
}

void printWords2(const Json& items, std::ostream& out) {
    heading(out, "CDbTb2 word addresses (entries 1 up to the bound, at most the slot count)");
    TextTable t({"item", "head word", "addresses"});
    for (const Json& it : items) {
        if (isResult(it)) {
            t.row({cell(it[key::kItem]), "", cell(it)});
            continue;
        }
        std::vector<std::string> a;
        for (const Json& v : it[key::kAddresses]) a.push_back(cell(v, "dbTb2", key::kAddresses));
        const Json* head = member(it, key::kHeadWord);
        t.row({cell(it[key::kItem]), head ? cell(*head, "dbTb2", key::kHeadWord) : "", joined(a)});
    }
    t.print(out, "    ");
}

void printWords3(const Json& items, std::ostream& out) {
    heading(out, "CDbTb3 word addresses");
    TextTable t({"item", "head word", "address"});
    for (const Json& it : items) {
        if (isResult(it))
            t.row({cell(it[key::kItem]), "", cell(it)});
        else
            t.row({cell(it[key::kItem]), cell(it[key::kHeadWord], "dbTb3", key::kHeadWord),
                   cell(it[key::kAddress], "dbTb3", key::kAddress)});
    }
    t.print(out, "    ");
}

std::string bitCell(const Json& b) {
    if (isResult(b)) return cell(b);
    return cell(b[key::kAddress], "dbTb4", key::kAddress) + "/" +
           cell(b[key::kBitMask], "dbTb4", key::kBitMask);
}

// Rows of an item or kind (its number under numberKey) and its list, or the
// result it answers as a whole.
void printLists(const Json& rows, const char* numberKey, const char* listKey,
                std::string (*cellOf)(const Json&), std::ostream& out) {
    TextTable t({numberKey, listKey});
    for (const Json& r : rows) {
        if (isResult(r)) {
            t.row({cell(r[numberKey]), cell(r)});
            continue;
        }
        std::vector<std::string> cells;
        for (const Json& x : r[listKey]) cells.push_back(cellOf(x));
        t.row({cell(r[numberKey]), joined(cells)});
    }
    t.print(out, "    ");
}

void printBits4(const Json& items, std::ostream& out) {
    heading(out,
            "CDbTb4 bit addresses, address/mask (entries 1 up to the bound, at most the "
            "slot count)");
    printLists(items, key::kItem, key::kBits, bitCell, out);
}

void printBits5(const Json& items, std::ostream& out) {
    heading(out, "CDbTb5 bit addresses");
    TextTable t({"item", "address", "mask"});
    for (const Json& it : items) {
        if (isResult(it))
            t.row({cell(it[key::kItem]), cell(it), ""});
        else
            t.row({cell(it[key::kItem]), cell(it[key::kAddress], "dbTb5", key::kAddress),
                   cell(it[key::kBitMask], "dbTb5", key::kBitMask)});
    }
    t.print(out, "    ");
}

void printMemory(const Json& kinds, std::ostream& out) {
    heading(out, "CDbTbMem memory values by kind (indices from 0)");
    printLists(
        kinds, key::kKind, key::kValues, [](const Json& x) { return cell(x); }, out);
}

void printOsdb(const Json& osdb, std::ostream& out) {
    if (isResult(osdb)) {
        out << "  " << cell(osdb) << '\n';
        return;
    }
    if (const Json* v = member(osdb, key::kCpuSpec)) printCpuSpec(*v, out);
    if (const Json* v = member(osdb, "dbTb2")) printWords2(*v, out);
    if (const Json* v = member(osdb, "dbTb3")) printWords3(*v, out);
    if (const Json* v = member(osdb, "dbTb4")) printBits4(*v, out);
    if (const Json* v = member(osdb, "dbTb5")) printBits5(*v, out);
    if (const Json* v = member(osdb, key::kMemory)) printMemory(*v, out);
}

std::vector<std::string> fieldHeaders(const RecordLayout& shape) {
    std::vector<std::string> h;
    for (int i = 0; i < shape.count; ++i) h.push_back(shape.fields[i].name);
    return h;
}

// The index of the i-th record shown: its place, or the one it names when
// it was selected.
std::string indexOf(const Json& record, std::size_t i) {
    const Json* index = record.is_object() ? member(record, key::kIndex) : nullptr;
    return index ? cell(*index) : std::to_string(i);
}

void recordRow(TextTable& t, std::vector<std::string> lead, const RecordLayout& shape,
               const Json& r) {
    if (isResult(r)) {
        lead.push_back(cell(r));
    } else {
        for (int i = 0; i < shape.count; ++i) lead.push_back(cell(r[shape.fields[i].name]));
    }
    t.row(lead);
}

void printTable(int table, const Json& records, std::ostream& out) {
    const RecordLayout& shape = kJqwdbTables[table].layout;
    heading(out, "CPdbTb" + std::to_string(table));
    if (isResult(records)) {
        out << "    " << cell(records) << '\n';
        return;
    }
    std::vector<std::string> headers = {"index"};
    if (kJqwdbTables[table].entryNumber) headers.push_back("entry");
    for (const auto& h : fieldHeaders(shape)) headers.push_back(h);
    TextTable t(headers);
    for (std::size_t i = 0; i < records.size(); ++i) {
        const Json& r = records[i];
        if (!kJqwdbTables[table].entryNumber || isResult(r)) {
            std::vector<std::string> lead = {indexOf(r, i)};
            if (kJqwdbTables[table].entryNumber) lead.push_back("");
            recordRow(t, lead, shape, r);
            continue;
        }
        const Json& entries = r[key::kEntries];
        for (std::size_t e = 0; e < entries.size(); ++e)
            recordRow(t, {e == 0 ? indexOf(r, i) : "", std::to_string(e + 1)}, shape, entries[e]);
    }
    if (t.empty())
        out << "    no records\n";
    else
        t.print(out, "    ");
}

void printBackup(const Json& table, std::ostream& out) {
    heading(out, "CPdbTb10 backup items");
    if (isResult(table)) {
        out << "    " << cell(table) << '\n';
        return;
    }
    out << "    item count " << cell(table[key::kItemCount]) << '\n';
    const RecordLayout& shape = kJqwdbTables[kBackupTable].layout;
    std::vector<std::string> headers = {"index"};
    for (const auto& h : fieldHeaders(shape)) headers.push_back(h);
    TextTable t(headers);
    for (std::size_t i = 0; i < table[key::kItems].size(); ++i)
        recordRow(t, {indexOf(table[key::kItems][i], i)}, shape, table[key::kItems][i]);
    if (!t.empty()) t.print(out, "    ");
}

void printJqwdb(const Json& jqwdb, std::ostream& out) {
    if (isResult(jqwdb)) {
        out << "  " << cell(jqwdb) << '\n';
        return;
    }
    for (int table = 0; table < kBackupTable; ++table)
        if (const Json* v = member(jqwdb, pdbKey(table).c_str())) printTable(table, *v, out);
    if (const Json* v = member(jqwdb, pdbKey(kBackupTable).c_str())) printBackup(*v, out);
}

}  // namespace

bool shownInHex(const std::string& table, const std::string& field) {
    for (const HexField& h : kHexFields)
        if (table == h.table && field == h.field) return true;
    return false;
}

std::string numberText(const Json& v, bool asHex) {
    if (isResult(v)) return resultText(v[key::kResult].get<int>());
    if (!v.is_number_integer()) return v.dump();
    return asHex ? hex(v.get<std::int64_t>()) : std::to_string(v.get<std::int64_t>());
}

void printDump(const Json& document, std::ostream& out) {
    out << "Addresses, head words and bit masks in hexadecimal (0x...), other numbers in "
           "decimal; --json gives every number in decimal.\n\n";
    bool first = true;
    for (const Json& d : document[key::kDatabases]) {
        if (!first) out << '\n';
        first = false;
        out << "Model " << d[key::kModel].get<int>() << ", OS number "
            << d[key::kOsNumber].get<int>() << ": CPU code " << d[key::kCpuCode].get<int>()
            << ", OS type " << d[key::kOsType].get<int>() << ", OSDB "
            << d[key::kByteOrder].get<std::string>() << '\n';
        if (const Json* osdb = member(d, key::kOsdb)) {
            out << '\n' << d[key::kOsdbFile].get<std::string>() << '\n';
            printOsdb(*osdb, out);
        }
        if (const Json* jqwdb = member(d, key::kJqwdb)) {
            out << '\n' << d[key::kJqwdbFile].get<std::string>() << '\n';
            printJqwdb(*jqwdb, out);
        }
    }
}

}  // namespace zel::tool
