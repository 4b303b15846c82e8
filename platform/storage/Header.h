// The 512-byte compound-file header: parsing with every field checked, and writing.
#pragma once

#include "platform/base/Result.h"
#include "platform/storage/CfbFormat.h"

#include <array>
#include <cstdint>

namespace kelvo::cfb {

class Header {
public:
    /// A fresh version-3 header (512-byte sectors) with no sectors yet.
    static Header NewVersion3();
    /// Parses the first 512 bytes of a file of `fileSize` bytes. A wrong signature gives
    /// hr::FileAlreadyExists (the file is not a compound file); any other bad field
    /// hr::InvalidHeader.
    static Result<Header> Parse(const std::uint8_t* bytes, std::uint64_t fileSize);
    /// The 512 header bytes.
    std::array<std::uint8_t, HeaderSize> Serialize() const;

    std::uint32_t SectorSize() const { return 1u << m_sectorShift; }
    std::uint32_t EntriesPerSector() const { return SectorSize() / 4; }
    std::uint64_t SectorOffset(std::uint32_t sector) const {
        return (std::uint64_t{sector} + 1) << m_sectorShift;
    }

    std::uint16_t m_minorVersion = 0x003E;
    std::uint16_t m_majorVersion = 3;
    std::uint16_t m_sectorShift = 9;
    std::uint32_t m_numDirSectors = 0;
    std::uint32_t m_numFatSectors = 0;
    std::uint32_t m_firstDirSector = EndOfChain;
    std::uint32_t m_transactionSignature = 0;
    std::uint32_t m_firstMiniFatSector = EndOfChain;
    std::uint32_t m_numMiniFatSectors = 0;
    std::uint32_t m_firstDifatSector = EndOfChain;
    std::uint32_t m_numDifatSectors = 0;
    std::array<std::uint32_t, HeaderDifatSlots> m_difat{};
};

} // namespace kelvo::cfb
