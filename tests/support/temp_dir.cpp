#include "tests/support/temp_dir.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <random>

namespace zel::testing {

TempDir::TempDir() {
    namespace fs = std::filesystem;
    static std::atomic<unsigned> counter{0};
    std::random_device entropy;
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    for (;;) {
        const fs::path candidate =
            fs::temp_directory_path() / ("zeldb-" + std::to_string(entropy()) + "-" +
                                         std::to_string(stamp) + "-" + std::to_string(counter++));
        if (fs::create_directory(candidate)) {
            m_path = candidate.generic_string();
            return;
        }
    }
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

void TempDir::remove(const std::string& name) const {
    std::error_code ignored;
    std::filesystem::remove(file(name), ignored);
}

}  // namespace zel::testing
