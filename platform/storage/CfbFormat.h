// Constants of the compound-file format and little-endian helpers shared by the engine's
// on-disk structures.
#pragma once

#include <cstdint>
#include <cstring>

namespace kelvo::cfb {

inline constexpr std::uint32_t MaxRegSect = 0xFFFFFFFA; ///< highest usable sector number
inline constexpr std::uint32_t DifSect = 0xFFFFFFFC;
inline constexpr std::uint32_t FatSect = 0xFFFFFFFD;
inline constexpr std::uint32_t EndOfChain = 0xFFFFFFFE;
inline constexpr std::uint32_t FreeSect = 0xFFFFFFFF;
inline constexpr std::uint32_t NoStream = 0xFFFFFFFF;

inline constexpr std::uint32_t HeaderSize = 512;
inline constexpr std::uint32_t DirEntrySize = 128;
inline constexpr std::uint32_t MiniSectorSize = 64;
inline constexpr std::uint32_t MiniStreamCutoff = 4096;
inline constexpr std::uint32_t HeaderDifatSlots = 109;
inline constexpr std::uint32_t MaxNameUnits = 31; ///< without the terminating NUL

inline constexpr std::uint8_t Signature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};

inline std::uint16_t Get16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t Get32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
           (std::uint32_t{p[3]} << 24);
}
inline std::uint64_t Get64(const std::uint8_t* p) {
    return std::uint64_t{Get32(p)} | (std::uint64_t{Get32(p + 4)} << 32);
}
inline void Put16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void Put32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
inline void Put64(std::uint8_t* p, std::uint64_t v) {
    Put32(p, static_cast<std::uint32_t>(v));
    Put32(p + 4, static_cast<std::uint32_t>(v >> 32));
}

} // namespace kelvo::cfb
