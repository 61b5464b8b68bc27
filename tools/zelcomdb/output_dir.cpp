#include "output_dir.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <system_error>

#include "printable.h"
#include "tool_error.h"
#include "tool_file.h"

namespace zel::tool {
namespace {

namespace fs = std::filesystem;

std::string shown(const fs::path& path) { return printable(path.string(), 200); }

// Removes a directory tree, naming the first entry that cannot be removed.
void removeTree(const fs::path& path) {
    std::error_code ec;
    if (fs::is_directory(fs::symlink_status(path, ec))) {
        std::vector<fs::path> entries;
        for (fs::directory_iterator it(path, ec), end; !ec && it != end; it.increment(ec))
            entries.push_back(it->path());
        if (ec) throw ToolError(shown(path) + ": cannot list the directory: " + ec.message());
        for (const fs::path& e : entries) removeTree(e);
    }
    if (!fs::remove(path, ec) && ec)
        throw ToolError(shown(path) + ": cannot remove: " + ec.message());
}

// Removes a directory tree made here; a failure to clean up is not worth
// hiding the error that led to it.
void removeQuietly(const fs::path& path) {
    std::error_code ignored;
    fs::remove_all(path, ignored);
}

struct Target {
    fs::path parent;  // real path
    std::string name;
    fs::path path() const { return parent / name; }
};

bool isSeparator(char c) {
    return c == '/' || c == static_cast<char>(fs::path::preferred_separator);
}

// OUTDIR as the system finds it: "s/link/../db" is db beside the directory
// the link points to, not s/db.
Target resolveTarget(const std::string& outDir) {
    std::string text = outDir;
    while (text.size() > 1 && isSeparator(text.back())) text.pop_back();
    if (text.empty()) throw ToolError("the output directory has no name");
    const fs::path given(text);
    const std::string last = given.filename().string();
    Target t;
    if (last.empty() || last == "." || last == "..") {
        // Names no entry of its own: the directory it resolves to.
        const fs::path real(realDirectory(text));
        t = {real.parent_path(), real.filename().string()};
    } else {
        const fs::path parent = given.has_parent_path() ? given.parent_path() : fs::path(".");
        std::error_code ec;
        fs::create_directories(parent, ec);
        if (ec) throw ToolError(shown(parent) + ": cannot create the directory: " + ec.message());
        t = {fs::path(realDirectory(parent.string())), last};
    }
    if (t.name.empty() || t.parent == t.path())
        throw ToolError(printable(outDir, 200) + ": is the root of the file system");
    return t;
}

bool isWithin(const fs::path& inner, const fs::path& outer) {
    auto i = inner.begin();
    for (auto o = outer.begin(); o != outer.end(); ++o, ++i)
        if (i == inner.end() || *i != *o) return false;
    return true;
}

// An existing file or directory in the form realDirectory gives, so that
// it compares with the target; empty when it cannot be resolved.
fs::path realPath(const fs::path& given) {
    std::error_code ec;
    fs::path p = fs::canonical(given, ec);  // links to a file followed too
    if (ec) p = given;
    try {
        if (fs::is_directory(p, ec)) return realDirectory(p.string());
        return fs::path(realDirectory(p.has_parent_path() ? p.parent_path().string() : ".")) /
               p.filename();
    } catch (const ToolError&) {
        return {};
    }
}

// What replacing the target would take from under the user's feet.
void refuseProtected(const Target& t, const std::string& outDir,
                     const std::string& descriptionPath) {
    std::vector<std::pair<fs::path, std::string>> kept;
    kept.push_back({realPath("."), "the working directory"});
    if (descriptionPath != kStandardInput)
        kept.push_back({realPath(descriptionPath), "the description"});
#if defined(_WIN32)
    const char* home = std::getenv("USERPROFILE");
#else
    const char* home = std::getenv("HOME");
#endif
    if (home && *home) kept.push_back({realPath(home), "the home directory"});
    for (const auto& [real, what] : kept)
        if (!real.empty() && isWithin(real, t.path()))
            throw ToolError(printable(outDir, 200) + ": " + (real == t.path() ? "is " : "holds ") +
                            what + " (" + shown(real) + "); it is not replaced");
}

// The leftovers of an interrupted build of NAME: .NAME.new-XXXXXX and
// .NAME.old-XXXXXX, six letters or digits.
std::vector<fs::path> leftovers(const Target& t, const char* kind) {
    const std::string prefix = "." + t.name + kind;
    std::vector<fs::path> found;
    std::error_code ec;
    for (fs::directory_iterator it(t.parent, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string n = it->path().filename().string();
        if (n.size() == prefix.size() + 6 && n.compare(0, prefix.size(), prefix) == 0 &&
            std::all_of(n.begin() + static_cast<long>(prefix.size()), n.end(),
                        [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; }))
            found.push_back(it->path());
    }
    if (ec) throw ToolError(shown(t.parent) + ": cannot list the directory: " + ec.message());
    std::sort(found.begin(), found.end());
    return found;
}

// Puts back the old directory of an interrupted replacement where the
// target is missing, and removes every other leftover; says what it did.
void recoverInterruptedBuild(const Target& t) {
    std::vector<fs::path> old = leftovers(t, ".old-");
    std::vector<fs::path> rest = leftovers(t, ".new-");
    if (old.empty() && rest.empty()) return;
    std::string said = shown(t.path()) + ": an interrupted build left";
    for (const auto* list : {&old, &rest})
        for (const fs::path& p : *list) said += " " + shown(p.filename());
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(t.path(), ec)) && !old.empty()) {
        if (old.size() > 1)
            throw ToolError(said +
                            "; the directory is missing and more than one old one could "
                            "take its place: move one there by hand");
        // An older form of the tool moved the directory into .NAME.old-*.
        const fs::path inner = old[0] / t.name;
        const bool nested = fs::is_directory(fs::symlink_status(inner, ec));
        renameNoReplace((nested ? inner : old[0]).string(), t.path().string());
        said += "; put " + shown((nested ? inner : old[0]).filename()) + " back";
        if (nested) rest.push_back(old[0]);
    } else {
        rest.insert(rest.end(), old.begin(), old.end());
    }
    if (!rest.empty()) said += "; removed the rest";
    std::cerr << "zelcomdb: " << oneLine(said) << '\n';
    for (const fs::path& p : rest) removeTree(p);
}

}  // namespace

