#include "schema.h"

#include <algorithm>
#include <cstring>

#include "printable.h"
#include "tool_error.h"

namespace zel::tool {

std::string pdbKey(int table) { return "pdbTb" + std::to_string(table); }

Json resultJson(int result) { return Json{{key::kResult, result}}; }

bool isResult(const Json& value) { return value.is_object() && value.contains(key::kResult); }

short resultCode(const Json& entry, const std::string& path) {
    return static_cast<short>(requireMemberInt(entry, path, key::kResult, -32768, 32767));
}

void refuseResult(const std::string& path, int code, const std::string& why) {
    throw ToolError(keyPointer(path, key::kResult) + ": result " + std::to_string(code) +
                    " cannot be reproduced: " + why);
}

const char* byteOrderText(short cpuCode) {
    return cpuCode < 30 ? "most significant byte first" : "least significant byte first";
}

std::string childPath(const std::string& path, const std::string& key) {
    // Keys come from the description: a key of any length is cut (the
    // message is escaped where it is written).
    const std::string shown = shortened(key);
    return path.empty() ? shown : path + "." + shown;
}

std::string indexPath(const std::string& path, std::size_t index) {
    return path + "[" + std::to_string(index) + "]";
}

std::string keyPointer(const std::string& pointer, const std::string& key) {
    // As childPath: cut, and escaped where the message is written.
    std::string escaped;
    for (const char c : shortened(key))
        escaped += c == '~' ? std::string("~0") : c == '/' ? std::string("~1") : std::string(1, c);
    return pointer + "/" + escaped;
}

std::string indexPointer(const std::string& pointer, std::size_t index) {
    return pointer + "/" + std::to_string(index);
}

const Json& requireObject(const Json& value, const std::string& path) {
    if (!value.is_object()) throw ToolError(path + ": expected an object");
    return value;
}

const Json& requireArray(const Json& value, const std::string& path) {
    if (!value.is_array()) throw ToolError(path + ": expected an array");
    return value;
}

void allowKeys(const Json& object, const std::string& path,
               std::initializer_list<const char*> allowed) {
    for (const auto& item : object.items()) {
        const bool known = std::any_of(allowed.begin(), allowed.end(),
                                       [&](const char* k) { return item.key() == k; });
        if (!known) throw ToolError(keyPointer(path, item.key()) + ": unknown key");
    }
}

const Json* member(const Json& object, const char* key) {
    const auto it = object.find(key);
    return it == object.end() ? nullptr : &*it;
}

std::int64_t requireInt(const Json& value, const std::string& path, std::int64_t lowest,
                        std::int64_t highest) {
    std::int64_t n = 0;
    if (value.is_number_unsigned()) {
        const auto u = value.get<std::uint64_t>();
        if (u > static_cast<std::uint64_t>(highest))
            n = highest + 1;  // out of range below
        else
            n = static_cast<std::int64_t>(u);
    } else if (value.is_number_integer()) {
        n = value.get<std::int64_t>();
    } else {
        throw ToolError(path + ": expected an integer, got " + shortJson(value));
    }
    if (n < lowest || n > highest) {
        throw ToolError(path + ": " + shortJson(value) + " is outside " + std::to_string(lowest) +
                        ".." + std::to_string(highest));
    }
    return n;
}

std::int64_t requireMemberInt(const Json& object, const std::string& path, const char* key,
                              std::int64_t lowest, std::int64_t highest) {
    const Json* value = member(object, key);
    if (!value) throw ToolError(keyPointer(path, key) + ": missing");
    return requireInt(*value, keyPointer(path, key), lowest, highest);
}

std::int64_t optionalMemberInt(const Json& object, const std::string& path, const char* key,
                               std::int64_t lowest, std::int64_t highest, std::int64_t fallback) {
    const Json* value = member(object, key);
    return value ? requireInt(*value, keyPointer(path, key), lowest, highest) : fallback;
}

}  // namespace zel::tool
