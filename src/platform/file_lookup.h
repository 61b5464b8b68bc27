// Finding the file of a composed name: the one rule by which the file layer
// opens a database file, and by which the zelcomdb tool tells what the
// library will read under a directory.
#ifndef ZEL_PLATFORM_FILE_LOOKUP_H
#define ZEL_PLATFORM_FILE_LOOKUP_H

#include <cstdint>
#include <string>

namespace zel {

// What stands under a composed name for the library.
enum class FileState {
    opens,       // a regular file (or a link to one) that opens for reading
    missing,     // nothing under the name nor under a letter-case variant of it
    notRegular,  // a FIFO, socket, device, directory or a link that leads nowhere
    refused,     // an entry the system will not open (permissions, a path too long)
    unnamed,     // the pair has no name, or the name does not fit the name buffer
};

struct FoundFile {
    FileState state = FileState::unnamed;
    std::string path;   // the path opened (UTF-8), the chosen letter-case variant's
    std::string entry;  // its last component: the directory entry
    int error = 0;      // the system's error code when refused
};

// Opens the file of a composed name (NUL-terminated UTF-16, backslash
// separators) for reading as every reader does: the handle, or none (-1,
// nullptr) when the library takes the file for missing. `found`, when given,
// receives why and which entry.
#if defined(_WIN32)
void* openDatabaseFile(const unsigned short* name, FoundFile* found);
#else
int openDatabaseFile(const unsigned short* name, std::int64_t& size, FoundFile* found);
#endif

// Opens and closes the file of a composed name again: what stands under it.
FoundFile lookUpComposedName(const unsigned short* name);

}  // namespace zel

#endif
