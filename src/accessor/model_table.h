// Model index (the public name of a CPU model) -> internal CPU code.
#ifndef ZEL_ACCESSOR_MODEL_TABLE_H
#define ZEL_ACCESSOR_MODEL_TABLE_H

namespace zel {

constexpr int kModelCount = 48;
constexpr int kOsNumberCount = 7;

// Checks a model index (0..47, taken as unsigned 16-bit) and gives its CPU
// code; false for an index out of range.
bool cpuCodeOfModel(short modelIndex, short& cpuCode);
// Checks an OS number (1..7: OS number - 1 taken as unsigned 16-bit must not
// exceed 6) and gives its OS type; false for a number out of range.
bool osTypeOfNumber(short osNumber, short& osType);

}  // namespace zel

#endif
