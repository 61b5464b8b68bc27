// Shared by the fuzz targets: a private directory that the fuzzed database
// files are written into, the selectors taken from an input, and the calls of
// every public member with the checks that each answer must pass.
//
// The first 8 bytes of OSDB and JQWDB files are read by no reader, so they
// carry the selectors (model choice, item, entry, index, memory kind): the
// fuzzer mutates the file and the questions asked of it together.
#ifndef ZEL_FUZZ_HARNESS_H
#define ZEL_FUZZ_HARNESS_H

#include <ZelComFuncDbase.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "tests/plain/plain_accessor.h"

namespace zel::fuzz {

// The library's accessor and its slow twin's (tests/plain), which reads each
// field on its own with no window and no slots, for one directory. Every
// member is asked of both, and any difference in result code or output
// bytes aborts like a crash.
struct Accessors {
    CZelComFuncDbase& library;
    ZelPlainComFuncDbase& plain;
};

// A CPU model as the host names it and the file names it stands for.
struct Model {
    short modelIndex;
    short osNumber;
    short cpuCode;
    short osType;
};

// Big-endian CPU codes (OSDB files most significant byte first): class-1 item
// maps with OS type 4 (entry numbers of JQWDB tables 2 and 4 up to 16 at
// least), a four-field CPU with slot counts 8 and 3, and a class-0 CPU whose
// secondary slot count is 0. Little-endian CPU codes: two class-0 ones, one
// with lower-case letters in its file names.
constexpr Model kBigEndianModels[] = {{13, 5, 16, 4}, {4, 1, 1, 0}, {18, 1, 20, 0}, {11, 2, 11, 1}};
constexpr Model kLittleEndianModels[] = {{20, 1, 30, 0}, {27, 2, 38, 1}};

// The directory that one fuzzing process writes its files into, removed when
// the process ends.
const std::string& privateDirectory();

// Writes (replaces) a file of the private directory.
void writeDatabaseFile(const std::string& name, const std::uint8_t* data, std::size_t size);

// The selectors of one input, taken from its first 8 bytes (0 where the
// input is shorter).
class Selectors {
  public:
    Selectors(const std::uint8_t* data, std::size_t size);

    std::uint8_t byte(int slot) const { return m_bytes[slot & 7]; }
    // Variant 0 and 1: a value from lo - 2 to hi + 2 (out-of-range values on
    // both sides included), from different bytes. Variant 2: any 16-bit value.
    short pick(int slot, int variant, short lo, short hi) const;
    // The variant that a slot's selector takes in this input: inputs differ
    // in which members get in-range and which get any 16-bit selectors.
    int variant(int slot) const;
    const Model& bigEndianModel() const;
    const Model& littleEndianModel() const;

  private:
    std::uint8_t m_bytes[8] = {};
};

// Which family of readers reads the fuzzed file, with selectors of every
// variant; the other family reads the valid companion files, when asked for,
// with in-range selectors.
enum class Focus { osdb, jqwdb };

// Calls every public member for the model with the input's selectors, and
// aborts when an answer breaks a rule: a result code outside {0, -1, -2,
// 100..114} (-2 only from the address table readers, 100..114 only from the
// members that read files), a byte written outside the caller's record, an
// output written on a failure (CpuSpec and CDbCpuSpec excepted), or a field
// outside its range on success, or an answer that the slow twin does not give.
void callEveryMember(Accessors& db, const Model& model, const Selectors& s, Focus focus,
                     bool otherFamily);

// Members asked of models and OS numbers that the entry points refuse, and of
// an accessor whose directory path comes from the input (long, odd UTF-16).
void callWithRefusedSelectors(Accessors& db, const Selectors& s);
void callWithPathFromInput(const std::uint8_t* data, std::size_t size);

// One input of a fuzz target whose input is a file of the focused family.
int runOneInput(Focus focus, const std::uint8_t* data, std::size_t size);

}  // namespace zel::fuzz

#endif
