// Plain text of a record body as the rich-edit control shows it: what search and the index
// read, and the text of the model for comparison.
#pragma once

#include "platform/rtf/RtfDocument.h"
#include "platform/text/Ansi.h"

#include <string>
#include <string_view>

namespace kelvo {

/// The text of a body (RTF, or plain text when it is not RTF) in UTF-8: paragraphs separated
/// by CR LF (the last paragraph mark, which the control merges with the end of the document,
/// adds nothing), soft line breaks (\line) as CR LF too so that words on either side stay
/// apart, tabs as tabs, bullets and numbers as the paragraph shows them (\pntext). Pictures,
/// embedded objects and hidden text (\v) are left out. A single scan that builds no model;
/// it gives the same text as PlainText(ReadRtf(rtf)).
std::string RtfToPlainText(std::string_view rtf);

/// The same text in Windows-1251, for the search over 8-bit bank text. Characters that
/// Windows-1251 cannot hold become '?'.
AnsiString RtfToPlainTextAnsi(std::string_view rtf);

/// The plain text of a model, by the rules of RtfToPlainText.
std::string PlainText(const RtfDocument& doc);

} // namespace kelvo
