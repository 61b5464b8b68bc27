// Runs a call on a thread of its own, so that a call that blocks (an open of
// a FIFO waiting for a writer) fails the test instead of hanging it.
#ifndef ZEL_TESTS_SUPPORT_BOUNDED_CALL_H
#define ZEL_TESTS_SUPPORT_BOUNDED_CALL_H

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <future>
#include <string>

#if !defined(_WIN32)
#include <fcntl.h>
#include <unistd.h>
#endif

namespace zel::testing {

// The call's answer. When it has not returned after a limit far above any
// call's time, the test fails and `release` is called until the call returns.
template <class Call>
auto boundedCall(Call call, const std::function<void()>& release) {
    auto running = std::async(std::launch::async, call);
    if (running.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
        ADD_FAILURE() << "the call blocked";
        // Again and again: a freed call may block on its next file.
        do release();
        while (running.wait_for(std::chrono::milliseconds(100)) != std::future_status::ready);
    }
    return running.get();
}

#if !defined(_WIN32)
// Frees calls blocked in opening a FIFO below `dir`: opening the FIFO for
// writing lets the reader's open return.
inline void openFifosForWriting(const std::string& dir) {
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir)) {
        if (!entry.is_fifo()) continue;
        const int fd = ::open(entry.path().c_str(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0) ::close(fd);
    }
}
#endif

}  // namespace zel::testing

#endif
