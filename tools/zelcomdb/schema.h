// The JSON description of a database, as `dump --json` prints it and `build`
// reads it:
//
//   {"format": "zelcomdb-database", "version": 1, "databases": [PAIR, ...]}
//   PAIR: {"model", "osNumber"           which model/OS pair (build needs them)
//          "cpuCode", "osType", "byteOrder", "osdbFile", "jqwdbFile"
//                                         derived; build checks them if given
//          "osdb": OSDB | RESULT, "jqwdb": JQWDB | RESULT}
//   OSDB:  {"cpuSpec": [six values] | RESULT,
//           "dbTb2": [{"item", "headWord", "addresses": [n | RESULT, ...]} | {"item", "result"}],
//           "dbTb3": [{"item", "headWord", "address"} | {"item", "result"}],
//           "dbTb4": [{"item", "bits": [{"address", "bitMask"} | RESULT, ...]} | ...],
//           "dbTb5": [{"item", "address", "bitMask"} | ...],
//           "memory": [{"kind", "values": [n | RESULT, ...]} | {"kind", "result"}]}
//   JQWDB: {"pdbTb0" .. "pdbTb9": [RECORD | RESULT, ...] | RESULT,
//           "pdbTb2", "pdbTb4" records: {"entries": [ENTRY | RESULT, ...]},
//           "pdbTb10": {"itemCount", "items": [ITEM | RESULT, ...]} | RESULT}
//   RESULT: {"result": code}, a result code of the library where it gave no value.
//
// `build` lays a file out so that the library gives each RESULT back where a
// file can: 102 for a whole part (the file is not written), 109 or 114 for
// everything read from one table or section (placed at a negative position
// or beyond the end of the file), 114 for what lies after the values of one
// table or section per file (placed last, the file ending after its
// values), -2 for an absent item, -1 for memory kind 2. Any other RESULT is
// refused, naming its path.
//
// Entries are numbered from 1 and records from 0 by their place in the
// arrays; an OSDB item names its item number. The description says what the
// library answers, not where it lies in the file: the builder lays the files
// out itself, and record sizes are its choice.
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

// The code of a result entry at `path`, a 16-bit value.
short resultCode(const Json& entry, const std::string& path);
// Refuses a result entry that no built file gives back in its place: one line
// "PATH.result: result CODE cannot be reproduced: WHY".
[[noreturn]] void refuseResult(const std::string& path, int code, const std::string& why);

// The byte order of a CPU code's OSDB file in words.
const char* byteOrderText(short cpuCode);

// Reading a description: every accessor names the JSON path of what it
// rejects in its ToolError.
std::string childPath(const std::string& path, const std::string& key);
std::string indexPath(const std::string& path, std::size_t index);

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
