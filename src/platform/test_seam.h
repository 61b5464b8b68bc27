// The hooks of the test build on the reading path. The shipped library is
// compiled without ZEL_TEST_SEAM: every hook is then an empty inline function,
// and the library holds no test code, no test symbol and no check of a test's
// wishes. The test build (target zel_internal) compiles the file layer and
// the field reader again with ZEL_TEST_SEAM, and fault_injector.cpp answers
// the hooks from the injector installed on the thread. The hooks observe the
// calls that the product path makes (no hook picks another path) and fail
// them where a test plans a failure that real files cannot produce.
//
// Only the file layer and the field reader include this header: the readers
// and their inline templates are compiled once, for both builds, and must not
// differ between them.
#ifndef ZEL_PLATFORM_TEST_SEAM_H
#define ZEL_PLATFORM_TEST_SEAM_H

#include <cstdint>

#include "format/position.h"
#include "platform/file_cause.h"

namespace zel::seam {

#if defined(ZEL_TEST_SEAM)

// A database file is about to be opened under its composed name.
void opening(const unsigned short* name);
// A reader asks for a field: true with `cause` when the read is to fail.
bool failsField(Pos pos, std::uint32_t width, Cause& cause);
// The file layer is asked for n bytes at offset.
void fileRead(std::int64_t offset, std::uint32_t n);
// Whether reads deliver half of their bytes at first (as network file
// systems may), and whether reads are refused with EAGAIN until the file is
// switched to blocking reads.
bool splitsReads();
bool refusesNonBlockingReads();
// The file has been closed: true with `cause` when the close is to fail.
bool failsClose(Cause& cause);

#else

inline void opening(const unsigned short*) {}
inline bool failsField(Pos, std::uint32_t, Cause&) { return false; }
inline void fileRead(std::int64_t, std::uint32_t) {}
inline bool splitsReads() { return false; }
inline bool refusesNonBlockingReads() { return false; }
inline bool failsClose(Cause&) { return false; }

#endif

}  // namespace zel::seam

#endif
