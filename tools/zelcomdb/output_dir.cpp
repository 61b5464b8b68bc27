#include "output_dir.h"

#include <filesystem>
#include <system_error>

#include "tool_error.h"
#include "tool_file.h"

namespace zel::tool {
namespace {

namespace fs = std::filesystem;

// Removes a directory tree made here; a failure to clean up is not worth
// hiding the error that led to it.
void removeQuietly(const fs::path& path) {
    std::error_code ignored;
    fs::remove_all(path, ignored);
}

void renameOrThrow(const fs::path& from, const fs::path& to, const std::string& what) {
    std::error_code ec;
    fs::rename(from, to, ec);
    if (ec) throw ToolError(to.string() + ": cannot " + what + ": " + ec.message());
}

}  // namespace

void writeDirectory(const std::string& outDir, const std::vector<BuiltFile>& files, bool replace) {
    std::error_code ec;
    fs::path target = fs::absolute(outDir, ec).lexically_normal();
    if (ec || outDir.empty()) throw ToolError(outDir + ": not a usable directory name");
    if (!target.has_filename()) target = target.parent_path();
    const fs::path parent = target.parent_path();
    const std::string base = target.filename().string();

    const fs::file_status status = fs::symlink_status(target, ec);
    const bool exists = fs::exists(status);
    ec.clear();  // a target that does not exist is the usual case
    if (exists && !fs::is_directory(status))
        throw ToolError(outDir + ": exists and is not a directory");
    if (exists && !replace && !fs::is_empty(target, ec))
        throw ToolError(outDir + ": not empty (--force replaces it, keeping none of its files)");
    if (ec) throw ToolError(outDir + ": cannot list the directory: " + ec.message());
    fs::create_directories(parent, ec);
    if (ec) throw ToolError(parent.string() + ": cannot create the directory: " + ec.message());

    const fs::path fresh = makeUniqueDirectory((parent / ("." + base + ".new-")).string());
    fs::path previous;
    try {
        for (const BuiltFile& f : files) writeNewFile((fresh / f.name).string(), f.bytes);
        syncDirectory(fresh.string());
        if (exists) {
            // Moved aside rather than emptied, so that a failure below can put
            // it back as it was.
            previous = makeUniqueDirectory((parent / ("." + base + ".old-")).string());
            renameOrThrow(target, previous / base, "move the old directory aside");
        }
        try {
            renameOrThrow(fresh, target, "move the new directory into place");
        } catch (...) {
            if (exists) fs::rename(previous / base, target, ec);
            throw;
        }
    } catch (...) {
        removeQuietly(fresh);
        if (!previous.empty() && !fs::exists(previous / base, ec)) removeQuietly(previous);
        throw;
    }
    if (!previous.empty()) removeQuietly(previous);
    syncDirectory(parent.string());
}

}  // namespace zel::tool
