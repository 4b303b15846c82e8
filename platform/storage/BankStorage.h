// Storage helpers every part of the bank uses: open, or else create, a bank file, a child
// storage or a child stream, with the modes the bank format fixes.
#pragma once

#include "platform/storage/Storage.h"

#include <filesystem>

namespace kelvo {

/// True when a directory search finds the path (a file or a directory).
bool FileExists(const std::filesystem::path& path);
/// Opens the compound file with mode 0x12; when the file is missing or is not a compound file
/// at all, creates it with 0x1012. Any other failure (a damaged compound file, a file open
/// elsewhere, no permission) is returned and the file is left as it is.
Result<cfb::Storage> OpenOrCreateBankFile(const std::filesystem::path& path);
Result<cfb::Storage> OpenOrCreateStorage(cfb::Storage& parent, std::u16string_view name);
Result<cfb::Stream> OpenOrCreateStream(cfb::Storage& parent, std::u16string_view name);

} // namespace kelvo