void writeDirectory(const std::string& outDir, const std::vector<BuiltFile>& files, bool replace,
                    const std::string& descriptionPath) {
    const InterruptGuard interrupt;
    const Target t = resolveTarget(outDir);
    const fs::path target = t.path();
    const FileLock lock((t.parent / ("." + t.name + ".lock")).string());
    recoverInterruptedBuild(t);

    const std::string named = printable(outDir, 200);
    std::error_code ec;
    const fs::file_status status = fs::symlink_status(target, ec);
    const bool exists = fs::exists(status);
    if (fs::is_symlink(status))
        throw ToolError(named +
                        ": is a symbolic link; give the directory itself, which is "
                        "replaced in its place");
    if (exists && !fs::is_directory(status))
        throw ToolError(named + ": exists and is not a directory");
    if (exists) refuseProtected(t, outDir, descriptionPath);
    ec.clear();
    if (exists && !replace && !fs::is_empty(target, ec))
        throw ToolError(named + ": not empty (--force replaces it, keeping none of its files)");
    if (ec) throw ToolError(named + ": cannot list the directory: " + ec.message());

    const fs::path fresh = makeUniqueDirectory((t.parent / ("." + t.name + ".new-")).string());
    fs::path old;  // the replaced directory, to remove once the new one is in place
    try {
        std::vector<std::string> names;
        for (const BuiltFile& f : files) {
            interrupt.check();
            writeNewFile((fresh / f.name).string(), f.bytes);
            names.push_back(f.name);
        }
        if (exists) {
            const std::string warning = keepModeAndGroup(target.string(), fresh.string(), names);
            if (!warning.empty()) std::cerr << "zelcomdb: warning: " << oneLine(warning) << '\n';
        }
        syncDirectory(fresh.string());
        interrupt.check();
        if (exists && !replace) {
            // Only while still empty: what appeared in it meanwhile is kept.
            try {
                removeEmptyDirectory(target.string());
            } catch (const ToolError&) {
                throw ToolError(named +
                                ": something appeared in it during the build; it is "
                                "kept and nothing was written");
            }
            renameNoReplace(fresh.string(), target.string());
        } else if (!exists) {
            renameNoReplace(fresh.string(), target.string());
        } else if (exchangeDirectories(fresh.string(), target.string())) {
            old = fresh;
        } else {
            old = moveAside(target.string(), (t.parent / ("." + t.name + ".old-")).string());
            try {
                renameNoReplace(fresh.string(), target.string());
            } catch (...) {
                renameNoReplace(old.string(), target.string());
                old.clear();
                throw;
            }
        }
    } catch (...) {
        if (old != fresh) removeQuietly(fresh);
        throw;
    }
    syncDirectory(t.parent.string());
    if (old.empty()) return;
    try {
        removeTree(old);
    } catch (const ToolError& e) {
        throw ToolError(std::string(e.what()) +
                        " (the new database is in place; the rest of the "
                        "old one is in " +
                        shown(old.filename()) + ")");
    }
}

}  // namespace zel::tool
