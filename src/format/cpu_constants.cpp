#include "format/cpu_constants.h"

#include <cstddef>

#include "format/bytes.h"

namespace zel {
namespace {

constexpr std::size_t kCpuCodes = 48;

// Map class by CPU code 0..23; class 1 only where the byte is exactly 1, so
// CPU code 15 (255) and every CPU code beyond the table use class 0.
constexpr std::uint8_t kMapClass[24] = {
    0, 0, 0, 0, 0, 0, 0, 0,    //  0..7
    0, 0, 0, 1, 1, 1, 1, 255,  //  8..15
    1, 1, 0, 0, 0, 0, 0, 0,    // 16..23
};

// Slots per row by CPU code.
constexpr std::uint16_t kSlotCount[kCpuCodes] = {
    32, 8,  32, 32, 32, 32, 32, 32,  //  0..7
    8,  8,  32, 32, 32, 32, 32, 32,  //  8..15
    32, 32, 0,  0,  32, 32, 0,  0,   // 16..23
    0,  0,  0,  0,  0,  0,  32, 32,  // 24..31
    32, 32, 32, 0,  32, 32, 32, 32,  // 32..39
    32, 32, 32, 0,  0,  0,  0,  0,   // 40..47
};

// Slots per row in table 6 sections 1 and 7, by CPU code.
constexpr std::uint16_t kSecondarySlotCount[kCpuCodes] = {
    12, 3,  12, 12, 12, 12, 12, 3,   //  0..7
    3,  3,  12, 12, 12, 12, 12, 12,  //  8..15
    12, 12, 0,  0,  0,  0,  0,  0,   // 16..23
    0,  0,  0,  0,  0,  0,  12, 12,  // 24..31
    12, 12, 12, 0,  12, 12, 12, 12,  // 32..39
    12, 12, 12, 0,  0,  0,  0,  0,   // 40..47
};

// Slot size and lead-in of the sections 0..8 of table 6. Section 4 holds
// 12-byte rows from offset 8 (read by DbTb5) and, from offset 272 onward,
// the slots that DbTb4 reads.
constexpr SectionGeometry kTable6Geometry[] = {
    {8, 0},     // 0
    {8, 0},     // 1
    {12, 12},   // 2
    {8, 0},     // 3
    {12, 272},  // 4
    {12, 8},    // 5
    {4, 0},     // 6
    {4, 0},     // 7
    {8, 0},     // 8
};

// Two-bit fields per 4-byte address step by CPU code.
constexpr std::uint8_t kTwoBitFields[kCpuCodes] = {
    8, 4, 8, 8, 8, 8, 8, 8,  //  0..7
    4, 4, 8, 8, 8, 8, 8, 4,  //  8..15
    4, 4, 4, 4, 8, 8, 4, 4,  // 16..23
    4, 4, 4, 4, 4, 4, 8, 8,  // 24..31
    8, 8, 8, 4, 8, 8, 8, 8,  // 32..39
    8, 8, 8, 4, 4, 4, 4, 4,  // 40..47
};

// Masks of the two-bit fields 1..32 (eight per step) and 1..8 (four per
// step). Both tables repeat with the period of their step, so a larger entry
// number continues the period.
constexpr std::uint16_t kEightFieldMasks[32] = {
    1, 4, 16, 64, 256, 1024, 4096, 16384,  //
    1, 4, 16, 64, 256, 1024, 4096, 16384,  //
    1, 4, 16, 64, 256, 1024, 4096, 16384,  //
    1, 4, 16, 64, 256, 1024, 4096, 16384,  //
};
constexpr std::uint16_t kFourFieldMasks[8] = {1, 4, 16, 64, 1, 4, 16, 64};

bool isTabled(short cpuCode, std::size_t tableSize) {
    return cpuCode >= 0 && static_cast<std::size_t>(cpuCode) < tableSize;
}

}  // namespace

int mapClassOf(short cpuCode) {
    return isTabled(cpuCode, sizeof kMapClass) && kMapClass[cpuCode] == 1 ? 1 : 0;
}

bool usesSecondaryCount(std::uint16_t table, std::uint16_t section) {
    return table == kGeometryTable && (section == 1 || section == 7);
}

std::uint16_t slotCountOf(short cpuCode, std::uint16_t table, std::uint16_t section) {
    if (!isTabled(cpuCode, kCpuCodes)) return 0;
    return usesSecondaryCount(table, section) ? kSecondarySlotCount[cpuCode] : kSlotCount[cpuCode];
}

int boundValueIndexOf(std::uint16_t table, std::uint16_t section) {
    return usesSecondaryCount(table, section) ? 1 : 0;
}

short entryBoundOf(std::int32_t boundValue) {
    return asSigned16(static_cast<std::uint16_t>(static_cast<std::uint32_t>(boundValue) & 0xFFFFu));
}

SectionGeometry table6Geometry(std::uint16_t section) {
    constexpr std::size_t sections = sizeof kTable6Geometry / sizeof kTable6Geometry[0];
    return section < sections ? kTable6Geometry[section] : SectionGeometry{0, 0};
}

int twoBitFieldsPerStep(short cpuCode) {
    return isTabled(cpuCode, kCpuCodes) ? kTwoBitFields[cpuCode] : 4;
}

std::uint16_t twoBitMask(short cpuCode, short entry) {
    const auto field = static_cast<std::size_t>(entry > 0 ? entry - 1 : 0);
    if (twoBitFieldsPerStep(cpuCode) == 8) return kEightFieldMasks[field % 32];
    return kFourFieldMasks[field % 8];
}

}  // namespace zel
