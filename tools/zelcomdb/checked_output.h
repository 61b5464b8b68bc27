// Standard output that reports its failures. Everything the tool prints goes
// through it; once a write fails (a full disk, a closed pipe, /dev/full) the
// rest is dropped and the first failure is kept, so that the tool ends with
// an error instead of reporting success for output that was lost.
#ifndef ZELCOMDB_CHECKED_OUTPUT_H
#define ZELCOMDB_CHECKED_OUTPUT_H

#include <streambuf>
#include <string>

namespace zel::tool {

class CheckedOutput : public std::streambuf {
  public:
    CheckedOutput();
    CheckedOutput(const CheckedOutput&) = delete;
    CheckedOutput& operator=(const CheckedOutput&) = delete;

    // Writes what is buffered and closes standard output: "" when every
    // byte reached it, else the reason of the first failure.
    std::string finish();

  protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* s, std::streamsize n) override;
    int sync() override;

  private:
    bool writeOut(const char* data, std::size_t n);
    bool flushBuffer();

    static constexpr std::size_t kBufferBytes = 65536;
    char m_buffer[kBufferBytes];
    int m_error = 0;  // errno of the first failure
};

}  // namespace zel::tool

#endif
