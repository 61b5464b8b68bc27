#include "schema_check.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>

#include "description_schema_text.h"
#include "printable.h"

namespace zel::tool {
namespace {

// Keywords that only document the schema.
constexpr const char* kNotes[] = {"$schema", "$id", "$defs", "$comment", "title", "description"};
constexpr const char* kChecks[] = {"$ref",        "if",         "then",     "else",
                                   "type",        "const",      "enum",     "minimum",
                                   "maximum",     "properties", "required", "additionalProperties",
                                   "prefixItems", "items",      "minItems", "maxItems"};

template <std::size_t N>
bool among(const std::string& word, const char* const (&words)[N]) {
    return std::find_if(std::begin(words), std::end(words),
                        [&](const char* w) { return word == w; }) != std::end(words);
}

std::string placeName(const std::string& pointer) {
    return pointer.empty() ? "the description" : pointer;
}

std::string listed(const Json& values) {
    std::string text;
    for (const Json& v : values) text += (text.empty() ? "" : ", ") + shortJson(v);
    return text;
}

// An integer of the description against a bound of the schema; a value
// beyond 64 bits is a floating-point number to the parser and no integer.
bool below(const Json& value, const Json& bound) {
    if (value.is_number_unsigned())
        return bound.is_number_integer() && bound.get<std::int64_t>() >= 0 &&
               value.get<std::uint64_t>() < bound.get<std::uint64_t>();
    return value.get<std::int64_t>() < bound.get<std::int64_t>();
}
bool above(const Json& value, const Json& bound) {
    if (value.is_number_unsigned())
        return bound.get<std::int64_t>() < 0 ||
               value.get<std::uint64_t>() > bound.get<std::uint64_t>();
    return value.get<std::int64_t>() > bound.get<std::int64_t>();
}

bool hasType(const Json& value, const std::string& type) {
    if (type == "object") return value.is_object();
    if (type == "array") return value.is_array();
    if (type == "integer") return value.is_number_integer();
    if (type == "string") return value.is_string();
    throw std::logic_error("description schema: type " + type + " is not checked");
}

class SchemaWalk {
  public:
    SchemaWalk(const Json& root, Refusals& refusals) : m_root(root), m_refusals(refusals) {}

    // Whether `value` at `at` fits `schema`; errors are recorded only when
    // `report`. `alternative` says what else would fit there (the result
    // object in place of a value).
    bool fits(const Json& schema, const Json& value, const std::string& at, bool report,
              const std::string& alternative = {}) {
        const Json& s = resolved(schema);
        if (const Json* condition = keyword(s, "if")) {
            const Json* then = keyword(s, "then");
            const Json* otherwise = keyword(s, "else");
            if (fits(*condition, value, at, false)) return !then || fits(*then, value, at, report);
            return !otherwise ||
                   fits(*otherwise, value, at, report, then ? expectation(*then) : std::string());
        }
        if (const Json* type = keyword(s, "type");
            type && !hasType(value, type->get<std::string>()))
            return fail(report, at,
                        "expected " + expectation(s) +
                            (alternative.empty() ? "" : " or " + alternative) + ", got " +
                            shortJson(value));
        if (const Json* c = keyword(s, "const"); c && value != *c)
            return fail(report, at, "expected " + shortJson(*c) + ", got " + shortJson(value));
        if (const Json* e = keyword(s, "enum");
            e && std::find(e->begin(), e->end(), value) == e->end())
            return fail(report, at, "expected one of " + listed(*e) + ", got " + shortJson(value));
        if (value.is_number_integer()) return fitsRange(s, value, at, report);
        if (value.is_object()) return fitsObject(s, value, at, report);
        if (value.is_array()) return fitsArray(s, value, at, report);
        return true;
    }

  private:
    const Json* keyword(const Json& schema, const char* word) const {
        const auto it = schema.find(word);
        return it == schema.end() ? nullptr : &*it;
    }

    const Json& resolved(const Json& schema) const {
        const Json* s = &schema;
        for (const Json* ref; (ref = keyword(*s, "$ref"));) {
            const std::string target = ref->get<std::string>();
            if (target.rfind("#/", 0) != 0 || s->size() != 1)
                throw std::logic_error("description schema: $ref " + target +
                                       " is not one of its own $defs alone");
            s = &m_root.at(Json::json_pointer(target.substr(1)));
        }
        for (const auto& k : s->items())
            if (!among(k.key(), kNotes) && !among(k.key(), kChecks))
                throw std::logic_error("description schema: keyword " + k.key() +
                                       " is not checked");
        return *s;
    }

