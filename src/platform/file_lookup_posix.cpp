// POSIX lookup of a composed name. The names use backslashes and come from a
// platform whose file system ignores letter case, so the name is turned into
// a UTF-8 path with '/' separators and, when that exact name does not exist,
// the letter-case rule (letter_case.h) chooses among the entries of its
// directory that match its last component without regard to ASCII case.
// Only regular files are read.
#if !defined(_WIN32)

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "platform/file_lookup.h"
#include "platform/letter_case.h"
#include "platform/utf.h"

namespace zel {
namespace {

// Opens a regular file (or a link to one) for reading. The open does not
// block (a FIFO under the name would otherwise wait for a writer for ever);
// anything but a regular file is closed again at once. -1 on failure, with
// `state` telling why.
int openRegular(const char* path, FileState& state, int& error, std::int64_t& size) {
    int fd;
    do {
        fd = ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        error = errno;
        // A link that loops and a socket (which no open reaches) are entries
        // no file can be read from, as a FIFO or a directory are.
        state = error == ENOENT                    ? FileState::missing
                : error == ELOOP || error == ENXIO ? FileState::notRegular
                                                   : FileState::refused;
        return -1;
    }
    // O_NONBLOCK stays set: reads of a regular file ignore it on the systems
    // this runs on, and clearing it would cost every call a system call. A
    // file system that honours it anyway answers EAGAIN, and the file layer
    // clears it then.
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        state = FileState::notRegular;
        return -1;
    }
    state = FileState::opens;
    size = static_cast<std::int64_t>(st.st_size);
    return fd;
}

// Opens the entry of path's directory that the letter-case rule chooses for
// path's last component. path is modified in place.
int openCaseVariant(char* path, FileState& state, int& error, std::int64_t& size) {
    char* slash = std::strrchr(path, '/');
    char* leaf = slash ? slash + 1 : path;
    if (*leaf == 0) return -1;
    DIR* dir = nullptr;
    if (!slash) {
        dir = ::opendir(".");
    } else if (slash == path) {
        dir = ::opendir("/");
    } else {
        *slash = 0;
        dir = ::opendir(path);
        *slash = '/';
    }
    if (!dir) return -1;
    // Only the entries that match at all are kept, so a large directory costs
    // no memory.
    std::vector<std::string> matches;
    try {
        while (const dirent* entry = ::readdir(dir))
            if (equalIgnoringAsciiCase(entry->d_name, leaf)) matches.emplace_back(entry->d_name);
    } catch (const std::bad_alloc&) {
        matches.clear();
    }
    ::closedir(dir);
    const std::ptrdiff_t chosen = chooseCaseVariant(leaf, matches);
    if (chosen < 0) return -1;
    // A case variant has the length of the name it stands for.
    const std::string& name = matches[static_cast<std::size_t>(chosen)];
    std::memcpy(leaf, name.data(), name.size());
    return openRegular(path, state, error, size);
}

}  // namespace

int openDatabaseFile(const unsigned short* name, std::int64_t& size, FoundFile* found) {
    char path[kPathBytes];
    FileState state = FileState::unnamed;
    int error = 0;
    int fd = -1;
    if (nameToPosixPath(name, path)) {
        fd = openRegular(path, state, error, size);
        if (state == FileState::missing) fd = openCaseVariant(path, state, error, size);
    }
    if (found) {
        found->state = state;
        found->error = error;
        found->path = state == FileState::unnamed ? "" : path;
        found->entry = found->path.substr(found->path.rfind('/') + 1);
    }
    return fd;
}

FoundFile lookUpComposedName(const unsigned short* name) {
    FoundFile found;
    std::int64_t size = 0;
    const int fd = openDatabaseFile(name, size, &found);
    if (fd >= 0) ::close(fd);
    return found;
}

}  // namespace zel

#endif
