// Reading record bodies as plain text from the working storage.
#include "search/StorageBodySource.h"

#include "core/QuorvellineDoc.h"
#include "core/RecordBody.h"
#include "platform/rtf/RtfPlainText.h"

namespace kelvo {

StorageBodySource::StorageBodySource(CQuorvellineDoc& doc)
    : m_open([&doc]() -> Result<cfb::Storage> {
          if (!doc.hasFile() && doc.tempPath().empty())
              return MakeError(hr::FileNotFound, "no working storage yet");
          return doc.WorkingStorage();
      }) {}

BodyText StorageBodySource::ReadBody(std::uint32_t uid) {
    if (!m_root) {
        auto root = m_open();
        if (!root)
            return {};
        m_root.emplace(std::move(*root));
    }
    auto bytes = ReadRecordBody(*m_root, uid);
    if (!bytes)
        return {};
    const std::size_t hash = std::hash<std::string_view>{}(*bytes);
    auto it = m_cache.find(uid);
    if (it != m_cache.end() && it->second.size == bytes->size() && it->second.hash == hash)
        return BodyText{it->second.text, bytes->size()};
    BodyText body{RtfToPlainTextAnsi(*bytes), bytes->size()};
    if (it != m_cache.end()) {
        m_cacheBytes -= it->second.text.size();
        m_cache.erase(it);
    }
    if (m_cacheBytes + body.text.size() <= m_cacheLimit) {
        m_cacheBytes += body.text.size();
        m_cache.emplace(uid, Cached{body.size, hash, body.text});
    }
    return body;
}

} // namespace kelvo
