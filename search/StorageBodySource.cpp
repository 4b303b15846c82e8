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
    return BodyText{RtfToPlainTextAnsi(*bytes), bytes->size()};
}

} // namespace kelvo
