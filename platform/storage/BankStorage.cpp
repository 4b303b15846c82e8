// The bank's open-or-create helpers over the compound-file engine.
#include "platform/storage/BankStorage.h"

namespace kelvo {

bool FileExists(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::symlink_status(path, ec)) && !ec;
}

Result<cfb::Storage> OpenOrCreateBankFile(const std::filesystem::path& path) {
    auto opened = cfb::Storage::OpenFile(path, cfb::mode::Open);
    if (opened)
        return opened;
    // Only a missing file, or one that is not a compound file at all (an empty temporary
    // file, say), is replaced. A compound file that fails to open (damaged, locked by another
    // program, not readable) is kept: replacing it would destroy a bank.
    const HResult code = opened.code();
    if (code != hr::FileNotFound && code != hr::FileAlreadyExists)
        return opened;
    return cfb::Storage::CreateFile(path, cfb::mode::CreateNew);
}

Result<cfb::Storage> OpenOrCreateStorage(cfb::Storage& parent, std::u16string_view name) {
    auto opened = parent.OpenStorage(name, cfb::mode::Open);
    if (opened)
        return opened;
    return parent.CreateStorage(name, cfb::mode::CreateNew);
}

Result<cfb::Stream> OpenOrCreateStream(cfb::Storage& parent, std::u16string_view name) {
    auto opened = parent.OpenStream(name, cfb::mode::Open);
    if (opened)
        return opened;
    return parent.CreateStream(name, cfb::mode::CreateNew);
}

} // namespace kelvo
