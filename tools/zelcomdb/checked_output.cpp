#include "checked_output.h"

#include <cerrno>
#include <cstring>

#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

namespace zel::tool {
namespace {

constexpr int kStandardOutput = 1;

// One write of at most n bytes to standard output: the count written or -1.
long writeSome(const char* data, std::size_t n) {
#if defined(_WIN32)
    // The C runtime writes in text mode, LF as CRLF, as through stdout.
    const unsigned part = n > 0x40000000 ? 0x40000000u : static_cast<unsigned>(n);
    return ::_write(kStandardOutput, data, part);
#else
    return static_cast<long>(::write(kStandardOutput, data, n));
#endif
}

int closeStandardOutput() {
#if defined(_WIN32)
    return ::_close(kStandardOutput);
#else
    return ::close(kStandardOutput);
#endif
}

}  // namespace

CheckedOutput::CheckedOutput() { setp(m_buffer, m_buffer + kBufferBytes); }

bool CheckedOutput::writeOut(const char* data, std::size_t n) {
    while (n > 0 && m_error == 0) {
        const long put = writeSome(data, n);
        if (put < 0 && errno == EINTR) continue;
        // A write that takes nothing and gives no reason: the device is full.
        if (put <= 0) m_error = put < 0 ? errno : ENOSPC;
        if (put <= 0) break;
        data += put;
        n -= static_cast<std::size_t>(put);
    }
    return m_error == 0;
}

bool CheckedOutput::flushBuffer() {
    const bool written = writeOut(pbase(), static_cast<std::size_t>(pptr() - pbase()));
    setp(m_buffer, m_buffer + kBufferBytes);
    return written;
}

CheckedOutput::int_type CheckedOutput::overflow(int_type c) {
    // After a failure the output is dropped but taken, so that the
    // subcommand runs to its end and the failure is reported once.
    flushBuffer();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
    }
    return traits_type::not_eof(c);
}

std::streamsize CheckedOutput::xsputn(const char* s, std::streamsize n) {
    const auto count = static_cast<std::size_t>(n);
    if (count <= static_cast<std::size_t>(epptr() - pptr())) {
        std::memcpy(pptr(), s, count);
        pbump(static_cast<int>(count));
    } else {
        flushBuffer();
        writeOut(s, count);
    }
    return n;
}

int CheckedOutput::sync() { return flushBuffer() ? 0 : -1; }

std::string CheckedOutput::finish() {
    flushBuffer();
    // The close reports what a file system kept back until then (a network
    // file system's quota, say).
    if (closeStandardOutput() != 0 && errno != EINTR && m_error == 0) m_error = errno;
    return m_error == 0 ? std::string() : std::strerror(m_error);
}

}  // namespace zel::tool
