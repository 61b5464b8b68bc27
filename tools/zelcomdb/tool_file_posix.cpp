#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

#include "tool_error.h"
#include "tool_file.h"
#include "unique_name.h"

namespace zel::tool {
namespace {

[[noreturn]] void fail(const std::string& path, const std::string& what, int error) {
    throw ToolError(path + ": " + what + ": " + systemErrorText(error));
}

int fd(std::intptr_t handle) { return static_cast<int>(handle); }

}  // namespace

std::string systemErrorText(int error) { return std::strerror(error); }

RegularFile::RegularFile(const std::string& path) : m_path(path) {
    const int f = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (f < 0) fail(path, "cannot open", errno);
    struct stat st {};
    if (::fstat(f, &st) != 0) {
        const int error = errno;
        ::close(f);
        fail(path, "cannot examine", error);
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(f);
        throw ToolError(path + ": not a regular file");
    }
    m_handle = f;
    m_size = static_cast<std::uint64_t>(st.st_size);
}

RegularFile::~RegularFile() {
    if (m_handle >= 0) ::close(fd(m_handle));
}

bool RegularFile::readAt(std::uint64_t offset, unsigned char* out, std::size_t n) const {
    while (n > 0) {
        if (offset > static_cast<std::uint64_t>(INT64_MAX)) return false;
        const ssize_t got = ::pread(fd(m_handle), out, n, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        out += got;
        offset += static_cast<std::uint64_t>(got);
        n -= static_cast<std::size_t>(got);
    }
    return true;
}

std::string RegularFile::readAll(std::size_t atMost) const {
    std::string text;
    char block[65536];
    for (std::uint64_t at = 0; text.size() <= atMost;) {
        const ssize_t got = ::pread(fd(m_handle), block, sizeof block, static_cast<off_t>(at));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) fail(m_path, "cannot read", errno);
        if (got == 0) return text;
        text.append(block, static_cast<std::size_t>(got));
        at += static_cast<std::uint64_t>(got);
    }
    return text;
}

namespace {

// Writes the bytes to the open file f, flushes it to the disk and closes it.
void writeAndClose(int f, const std::string& path, const std::vector<unsigned char>& bytes) {
    const unsigned char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t put = ::write(f, p, left);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) {
            const int error = put < 0 ? errno : ENOSPC;
            ::close(f);
            fail(path, "cannot write", error);
        }
        p += put;
        left -= static_cast<std::size_t>(put);
    }
    if (::fsync(f) != 0) {
        const int error = errno;
        ::close(f);
        fail(path, "cannot flush to the disk", error);
    }
    if (::close(f) != 0) fail(path, "cannot close", errno);
}

constexpr int kNewFile = O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC;

}  // namespace

void writeNewFile(const std::string& path, const std::vector<unsigned char>& bytes) {
    const int f = ::open(path.c_str(), kNewFile, 0666);
    if (f < 0) fail(path, "cannot create", errno);
    writeAndClose(f, path, bytes);
}

std::string writeUniqueFile(const std::string& prefix, const std::vector<unsigned char>& bytes) {
    const char* what = "cannot create a temporary file";
    int f = -1;
    const std::string name = takeUniqueName(prefix, what, [&](const std::string& n) {
        f = ::open(n.c_str(), kNewFile, 0666);
        if (f >= 0) return true;
        if (errno != EEXIST) fail(prefix, what, errno);
        return false;
    });
    try {
        writeAndClose(f, name, bytes);
    } catch (const ToolError&) {
        ::unlink(name.c_str());
        throw;
    }
    return name;
}

void replaceFile(const std::string& from, const std::string& to) {
    if (::rename(from.c_str(), to.c_str()) != 0)
        fail(to, "cannot rename " + from + " to it", errno);
}

void removeFile(const std::string& path) {
    if (::unlink(path.c_str()) != 0) fail(path, "cannot remove", errno);
}

PathKind pathKind(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0)
        return errno == ENOENT || errno == ENOTDIR ? PathKind::missing : PathKind::other;
    return S_ISREG(st.st_mode) ? PathKind::regularFile : PathKind::other;
}

void syncDirectory(const std::string& path) {
    const int f = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (f < 0) fail(path, "cannot open the directory", errno);
    // Some file systems refuse to flush a directory; that loses nothing.
    const bool synced = ::fsync(f) == 0 || errno == EINVAL || errno == EROFS;
    const int error = errno;
    ::close(f);
    if (!synced) fail(path, "cannot flush the directory to the disk", error);
}

std::vector<std::string> listDirectory(const std::string& path, const std::string& shown) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (!fs::is_directory(path, ec)) throw ToolError(shown + ": not a directory");
    std::vector<std::string> names;
    fs::directory_iterator it(path, ec), end;
    for (; !ec && it != end; it.increment(ec)) names.push_back(it->path().filename().string());
    if (ec) throw ToolError(shown + ": cannot list the directory: " + ec.message());
    return names;
}

std::string makeUniqueDirectory(const std::string& prefix) {
    // mkdtemp would give mode 0700 whatever the umask, and the database
    // would stay unreadable to hosts running under other accounts.
    const char* what = "cannot create a temporary directory";
    return takeUniqueName(prefix, what, [&](const std::string& name) {
        if (::mkdir(name.c_str(), 0777) == 0) return true;
        if (errno != EEXIST) fail(prefix, what, errno);
        return false;
    });
}

