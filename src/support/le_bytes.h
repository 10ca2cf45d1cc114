// Little-endian integers read from and written to byte buffers, one byte at a
// time through unsigned values, so no alignment or sign questions arise.
#pragma once

#include <cstdint>

namespace rostrix {

inline std::uint16_t readLe16(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

inline std::uint32_t readLe32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

inline void writeLe16(unsigned char* p, std::uint16_t value) {
    p[0] = static_cast<unsigned char>(value & 0xFF);
    p[1] = static_cast<unsigned char>(value >> 8);
}

inline void writeLe32(unsigned char* p, std::uint32_t value) {
    p[0] = static_cast<unsigned char>(value & 0xFF);
    p[1] = static_cast<unsigned char>((value >> 8) & 0xFF);
    p[2] = static_cast<unsigned char>((value >> 16) & 0xFF);
    p[3] = static_cast<unsigned char>(value >> 24);
}

}  // namespace rostrix
