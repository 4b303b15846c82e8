// The compound-file header: parsing with every field checked, and writing.
#include "platform/storage/Header.h"

#include <cstring>

namespace kelvo::cfb {

Header Header::NewVersion3() {
    Header h;
    h.m_difat.fill(FreeSect);
    return h;
}

Result<Header> Header::Parse(const std::uint8_t* b, std::uint64_t fileSize) {
    if (std::memcmp(b, Signature, sizeof Signature) != 0)
        return MakeError(hr::FileAlreadyExists, "not a compound file (no signature)");
    if (fileSize < HeaderSize)
        return MakeError(hr::InvalidHeader, "the file is shorter than its header");
    Header h;
    h.m_minorVersion = Get16(b + 0x18);
    h.m_majorVersion = Get16(b + 0x1A);
    const std::uint16_t byteOrder = Get16(b + 0x1C);
    h.m_sectorShift = Get16(b + 0x1E);
    const std::uint16_t miniShift = Get16(b + 0x20);
    h.m_numDirSectors = Get32(b + 0x28);
    h.m_numFatSectors = Get32(b + 0x2C);
    h.m_firstDirSector = Get32(b + 0x30);
    h.m_transactionSignature = Get32(b + 0x34);
    const std::uint32_t cutoff = Get32(b + 0x38);
    h.m_firstMiniFatSector = Get32(b + 0x3C);
    h.m_numMiniFatSectors = Get32(b + 0x40);
    h.m_firstDifatSector = Get32(b + 0x44);
    h.m_numDifatSectors = Get32(b + 0x48);
    for (std::uint32_t i = 0; i < HeaderDifatSlots; ++i)
        h.m_difat[i] = Get32(b + 0x4C + 4 * i);

    if (byteOrder != 0xFFFE)
        return MakeError(hr::InvalidHeader, "bad byte order mark");
    if (h.m_majorVersion == 3) {
        if (h.m_sectorShift != 9)
            return MakeError(hr::InvalidHeader, "version 3 needs 512-byte sectors");
    } else if (h.m_majorVersion == 4) {
        if (h.m_sectorShift != 12)
            return MakeError(hr::InvalidHeader, "version 4 needs 4096-byte sectors");
    } else {
        return MakeError(hr::InvalidHeader, "unknown major version");
    }
    if (miniShift != 6)
        return MakeError(hr::InvalidHeader, "mini sectors must be 64 bytes");
    if (cutoff != MiniStreamCutoff)
        return MakeError(hr::InvalidHeader, "mini stream cutoff must be 4096");
    // Counts are checked against what the file can hold, never used to size allocations.
    const std::uint64_t sectors =
        fileSize > h.SectorSize()
            ? (fileSize - h.SectorSize() + h.SectorSize() - 1) >> h.m_sectorShift
            : 0;
    if (h.m_numFatSectors == 0 || h.m_numFatSectors > sectors)
        return MakeError(hr::InvalidHeader, "FAT sector count does not fit the file");
    if (h.m_numDifatSectors > sectors)
        return MakeError(hr::InvalidHeader, "DIFAT sector count does not fit the file");
    if (h.m_numMiniFatSectors > sectors)
        return MakeError(hr::InvalidHeader, "mini FAT sector count does not fit the file");
    return h;
}

std::array<std::uint8_t, HeaderSize> Header::Serialize() const {
    std::array<std::uint8_t, HeaderSize> out{};
    std::uint8_t* b = out.data();
    std::memcpy(b, Signature, sizeof Signature);
    Put16(b + 0x18, m_minorVersion);
    Put16(b + 0x1A, m_majorVersion);
    Put16(b + 0x1C, 0xFFFE);
    Put16(b + 0x1E, m_sectorShift);
    Put16(b + 0x20, 6);
    Put32(b + 0x28, m_majorVersion == 3 ? 0 : m_numDirSectors);
    Put32(b + 0x2C, m_numFatSectors);
    Put32(b + 0x30, m_firstDirSector);
    Put32(b + 0x34, m_transactionSignature);
    Put32(b + 0x38, MiniStreamCutoff);
    Put32(b + 0x3C, m_firstMiniFatSector);
    Put32(b + 0x40, m_numMiniFatSectors);
    Put32(b + 0x44, m_firstDifatSector);
    Put32(b + 0x48, m_numDifatSectors);
    for (std::uint32_t i = 0; i < HeaderDifatSlots; ++i)
        Put32(b + 0x4C + 4 * i, m_difat[i]);
    return out;
}

} // namespace kelvo::cfb
