// The JSON description of a database, as `dump --json` prints it and `build`
// reads it. Its JSON Schema, tools/zelcomdb/description.schema.json (installed
// under share/zelcomdb/, printed by `zelcomdb schema`), says what it holds;
// this header names its keys for the code that reads and writes it.
#ifndef ZELCOMDB_SCHEMA_H
#define ZELCOMDB_SCHEMA_H

#include <cstdint>
#include <initializer_list>
#include <nlohmann/json.hpp>
#include <string>

namespace zel::tool {

using Json = nlohmann::ordered_json;

namespace key {
constexpr const char* kFormat = "format";
constexpr const char* kVersion = "version";
constexpr const char* kDatabases = "databases";
constexpr const char* kModel = "model";
constexpr const char* kOsNumber = "osNumber";
constexpr const char* kCpuCode = "cpuCode";
constexpr const char* kOsType = "osType";
constexpr const char* kByteOrder = "byteOrder";
constexpr const char* kOsdbFile = "osdbFile";
constexpr const char* kJqwdbFile = "jqwdbFile";
constexpr const char* kOsdb = "osdb";
constexpr const char* kJqwdb = "jqwdb";
constexpr const char* kResult = "result";
constexpr const char* kCpuSpec = "cpuSpec";
constexpr const char* kItem = "item";
constexpr const char* kHeadWord = "headWord";
constexpr const char* kAddress = "address";
constexpr const char* kAddresses = "addresses";
constexpr const char* kBitMask = "bitMask";
constexpr const char* kBits = "bits";
constexpr const char* kMemory = "memory";
constexpr const char* kKind = "kind";
constexpr const char* kValues = "values";
constexpr const char* kEntries = "entries";
constexpr const char* kItemCount = "itemCount";
constexpr const char* kItems = "items";
constexpr const char* kIndex = "index";
constexpr const char* kSelection = "selection";
constexpr const char* kTables = "tables";
}  // namespace key

constexpr const char* kFormatName = "zelcomdb-database";
constexpr int kFormatVersion = 1;

// The JSON key of JQWDB table n: "pdbTb0" .. "pdbTb10".
std::string pdbKey(int table);

// {"result": code}
Json resultJson(int result);
// An object holding "result" stands for a result code in place of a value.
bool isResult(const Json& value);

// The code of a result entry at `path` (a JSON Pointer), a 16-bit value.
short resultCode(const Json& entry, const std::string& path);
// Refuses a result entry that no built file gives back in its place: one line
// "PATH/result: result CODE cannot be reproduced: WHY".
[[noreturn]] void refuseResult(const std::string& path, int code, const std::string& why);

// The byte order of a CPU code's OSDB file in words.
const char* byteOrderText(short cpuCode);

// Dotted paths into a dumped document ("entries[1].number"), as diff names
// the fields that differ.
std::string childPath(const std::string& path, const std::string& key);
std::string indexPath(const std::string& path, std::size_t index);

// JSON Pointers into a description, the places build's errors name: "" is
// the whole description, "/databases/3/osdb/dbTb2/5/address" a value in it
// ("~" and "/" in a key written "~0" and "~1").
std::string keyPointer(const std::string& pointer, const std::string& key);
std::string indexPointer(const std::string& pointer, std::size_t index);

// Reading a description: every accessor names the JSON Pointer of what it
// rejects in its ToolError.

const Json& requireObject(const Json& value, const std::string& path);
const Json& requireArray(const Json& value, const std::string& path);
// Refuses keys outside `allowed` (a misspelt key would otherwise be ignored).
void allowKeys(const Json& object, const std::string& path,
               std::initializer_list<const char*> allowed);
// The member `key` of an object, or nullptr.
const Json* member(const Json& object, const char* key);
std::int64_t requireInt(const Json& value, const std::string& path, std::int64_t lowest,
                        std::int64_t highest);
std::int64_t requireMemberInt(const Json& object, const std::string& path, const char* key,
                              std::int64_t lowest, std::int64_t highest);
// A member that may be absent (then `fallback`).
std::int64_t optionalMemberInt(const Json& object, const std::string& path, const char* key,
                               std::int64_t lowest, std::int64_t highest, std::int64_t fallback);

}  // namespace zel::tool

#endif
