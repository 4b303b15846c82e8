// Writes the document model as RTF that the Windows rich-edit control reads back.
#pragma once

#include "platform/rtf/RtfDocument.h"

#include <string>

namespace kelvo {

/// Writes the model as the control writes a body: `{\rtf1\ansi\ansicpg1251\deff0\deflang1049`,
/// a font table keeping each font's character set, a colour table when colours are used,
/// `\viewkind4\uc1`, then the paragraphs. Text goes out as `\'hh` in the code page of its
/// font's character set (Windows-1251 for \fcharset204) and as `\uN?` where that page has no
/// byte. Metafile, DIB and other old-style pictures are written back with their original
/// bytes; PNG, JPEG and EMF pictures as `{\*\shppict...}` followed by their fallback metafile
/// in `{\nonshppict...}`; embedded objects exactly as they were read.
/// Reading the result gives the same model (ReadRtf(WriteRtf(d)) == d for any d ReadRtf made).
std::string WriteRtf(const RtfDocument& doc);

} // namespace kelvo
