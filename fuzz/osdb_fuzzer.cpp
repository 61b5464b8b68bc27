// Fuzz target: the input is the bytes of an OSDB file. It is written under
// the names of a big-endian and a little-endian CPU model, and every public
// member is asked about both; JQWDB tables 2 and 4 reach the fuzzed file
// through the CPU specification values that bound their entry numbers, and
// read valid JQWDB files written beside it.
#include <cstddef>
#include <cstdint>

#include "fuzz/harness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return zel::fuzz::runOneInput(zel::fuzz::Focus::osdb, data, size);
}
