// Fixed-width values of the database files assembled from bytes, independent
// of the host's byte order: the byte order of each file family, the in-place
// reversals that turn a value stored most significant byte first into one
// stored least significant byte first, and the two's-complement readings of
// the stored bits.
// Layout described in doc/file_format.md#byte-order.
#ifndef ZEL_FORMAT_BYTES_H
#define ZEL_FORMAT_BYTES_H

#include <cstdint>

namespace zel {

// How the 2- and 4-byte values of a file are stored.
enum class ByteOrder { leastSignificantFirst, mostSignificantFirst };

// OSDB files of the CPU codes below 30 store every 2- and 4-byte value most
// significant byte first; nothing in the file marks it.
constexpr short kFirstLsbFirstCpuCode = 30;
constexpr ByteOrder osdbByteOrder(short cpuCode) {
    return cpuCode < kFirstLsbFirstCpuCode ? ByteOrder::mostSignificantFirst
                                           : ByteOrder::leastSignificantFirst;
}
// JQWDB files are least significant byte first for every CPU code.
constexpr ByteOrder kJqwdbByteOrder = ByteOrder::leastSignificantFirst;

inline std::uint16_t loadLE16(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

inline std::uint32_t loadLE32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

inline void storeLE16(unsigned char* p, std::uint16_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}

inline void storeLE32(unsigned char* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

// Exchanges p[0] and p[1].
inline void reverse2(unsigned char* p) {
    const unsigned char t = p[0];
    p[0] = p[1];
    p[1] = t;
}

// Reverses p[0..3]: p[0] with p[3], p[1] with p[2].
inline void reverse4(unsigned char* p) {
    unsigned char t = p[0];
    p[0] = p[3];
    p[3] = t;
    t = p[1];
    p[1] = p[2];
    p[2] = t;
}

// The stored value of `width` bytes (1, 2 or 4) at p in a byte order.
inline std::uint32_t loadOrdered(const unsigned char* p, unsigned width, ByteOrder order) {
    unsigned char b[4] = {};
    for (unsigned i = 0; i < width; ++i) b[i] = p[i];
    if (order == ByteOrder::mostSignificantFirst) {
        if (width == 2) reverse2(b);
        if (width == 4) reverse4(b);
    }
    return loadLE32(b);
}

// Stores the low `width` bytes (1, 2 or 4) of value at p in a byte order.
inline void storeOrdered(unsigned char* p, unsigned width, std::uint32_t value, ByteOrder order) {
    unsigned char b[4];
    storeLE32(b, value);
    if (order == ByteOrder::mostSignificantFirst) {
        if (width == 2) reverse2(b);
        if (width == 4) reverse4(b);
    }
    for (unsigned i = 0; i < width; ++i) p[i] = b[i];
}

// Two's-complement reinterpretations, the way the stored bits are taken.
inline std::int32_t asSigned32(std::uint32_t v) {
    return v <= 0x7FFFFFFFu ? static_cast<std::int32_t>(v) : -static_cast<std::int32_t>(~v) - 1;
}
inline short asSigned16(std::uint16_t v) {
    return static_cast<short>(v <= 0x7FFFu ? static_cast<int>(v) : static_cast<int>(v) - 0x10000);
}
inline short asSigned8(std::uint8_t v) {
    return static_cast<short>(v <= 0x7Fu ? static_cast<int>(v) : static_cast<int>(v) - 0x100);
}

}  // namespace zel

#endif
