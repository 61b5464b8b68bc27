#include "diff.h"

#include <map>
#include <set>
#include <utility>

#include "dump.h"

namespace zel::tool {
namespace {

using Leaves = std::vector<std::pair<std::string, Json>>;

// The values of an item or record with the path of each inside it; a result
// code is one value. The number that names the unit (numberKey, "index") is
// left out.
void flatten(const Json& v, const std::string& path, Leaves& out, const char* numberKey = nullptr) {
    if (!v.is_structured() || isResult(v)) {
        out.emplace_back(path, v);
        return;
    }
    if (v.is_array()) {
        for (std::size_t i = 0; i < v.size(); ++i) flatten(v[i], indexPath(path, i), out);
        return;
    }
    for (const auto& field : v.items()) {
        if (path.empty() && ((numberKey && field.key() == numberKey) || field.key() == key::kIndex))
            continue;
        flatten(field.value(), childPath(path, field.key()), out);
    }
}

// The differences in the part of a dump that one file answers.
class Differ {
  public:
    Differ(std::string file, short model, short osNumber, std::vector<Difference>& out)
        : m_file(std::move(file)), m_model(model), m_os(osNumber), m_out(out) {}

    void part(const Json* a, const Json* b);

  private:
    void add(const std::string& table, std::optional<int> index, const std::string& field,
             const Json* a, const Json* b) {
        m_out.push_back(
            {m_file, m_model, m_os, table, index, field, a ? *a : Json(), b ? *b : Json()});
    }
    void unit(const std::string& table, std::optional<int> index, const Json* a, const Json* b,
              const char* numberKey = nullptr);
    void table(const std::string& key, const Json* a, const Json* b);
    // Units of a list by the number that names them ("item", "kind",
    // "index") or else by their place.
    static std::map<int, const Json*> units(const Json& list, const char* numberKey);

    std::string m_file;
    short m_model;
    short m_os;
    std::vector<Difference>& m_out;
};

void Differ::unit(const std::string& table, std::optional<int> index, const Json* a, const Json* b,
                  const char* numberKey) {
    if (a && b && *a == *b) return;
    if (!a || !b || isResult(*a) || isResult(*b) || a->type() != b->type()) {
        add(table, index, "", a, b);
        return;
    }
    Leaves la, lb;
    flatten(*a, "", la, numberKey);
    flatten(*b, "", lb, numberKey);
    std::map<std::string, const Json*> inB;
    for (const auto& [path, v] : lb) inB[path] = &v;
    std::set<std::string> inA;
    for (const auto& [path, v] : la) {
        inA.insert(path);
        const auto other = inB.find(path);
        if (other == inB.end())
            add(table, index, path, &v, nullptr);
        else if (v != *other->second)
            add(table, index, path, &v, other->second);
    }
    for (const auto& [path, v] : lb)
        if (!inA.count(path)) add(table, index, path, nullptr, &v);
}

std::map<int, const Json*> Differ::units(const Json& list, const char* numberKey) {
    std::map<int, const Json*> byNumber;
    for (std::size_t i = 0; i < list.size(); ++i) {
        const Json& u = list[i];
        const Json* number = u.is_object() && numberKey ? member(u, numberKey) : nullptr;
        if (!number && u.is_object()) number = member(u, key::kIndex);
        byNumber[number && number->is_number_integer() ? number->get<int>() : static_cast<int>(i)] =
            &u;
    }
    return byNumber;
}

void Differ::table(const std::string& key, const Json* a, const Json* b) {
    if (a && b && *a == *b) return;
    if (key == pdbKey(10) && a && b && a->is_object() && b->is_object() && !isResult(*a) &&
        !isResult(*b)) {
        unit(key, std::nullopt, member(*a, key::kItemCount), member(*b, key::kItemCount));
        static const Json none = Json::array();
        const Json* ia = member(*a, key::kItems);
        const Json* ib = member(*b, key::kItems);
        table(key + "." + key::kItems, ia ? ia : &none, ib ? ib : &none);
        return;
    }
    if (!a || !b || !a->is_array() || !b->is_array() || key == key::kCpuSpec) {
        unit(key, std::nullopt, a, b);
        return;
    }
    const char* numberKey = numberKeyOf(key);
    const auto ua = units(*a, numberKey), ub = units(*b, numberKey);
    // pdbTb10's items are the items of table 10.
    const std::string name = key == pdbKey(10) + "." + key::kItems ? pdbKey(10) : key;
    for (const auto& [n, u] : ua) {
        const auto other = ub.find(n);
        unit(name, n, u, other == ub.end() ? nullptr : other->second, numberKey);
    }
    for (const auto& [n, u] : ub)
        if (!ua.count(n)) unit(name, n, nullptr, u, numberKey);
}

void Differ::part(const Json* a, const Json* b) {
    if (!a || !b || *a == *b) return;  // a part not dumped, or the same answers
    if (isResult(*a) || isResult(*b)) {
        // The library opens the file in one directory only (an entry it
        // refuses): the file as a whole, not its whole dump.
        static const Json present = kFilePresent;
        m_out.push_back({m_file, std::nullopt, std::nullopt, "", std::nullopt, "",
                         isResult(*a) ? *a : present, isResult(*b) ? *b : present});
        return;
    }
    for (const std::string& key : tableKeys()) {
        const Json* ta = member(*a, key.c_str());
        const Json* tb = member(*b, key.c_str());
        if (ta || tb) table(key, ta, tb);
    }
}

}  // namespace

const char* numberKeyOf(const std::string& table) {
    if (table == key::kMemory) return key::kKind;
    return table.rfind("dbTb", 0) == 0 ? key::kItem : nullptr;
}

std::vector<Difference> diffPair(const Json& a, const Json& b) {
    std::vector<Difference> out;
    const auto model = a[key::kModel].get<short>(), osNumber = a[key::kOsNumber].get<short>();
    Differ osdb(a[key::kOsdbFile].get<std::string>(), model, osNumber, out);
    osdb.part(member(a, key::kOsdb), member(b, key::kOsdb));
    Differ jqwdb(a[key::kJqwdbFile].get<std::string>(), model, osNumber, out);
    jqwdb.part(member(a, key::kJqwdb), member(b, key::kJqwdb));
    return out;
}

}  // namespace zel::tool
