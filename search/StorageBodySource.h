// Record bodies for the index query and the bank search, read from RecData of the working
// storage and turned into plain text by the RTF layer.
#pragma once

#include "platform/base/Result.h"
#include "platform/storage/Storage.h"
#include "search/BankObjects.h"

#include <functional>
#include <optional>
#include <unordered_map>

namespace kelvo {

class CQuorvellineDoc;

class StorageBodySource final : public BodySource {
public:
    /// `open` gives the working storage's root when a body is first needed; the storage is
    /// then held until Release (or the end of this object), so a search over thousands of
    /// records opens the file once. A record without a body stream reads as empty; nothing
    /// is created in the file.
    using Opener = std::function<Result<cfb::Storage>()>;
    explicit StorageBodySource(Opener open) : m_open(std::move(open)) {}
    /// Reads the bodies of the document's working storage (none for a bank that has neither
    /// a file nor a working file yet).
    explicit StorageBodySource(CQuorvellineDoc& doc);

    BodyText ReadBody(std::uint32_t uid) override;
    void Release() override { m_root.reset(); }

    /// Plain texts are kept between reads, up to this many bytes in all, and reused while
    /// the body's bytes are unchanged (same size and hash): converting RTF costs far more
    /// than reading it, and a search dialog runs search after search over the same bodies.
    void SetCacheLimit(std::size_t bytes) { m_cacheLimit = bytes; }

private:
    struct Cached {
        std::uint64_t size = 0;
        std::size_t hash = 0;
        AnsiString text;
    };

    Opener m_open;
    std::optional<cfb::Storage> m_root;
    std::unordered_map<std::uint32_t, Cached> m_cache;
    std::size_t m_cacheBytes = 0;
    std::size_t m_cacheLimit = std::size_t{256} << 20;
};

} // namespace kelvo
