// Names of the database files: database directory + prefix ("OSDB" or
// "JQWDB") + OS letter + CPU letters + ".BIN". The letter tables also decide
// which CPU code and OS type pairs have a database at all.
#ifndef ZEL_ACCESSOR_FILE_NAMING_H
#define ZEL_ACCESSOR_FILE_NAMING_H

#include <string>

#include "platform/file_lookup.h"

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

// Whether the library opens the file of a pair in a directory given as the
// UTF-8 constructor takes it: the name composed as the readers compose it,
// opened and closed again as the file layer opens it.
FoundFile findDatabaseFile(const std::string& utf8Directory, const char* prefix, short cpuCode,
                           short osType);

// The path of the directory in which the library looks for its files (UTF-8,
// with the system's separators), or "" when no name fits after it.
std::string databaseDirectoryPath(const std::string& utf8Directory);

}  // namespace zel

#endif
