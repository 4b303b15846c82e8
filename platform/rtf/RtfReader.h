// Reads a record body, RTF as the Windows rich-edit control writes it, into the document
// model.
#pragma once

#include "platform/rtf/RtfDocument.h"

#include <string_view>

namespace kelvo {

/// Reads RTF into the model. Never fails and never throws: like the control it takes what it
/// can from damaged input (unbalanced braces, a cut-off end, garbage, bytes after the last
/// brace) and reads input that is not RTF at all as Windows-1251 text, one paragraph a line.
/// Bytes of `\'hh` are decoded in the code page of the current font's \fcharset (falling back
/// to \ansicpg, then 1251); \uN honours \ucN per group. Pictures keep their bytes, embedded
/// objects the exact text of their group. The result has at least one paragraph.
RtfDocument ReadRtf(std::string_view rtf);

/// True when the bytes start (after white space) with "{\rtf"; the reader and the plain-text
/// conversion treat anything else as plain Windows-1251 text.
bool IsRtf(std::string_view bytes);

} // namespace kelvo
