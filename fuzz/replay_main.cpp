// Runs a fuzz target's inputs without libFuzzer: each argument is an input
// file or a directory whose files are run in name order, one call of the
// target per file. Built without sanitizers, so that the inputs can run under
// valgrind's memcheck, which sees what the sanitizers of the fuzz build do not:
// a decision on, or a copy of, bytes that were never written.
//
//   osdb_replay fuzz/corpus/osdb build/fuzz/corpus-osdb
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

namespace fs = std::filesystem;

// The files an argument names: itself, or a directory's regular files sorted
// by name (an empty list when it is neither).
std::vector<fs::path> inputsOf(const fs::path& argument) {
    std::error_code error;
    if (fs::is_regular_file(argument, error)) return {argument};
    std::vector<fs::path> files;
    for (fs::directory_iterator it(argument, error), end; !error && it != end; it.increment(error))
        if (it->is_regular_file(error)) files.push_back(it->path());
    std::sort(files.begin(), files.end());
    return files;
}

bool replay(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return false;
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in),
                                  std::istreambuf_iterator<char>()};
    if (in.bad()) return false;
    // A target returns 0 for every input; any other value marks the input
    // as one the target refuses, which a replay does not expect.
    return LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                  bytes.size()) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s INPUT_FILE_OR_DIRECTORY...\n", argv[0]);
        return 2;
    }
    std::size_t count = 0;
    for (int i = 1; i < argc; ++i) {
        const std::vector<fs::path> files = inputsOf(argv[i]);
        // A directory with no inputs is a corpus not grown yet; a name that
        // is neither file nor directory is a mistake in the command.
        if (files.empty() && !fs::is_directory(argv[i])) {
            std::fprintf(stderr, "%s: no such input file or directory: %s\n", argv[0], argv[i]);
            return 2;
        }
        for (const fs::path& file : files) {
            if (!replay(file)) {
                std::fprintf(stderr, "%s: cannot replay %s\n", argv[0], file.c_str());
                return 1;
            }
            ++count;
        }
    }
    std::printf("%s: %zu inputs replayed\n", argv[0], count);
    return 0;
}
