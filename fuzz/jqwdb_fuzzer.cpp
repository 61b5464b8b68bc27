// Fuzz target: the input is the bytes of a JQWDB file. It is written under
// the names of a big-endian and a little-endian CPU model (JQWDB files are
// read least significant byte first for both), beside valid OSDB files whose
// CPU specification values bound the entry numbers of tables 2 and 4, and
// every public member is asked about both models.
#include <cstddef>
#include <cstdint>

#include "fuzz/harness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return zel::fuzz::runOneInput(zel::fuzz::Focus::jqwdb, data, size);
}
