// Sealing of stream contents: a file can be given a sealer that turns every stream's content
// into a sealed form on its way to the disk and back into the content on its way from it.
// The engine and its handles stay the same; only the bytes a stream holds on disk differ.
// The storage layer knows no cryptography: the sealer is supplied from above.
#pragma once

#include "platform/base/Result.h"

#include <string>
#include <string_view>

namespace kelvo::cfb {

class StreamSealer {
public:
    virtual ~StreamSealer() = default;
    /// Whether the stream at `path` (element names from the root, "/" between them) is kept
    /// sealed; the others are stored as they are.
    virtual bool Seals(std::u16string_view path) const = 0;
    /// The stored form of `content` for the stream at `path`.
    virtual Result<std::string> Seal(std::u16string_view path, std::string_view content) const = 0;
    /// The content of the stored form `sealed` of the stream at `path`; fails (without
    /// changing anything) when the stored form was not made by Seal for this path and key.
    virtual Result<std::string> Open(std::u16string_view path, std::string_view sealed) const = 0;
    /// The content size of a stored form of `sealedSize` bytes, without opening it.
    virtual std::uint64_t ContentSize(std::uint64_t sealedSize) const = 0;
};

} // namespace kelvo::cfb
