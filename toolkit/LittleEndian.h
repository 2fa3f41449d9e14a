// Little-endian integers in byte buffers, the byte order of every binary format the program reads
// (DEFLATE words, ZIP records, skin records, BMP headers). The caller checks that the bytes exist.
#pragma once

#include <cstdint>

namespace tk {

inline std::uint16_t LoadLE16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

inline std::uint32_t LoadLE32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

}  // namespace tk
