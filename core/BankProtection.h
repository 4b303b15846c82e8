// Protection of a bank by a master password. A protected bank keeps the tree of storages and
// streams of a plain one; its header carries kProtectedBankId, a descriptor stream holds the
// key derivation parameters, the salt and the wrapped data key, and every other stream is
// sealed under the data key (see docs/PROTECTED-BANK.md). The standard property-set streams
// hold only the title "Защищённый банк"; the bank's own sets are sealed in KelvoSummary.
#pragma once

#include "core/Messages.h"
#include "platform/base/Result.h"
#include "platform/crypto/Sealing.h"
#include "platform/storage/Storage.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvo {

/// The descriptor stream of a protected bank.
inline constexpr std::u16string_view kSealStream = u"KelvoSeal";
/// The storage that holds the sealed property sets of a protected bank.
inline constexpr std::u16string_view kSealedSummaryStorage = u"KelvoSummary";

using BankSealer = crypto::KeySealer;

/// Asks for the password of the protected bank at `bank`; `attempt` counts from 0 and is
/// above 0 after a wrong password. Nothing means the user gave none (cancelled, no terminal).
using PasswordPrompt = std::function<std::optional<crypto::SecretBytes>(
    const std::filesystem::path& bank, int attempt)>;

/// The sealer of a protected bank over `dataKey`: everything is sealed except the header,
/// the descriptor and the two standard property-set streams at the root.
std::shared_ptr<BankSealer> MakeBankSealer(crypto::SecretBytes dataKey);

/// Unlocks an opened protected bank with `password`. Errors: message 10151 for a wrong
/// password, 10152 (naming `shownPath`) for a missing or damaged descriptor.
Result<std::shared_ptr<BankSealer>> UnlockBank(cfb::Storage& root, std::string_view password,
                                               const std::string& shownPath);

/// Unlocks `root` of the protected bank at `path` with passwords from `prompt`, asking again
/// after a wrong one until the prompt gives none. Errors: 10150 without a prompt, 10162 when
/// the first answer is none, 10151 when the last password given was wrong, 10152.
Result<std::shared_ptr<BankSealer>> UnlockWithPrompt(cfb::Storage& root,
                                                     const std::filesystem::path& path,
                                                     const PasswordPrompt& prompt);

/// Whether the open compound file `root` carries the header of a protected bank.
bool IsProtectedRoot(cfb::Storage& root);
/// Whether the compound file at `path` is a protected bank (false when it cannot be read).
bool IsProtectedBankFile(const std::filesystem::path& path);

/// Runs `use` on the storage that holds a bank's own property sets: the root of a plain
/// bank, KelvoSummary of a protected one (`create`: made when it is missing; otherwise a
/// missing one gives hr::FileNotFound).
Result<void> WithSummaryStorage(cfb::Storage& root, bool protectedBank, bool create,
                                const std::function<Result<void>(cfb::Storage&)>& use);
/// The standard property sets of a protected bank: the title "Защищённый банк", nothing of
/// the user's.
Result<void> WriteProtectedBankSummary(cfb::Storage& root);

// The three rewrites. Each reads the bank at `path` (which the caller holds the session
// lock of) and builds the new bank beside it, synced, then renamed over it; on any failure
// the bank at `path` stays byte for byte as it was.

/// A plain bank becomes protected by `password` (KDF `params`). Returns its sealer.
/// Errors carry message 10156, 10159 (already protected) or 10161 (empty password).
Result<std::shared_ptr<BankSealer>> ProtectBankFile(const std::filesystem::path& path,
                                                    std::string_view password,
                                                    const crypto::KdfParams& params);
/// A protected bank becomes plain again. Errors: 10151, 10152, 10157, 10160.
Result<void> UnprotectBankFile(const std::filesystem::path& path, std::string_view password);
/// A protected bank gets a new password and a new data key. Errors: 10151, 10152, 10158,
/// 10160, 10161. Returns the new sealer.
Result<std::shared_ptr<BankSealer>> ChangeBankPassword(const std::filesystem::path& path,
                                                       std::string_view oldPassword,
                                                       std::string_view newPassword,
                                                       const crypto::KdfParams& params);

/// The elements that failed authentication as one line for message 10153, UTF-8.
std::string DamagedElementsText(const std::vector<std::u16string>& paths);

} // namespace kelvo