std::string realDirectory(const std::string& path) {
    char real[PATH_MAX];
    if (!::realpath(path.c_str(), real)) fail(path, "cannot resolve the directory", errno);
    struct stat st {};
    if (::stat(real, &st) != 0) fail(path, "cannot examine", errno);
    if (!S_ISDIR(st.st_mode)) throw ToolError(path + ": not a directory");
    return real;
}

namespace {

#if defined(__linux__)
constexpr unsigned kNoReplace = 1;  // RENAME_NOREPLACE
constexpr unsigned kExchange = 2;   // RENAME_EXCHANGE
int renameWith(const std::string& from, const std::string& to, unsigned flags) {
    return ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), flags);
}
#endif

}  // namespace

void renameNoReplace(const std::string& from, const std::string& to) {
#if defined(__linux__)
    if (renameWith(from, to, kNoReplace) == 0) return;
    if (errno != EINVAL && errno != ENOSYS) fail(to, "cannot rename " + from + " to it", errno);
#endif
    // Without the flag a directory that appeared in the meantime would be
    // replaced if empty; ours are never empty, and a file stops the rename.
    struct stat st {};
    if (::lstat(to.c_str(), &st) == 0) fail(to, "cannot rename " + from + " to it", EEXIST);
    if (::renameat(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str()) != 0)
        fail(to, "cannot rename " + from + " to it", errno);
}

bool exchangeDirectories(const std::string& a, const std::string& b) {
#if defined(__linux__)
    if (renameWith(a, b, kExchange) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) fail(b, "cannot exchange it with " + a, errno);
#else
    (void)a;
    (void)b;
#endif
    return false;
}

std::string moveAside(const std::string& dir, const std::string& prefix) {
    // Renaming a directory onto an empty one replaces it in one step.
    const std::string aside = makeUniqueDirectory(prefix);
    if (::renameat(AT_FDCWD, dir.c_str(), AT_FDCWD, aside.c_str()) != 0) {
        const int error = errno;
        ::rmdir(aside.c_str());
        fail(dir, "cannot move the directory aside", error);
    }
    return aside;
}

void removeEmptyDirectory(const std::string& path) {
    if (::rmdir(path.c_str()) == 0) return;
    if (errno == ENOTEMPTY || errno == EEXIST) throw ToolError(path + ": not empty");
    fail(path, "cannot remove the empty directory", errno);
}

std::string keepModeAndGroup(const std::string& from, const std::string& to,
                             const std::vector<std::string>& names) {
    struct stat old {};
    if (::stat(from.c_str(), &old) != 0) fail(from, "cannot examine", errno);
    if (::chmod(to.c_str(), old.st_mode & 07777) != 0) fail(to, "cannot set the mode", errno);
    struct stat fresh {};
    if (::stat(to.c_str(), &fresh) != 0) fail(to, "cannot examine", errno);
    if (fresh.st_gid == old.st_gid) return "";
    // Only the owner's own groups are permitted to a user that is not root.
    std::vector<std::string> paths{to};
    for (const std::string& n : names) paths.push_back(to + "/" + n);
    for (const std::string& p : paths)
        if (::chown(p.c_str(), static_cast<uid_t>(-1), old.st_gid) != 0)
            return p + ": cannot keep the group " + std::to_string(old.st_gid) + " of the " +
                   "replaced directory: " + std::strerror(errno);
    // chown clears the set-group-ID bit that the directory may carry.
    if (::chmod(to.c_str(), old.st_mode & 07777) != 0) fail(to, "cannot set the mode", errno);
    return "";
}

FileLock::FileLock(const std::string& path) : m_path(path) {
    for (;;) {
        const int f = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (f < 0) fail(path, "cannot open the lock file", errno);
        if (::flock(f, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno;
            ::close(f);
            if (error == EWOULDBLOCK)
                throw ToolError(path + ": another build of the same directory holds this lock");
            fail(path, "cannot lock", error);
        }
        // A holder that released the lock removed the file; a lock on the
        // removed file would lock nothing.
        struct stat held {
        }, named{};
        if (::fstat(f, &held) == 0 && ::lstat(path.c_str(), &named) == 0 &&
            held.st_dev == named.st_dev && held.st_ino == named.st_ino) {
            m_handle = f;
            return;
        }
        ::close(f);
    }
}

FileLock::~FileLock() {
    ::unlink(m_path.c_str());  // still held: no one else locks the name meanwhile
    ::close(fd(m_handle));
}

namespace {

sigset_t g_ending;  // the signals held back
sigset_t g_saved;   // the mask before the guard

}  // namespace

InterruptGuard::InterruptGuard() {
    // A signal ignored (nohup, a background job) stays ignored.
    sigemptyset(&g_ending);
    for (int s : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction now {};
        if (sigaction(s, nullptr, &now) == 0 && now.sa_handler != SIG_IGN) sigaddset(&g_ending, s);
    }
    sigprocmask(SIG_BLOCK, &g_ending, &g_saved);
}

InterruptGuard::~InterruptGuard() {
    // A pending signal is delivered here and ends the program.
    sigprocmask(SIG_SETMASK, &g_saved, nullptr);
}

void InterruptGuard::check() const {
    sigset_t pending;
    sigemptyset(&pending);
    sigpending(&pending);
    for (int s : {SIGINT, SIGTERM, SIGHUP})
        if (sigismember(&g_ending, s) == 1 && sigismember(&pending, s) == 1)
            throw ToolError("interrupted");
}

}  // namespace zel::tool
