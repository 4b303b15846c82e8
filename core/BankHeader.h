// The 512-byte header stream KelvoDataBank that marks a compound file as a bank, and the
// check that a file is a bank before it is opened.
#pragma once

#include "core/Messages.h"
#include "platform/base/Result.h"
#include "platform/storage/Storage.h"

#include <array>
#include <cstdint>
#include <filesystem>

namespace kelvo {

inline constexpr std::size_t kBankHeaderSize = 512;
inline constexpr std::u16string_view kBankHeaderStream = u"KelvoDataBank";
/// The only field checked on open: the bank identifier at offset 68.
inline constexpr std::size_t kBankIdOffset = 68;
inline constexpr std::size_t kRevisionOffset = 296;
extern const std::array<std::uint8_t, 16> kBankId;
/// The identifier of a bank protected by a password (its other streams are sealed): the
/// Windows program, which knows only kBankId, refuses such a file as "not a bank".
extern const std::array<std::uint8_t, 16> kProtectedBankId;

/// UTC time of a save as the header keeps it (eight 16-bit fields).
struct HeaderTime {
    std::uint16_t year = 0, month = 0, dayOfWeek = 0, day = 0;
    std::uint16_t hour = 0, minute = 0, second = 0, milliseconds = 0;
    static HeaderTime NowUtc();
};

/// The 512 header bytes for a save at `time`, with the tick count and the revision number.
std::array<std::uint8_t, kBankHeaderSize> BuildBankHeader(std::uint32_t revision,
                                                          const HeaderTime& time,
                                                          std::uint32_t tickCount,
                                                          bool protectedBank = false);
/// Milliseconds since the computer started (wraps at 32 bits).
std::uint32_t TickCount();

/// Writes the header of a save now at the start of KelvoDataBank (opened or created; not
/// truncated first).
Result<void> WriteBankHeader(cfb::Storage& root, std::uint32_t revision,
                             bool protectedBank = false);
/// Sets the identifier of 512 header bytes (`header` of kBankHeaderSize bytes).
void SetBankId(std::string& header, bool protectedBank);

/// A file that passed the check: its open root storage and the header's revision number.
struct CheckedBank {
    cfb::Storage root;
    std::uint32_t revision = 0;
    /// The header carries kProtectedBankId: the bank must be unlocked before it is read.
    bool isProtected = false;
};

/// Checks that `path` is a bank and opens it. On failure the error carries message 61697 (no
/// such file), 2002 (not a compound file, with the status) or 2003 (not a bank) and nothing
/// stays open. A header too short to hold a revision number gives revision 0.
Result<CheckedBank> CheckBankFile(const std::filesystem::path& path);

} // namespace kelvo
