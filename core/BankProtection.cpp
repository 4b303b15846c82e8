// Protecting a bank, unprotecting it and changing its password: each a rewrite of the whole
// bank into a new file beside it, renamed over it once complete and on disk.
#include "core/BankProtection.h"

#include "core/BankHeader.h"
#include "core/BankSummary.h"
#include "platform/storage/BankStorage.h"
#include "platform/storage/PropertySet.h"
#include "platform/text/CodePages.h"

#include <cstring>

namespace kelvo {

namespace {

// The elements a rewrite writes itself rather than copies.
bool WrittenByRewrite(std::u16string_view name) {
    return name == kBankHeaderStream || name == kSealStream ||
           name == cfb::kSummaryInformationName || name == cfb::kDocSummaryInformationName ||
           name == kSealedSummaryStorage;
}

Result<std::string> ReadStreamBytes(cfb::Storage& parent, std::u16string_view name) {
    auto stream = parent.OpenStream(name, cfb::mode::OpenRead);
    if (!stream)
        return stream.error();
    return stream->ReadAll();
}

Result<void> WriteStreamBytes(cfb::Storage& parent, std::u16string_view name,
                              std::string_view bytes) {
    auto stream = parent.CreateStream(name, cfb::mode::CreateNew);
    if (!stream)
        return stream.error();
    return stream->WriteAll(bytes);
}

// Copies the bank in `source` into the empty `target`: every element, the bank's own
// property sets into their place for the target's kind, the header with the target's
// identifier, and for a protected target the descriptor and the standard sets without text.
Result<void> CopyBank(cfb::Storage& source, bool sourceProtected, cfb::Storage& target,
                      const std::string* descriptor) {
    const bool targetProtected = descriptor != nullptr;
    auto children = source.Enumerate();
    if (!children)
        return children.error();
    for (const cfb::ElementStat& child : *children) {
        if (WrittenByRewrite(child.name))
            continue;
        if (auto r = source.CopyElementTo(child.name, target, child.name, false, true); !r)
            return r;
    }
    auto copied = WithSummaryStorage(source, sourceProtected, false, [&](cfb::Storage& from) {
        return WithSummaryStorage(target, targetProtected, true, [&](cfb::Storage& to) {
            for (std::u16string_view name :
                 {cfb::kSummaryInformationName, cfb::kDocSummaryInformationName}) {
                auto r = from.CopyElementTo(name, to, name, false, true);
                if (!r && r.code() != hr::FileNotFound)
                    return r;
            }
            return Result<void>{};
        });
    });
    if (!copied && copied.code() != hr::FileNotFound)
        return copied;
    auto header = ReadStreamBytes(source, kBankHeaderStream);
    if (!header)
        return header.error();
    SetBankId(*header, targetProtected);
    if (auto r = WriteStreamBytes(target, kBankHeaderStream, *header); !r)
        return r;
    if (targetProtected) {
        if (auto r = WriteProtectedBankSummary(target); !r)
            return r;
        if (auto r = WriteStreamBytes(target, kSealStream, *descriptor); !r)
            return r;
    }
    return {};
}

// Builds the new bank beside `path` with `sealer` (null: plain) and puts it in its place.
Result<void> Rewrite(const std::filesystem::path& path, cfb::Storage& source, bool sourceProtected,
                     std::shared_ptr<BankSealer> sealer, const std::string* descriptor) {
    auto target = SaveTarget::Beside(path);
    if (!target)
        return target.error();
    target->root().SetSealer(std::move(sealer));
    if (auto r = CopyBank(source, sourceProtected, target->root(), descriptor); !r)
        return r; // the file built beside goes with the target
    source = cfb::Storage();
    return target->Finish();
}

// Message `id` naming the bank and what went wrong; a cause with a text of its own stays.
Error RewriteFailure(int id, const std::filesystem::path& path, const Error& cause) {
    if (cause.messageId != 0)
        return cause;
    return MessageError(cause.code, id, {path.string(), ReasonText(cause)});
}

Result<CheckedBank> OpenForRewrite(const std::filesystem::path& path, bool wantProtected) {
    auto checked = CheckBankFile(path);
    if (!checked)
        return checked.error();
    if (checked->isProtected != wantProtected)
        return MessageError(hr::AccessDenied,
                            checked->isProtected ? msg::AlreadyProtected : msg::NotProtected);
    return checked;
}

} // namespace

std::shared_ptr<BankSealer> MakeBankSealer(crypto::SecretBytes dataKey) {
    return std::make_shared<BankSealer>(
        std::move(dataKey),
        std::vector<std::u16string>{std::u16string(kBankHeaderStream), std::u16string(kSealStream),
                                    std::u16string(cfb::kSummaryInformationName),
                                    std::u16string(cfb::kDocSummaryInformationName)});
}

Result<std::shared_ptr<BankSealer>> UnlockBank(cfb::Storage& root, std::string_view password,
                                               const std::string& shownPath) {
    auto descriptor = ReadStreamBytes(root, kSealStream);
    if (!descriptor)
        return MessageError(descriptor.code(), msg::ProtectionDamaged, {shownPath});
    auto key = crypto::UnwrapDataKey(*descriptor, password);
    if (!key) {
        if (key.code() == hr::AccessDenied)
            return MessageError(hr::AccessDenied, msg::WrongPassword);
        if (key.code() == hr::DocFileCorrupt)
            return MessageError(hr::DocFileCorrupt, msg::ProtectionDamaged, {shownPath});
        return key.error();
    }
    return MakeBankSealer(std::move(*key));
}

Result<std::shared_ptr<BankSealer>> UnlockWithPrompt(cfb::Storage& root,
                                                     const std::filesystem::path& path,
                                                     const PasswordPrompt& prompt) {
    const std::string shown = path.string();
    if (!prompt)
        return MessageError(hr::AccessDenied, msg::PasswordNeeded, {shown});
    std::optional<Error> wrong;
    for (int attempt = 0;; ++attempt) {
        auto password = prompt(path, attempt);
        if (!password) {
            if (wrong)
                return *wrong;
            return MessageError(hr::Abort, msg::OpenCancelled);
        }
        auto sealer = UnlockBank(root, password->view(), shown);
        if (sealer || sealer.error().messageId != msg::WrongPassword)
            return sealer;
        wrong = sealer.error();
    }
}

bool IsProtectedBankFile(const std::filesystem::path& path) {
    auto root = cfb::Storage::OpenFile(path, cfb::mode::OpenRead);
    return root && IsProtectedRoot(*root);
}

bool IsProtectedRoot(cfb::Storage& root) {
    auto header = ReadStreamBytes(root, kBankHeaderStream);
    return header && header->size() >= kBankIdOffset + 16 &&
           std::memcmp(header->data() + kBankIdOffset, kProtectedBankId.data(), 16) == 0;
}

Result<void> WithSummaryStorage(cfb::Storage& root, bool protectedBank, bool create,
                                const std::function<Result<void>(cfb::Storage&)>& use) {
    if (!protectedBank)
        return use(root);
    auto storage = create ? OpenOrCreateStorage(root, kSealedSummaryStorage)
                          : root.OpenStorage(kSealedSummaryStorage, cfb::mode::OpenRead);
    if (!storage)
        return storage.error();
    return use(*storage);
}

Result<void> WriteProtectedBankSummary(cfb::Storage& root) {
    BankSummary shown;
    shown.title = AnsiStringText(msg::ProtectedBankTitle);
    return WriteSummary(root, shown, 0, {});
}

Result<std::shared_ptr<BankSealer>> ProtectBankFile(const std::filesystem::path& path,
                                                    std::string_view password,
                                                    const crypto::KdfParams& params) {
    if (password.empty())
        return MessageError(hr::InvalidArg, msg::EmptyPassword);
    auto checked = OpenForRewrite(path, false);
    if (!checked)
        return checked.error();
    crypto::SecretBytes key = crypto::NewDataKey();
    auto descriptor = crypto::WrapDataKey(key, password, params);
    if (!descriptor)
        return RewriteFailure(msg::ProtectFailed, path, descriptor.error());
    auto sealer = MakeBankSealer(std::move(key));
    if (auto r = Rewrite(path, checked->root, false, sealer, &*descriptor); !r)
        return RewriteFailure(msg::ProtectFailed, path, r.error());
    return sealer;
}

Result<void> UnprotectBankFile(const std::filesystem::path& path, std::string_view password) {
    auto checked = OpenForRewrite(path, true);
    if (!checked)
        return checked.error();
    auto sealer = UnlockBank(checked->root, password, path.string());
    if (!sealer)
        return sealer.error();
    checked->root.SetSealer(*sealer);
    if (auto r = Rewrite(path, checked->root, true, nullptr, nullptr); !r)
        return RewriteFailure(msg::UnprotectFailed, path, r.error());
    return {};
}

Result<std::shared_ptr<BankSealer>> ChangeBankPassword(const std::filesystem::path& path,
                                                       std::string_view oldPassword,
                                                       std::string_view newPassword,
                                                       const crypto::KdfParams& params) {
    if (newPassword.empty())
        return MessageError(hr::InvalidArg, msg::EmptyPassword);
    auto checked = OpenForRewrite(path, true);
    if (!checked)
        return checked.error();
    auto old = UnlockBank(checked->root, oldPassword, path.string());
    if (!old)
        return old.error();
    checked->root.SetSealer(*old);
    // A new data key as well: whoever learnt the old password and kept the old key learns
    // nothing of what is written from now on.
    crypto::SecretBytes key = crypto::NewDataKey();
    auto descriptor = crypto::WrapDataKey(key, newPassword, params);
    if (!descriptor)
        return RewriteFailure(msg::PasswordChangeFailed, path, descriptor.error());
    auto sealer = MakeBankSealer(std::move(key));
    if (auto r = Rewrite(path, checked->root, true, sealer, &*descriptor); !r)
        return RewriteFailure(msg::PasswordChangeFailed, path, r.error());
    return sealer;
}

std::string DamagedElementsText(const std::vector<std::u16string>& paths) {
    std::string out;
    for (const std::u16string& path : paths) {
        std::u16string shown;
        for (char16_t c : path) {
            if (c >= 0x20)
                shown.push_back(c);
        }
        if (!out.empty())
            out += ", ";
        out += "«" + Utf16ToUtf8(shown) + "»";
    }
    return out;
}

} // namespace kelvo
