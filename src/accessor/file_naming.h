// Names of the database files: database directory + prefix ("OSDB" or
// "JQWDB") + OS letter + CPU letters + ".BIN". The letter tables also decide
// which CPU code and OS type pairs have a database at all.
#ifndef ZEL_ACCESSOR_FILE_NAMING_H
#define ZEL_ACCESSOR_FILE_NAMING_H

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zel {

constexpr const char* kOsdbPrefix = "OSDB";
constexpr const char* kJqwdbPrefix = "JQWDB";
constexpr const char* kNameExtension = ".BIN";

// The OS letter of an OS type 0..6, or nullptr.
const char* osLetter(short osType);
// The one or two CPU letters of a CPU code under an OS type, or nullptr when
// the pair has no database file.
const char* cpuLetters(short cpuCode, short osType);

// The database directory as an accessor holds it: the path given, ending
// with a backslash so that a file name can be appended directly (only the
// backslash counts as a separator here).
std::u16string accessorDirectory(std::u16string path);

// The file name without directory ("OSDB2E.BIN"), or "" when the pair has no
// database file.
std::string databaseFileName(const char* prefix, short cpuCode, short osType);

// Composes directory + file name into the 512-unit name buffer, terminating
// NUL included: 0, or -1 (buffer untouched) when the pair has no name or the
// composed name does not fit.
short composeName(const std::u16string& directory, const char* prefix, short cpuCode, short osType,
                  unsigned short* name);

// Whether two names are equal without regard to ASCII letter case.
bool equalIgnoringAsciiCase(std::string_view a, std::string_view b);

// The letter-case rule: which entry of a directory a file name reads where
// the file system tells letter case apart. The entry equal to `wanted` when
// there is one; otherwise, among the entries equal to it without regard to
// ASCII letter case, the one whose name sorts first as unsigned bytes. The
// choice depends on the names alone, not on the order in which the directory
// lists them nor on the kind of file an entry is (a chosen entry that is no
// regular file is refused as a missing file would be; no other variant is
// tried). The index into `entries`, or -1 when no entry matches.
std::ptrdiff_t chooseCaseVariant(std::string_view wanted, const std::vector<std::string>& entries);

}  // namespace zel

#endif
