// Fixed-width values assembled from bytes, independent of the host's byte
// order, and the in-place reversals that turn a value stored most significant
// byte first into one stored least significant byte first.
#ifndef ZEL_ACCESSOR_BYTE_CODEC_H
#define ZEL_ACCESSOR_BYTE_CODEC_H

#include <cstdint>

namespace zel {

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
