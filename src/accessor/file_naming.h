// Names of the database files: database directory + prefix ("OSDB" or
// "JQWDB") + OS letter + CPU letters + ".BIN". The letter tables also decide
// which CPU code and OS type pairs have a database at all.
#ifndef ZEL_ACCESSOR_FILE_NAMING_H
#define ZEL_ACCESSOR_FILE_NAMING_H

#include <string>

namespace zel {

constexpr const char* kOsdbPrefix = "OSDB";
constexpr const char* kJqwdbPrefix = "JQWDB";
constexpr const char* kNameExtension = ".BIN";

// The OS letter of an OS type 0..6, or nullptr.
const char* osLetter(short osType);
// The one or two CPU letters of a CPU code under an OS type, or nullptr when
// the pair has no database file.
const char* cpuLetters(short cpuCode, short osType);

// The file name without directory ("OSDB2E.BIN"), or "" when the pair has no
// database file.
std::string databaseFileName(const char* prefix, short cpuCode, short osType);

// Composes directory + file name into the 512-unit name buffer, terminating
// NUL included: 0, or -1 (buffer untouched) when the pair has no name or the
// composed name does not fit.
short composeName(const std::u16string& directory, const char* prefix, short cpuCode, short osType,
                  unsigned short* name);

}  // namespace zel

#endif
