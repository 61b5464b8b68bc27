#include "accessor/model_table.h"

namespace zel {
namespace {

// CPU code of each model index, eight model indices per row.
constexpr signed char kModelCpuCodes[kModelCount] = {
    0,  2,  0,  5,  1,  6,  10, 8,   //
    9,  4,  0,  11, 12, 16, 17, 13,  //
    14, 7,  20, 21, 30, 31, 32, 33,  //
    34, 36, 37, 38, 39, 40, 41, 42,  //
    0,  0,  0,  0,  0,  0,  0,  0,   //
    0,  0,  0,  0,  0,  0,  0,  0,   //
};

}  // namespace

bool cpuCodeOfModel(short modelIndex, short& cpuCode) {
    const auto index = static_cast<unsigned short>(modelIndex);
    if (index >= kModelCount) return false;
    cpuCode = kModelCpuCodes[index];
    return true;
}

bool osTypeOfNumber(short osNumber, short& osType) {
    const auto type = static_cast<unsigned short>(osNumber - 1);
    if (type >= kOsNumberCount) return false;
    osType = static_cast<short>(type);
    return true;
}

}  // namespace zel