    // What a value must be, in words.
    std::string expectation(const Json& schema) const {
        const Json& s = resolved(schema);
        if (const Json* title = keyword(s, "title")) return title->get<std::string>();
        if (const Json* c = keyword(s, "const")) return shortJson(*c);
        if (const Json* e = keyword(s, "enum")) return "one of " + listed(*e);
        if (keyword(s, "if")) {
            const Json* then = keyword(s, "then");
            const Json* otherwise = keyword(s, "else");
            return otherwise && then ? expectation(*otherwise) + " or " + expectation(*then)
                                     : "a value";
        }
        const Json* type = keyword(s, "type");
        const std::string t = type ? type->get<std::string>() : "";
        if (t == "integer") {
            const Json* low = keyword(s, "minimum");
            const Json* high = keyword(s, "maximum");
            return low && high ? "an integer " + low->dump() + ".." + high->dump() : "an integer";
        }
        if (t == "array") {
            const Json* least = keyword(s, "minItems");
            const Json* most = keyword(s, "maxItems");
            return least && most && *least == *most ? "an array of " + most->dump() + " values"
                                                    : "an array";
        }
        if (t == "object") return "an object";
        if (t == "string") return "a string";
        return "a value";
    }

    bool fail(bool report, const std::string& at, const std::string& text) {
        if (report) m_refusals.add(placeName(at) + ": " + text);
        return false;
    }

    bool fitsRange(const Json& s, const Json& value, const std::string& at, bool report) {
        const Json* low = keyword(s, "minimum");
        const Json* high = keyword(s, "maximum");
        if ((low && below(value, *low)) || (high && above(value, *high)))
            return fail(report, at,
                        shortJson(value) + " is outside " + (low ? low->dump() : "") + ".." +
                            (high ? high->dump() : ""));
        return true;
    }

    bool fitsObject(const Json& s, const Json& value, const std::string& at, bool report) {
        bool ok = true;
        const Json* properties = keyword(s, "properties");
        if (const Json* required = keyword(s, "required")) {
            for (const Json& k : *required) {
                const std::string name = k.get<std::string>();
                if (value.contains(name)) continue;
                ok = fail(report, keyPointer(at, name),
                          "missing; expected " + (properties && properties->contains(name)
                                                      ? expectation(properties->at(name))
                                                      : std::string("a value"))) &&
                     ok;
                if (!report) return false;
            }
        }
        const Json* additional = keyword(s, "additionalProperties");
        const bool closed = additional && *additional == false;
        std::vector<std::string> allowed;
        if (properties)
            for (const auto& p : properties->items()) allowed.push_back(p.key());
        for (const auto& member : value.items()) {
            const std::string place = keyPointer(at, member.key());
            if (properties && properties->contains(member.key()))
                ok = fits(properties->at(member.key()), member.value(), place, report) && ok;
            else if (closed)
                ok = fail(report, place, unknownKeyText(member.key(), allowed)) && ok;
            if (!ok && !report) return false;
        }
        return ok;
    }

    bool fitsArray(const Json& s, const Json& value, const std::string& at, bool report) {
        bool ok = true;
        const Json* least = keyword(s, "minItems");
        const Json* most = keyword(s, "maxItems");
        const std::size_t n = value.size();
        const bool tooFew = least && n < least->get<std::size_t>();
        const bool tooMany = most && n > most->get<std::size_t>();
        if (tooFew || tooMany) {
            const std::string bound = least && most && *least == *most ? std::string()
                                      : tooFew                         ? "at least "
                                                                       : "at most ";
            ok = fail(report, at,
                      "expected " + bound + (tooFew ? least : most)->dump() + " values, got " +
                          std::to_string(n));
            if (!report) return false;
        }
        const Json* prefix = keyword(s, "prefixItems");
        const Json* items = keyword(s, "items");
        for (std::size_t i = 0; i < n; ++i) {
            const Json* element = prefix && i < prefix->size() ? &(*prefix)[i] : items;
            if (element) ok = fits(*element, value[i], indexPointer(at, i), report) && ok;
            if (!ok && !report) return false;
        }
        return ok;
    }

    const Json& m_root;
    Refusals& m_refusals;
};

}  // namespace

std::string_view descriptionSchemaText() {
    return std::string_view(kDescriptionSchemaText, sizeof kDescriptionSchemaText - 1);
}

const Json& descriptionSchema() {
    static const Json schema = Json::parse(descriptionSchemaText());
    return schema;
}

void checkAgainstSchema(const Json& schema, const Json& value, Refusals& refusals) {
    SchemaWalk(schema, refusals).fits(schema, value, "", true);
}

}  // namespace zel::tool
