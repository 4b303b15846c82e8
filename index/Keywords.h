// Cutting a keywords text into keywords: comma-separated pieces, where a piece that opens with
// a double quote starts a phrase that runs to the piece closing it (JoinQuotedPieces).
#pragma once

#include "platform/text/Ansi.h"

#include <vector>

namespace kelvo {

/// The keywords of a keywords text, in order: tabs and LFs become spaces, CRs are deleted,
/// the text is cut at commas (trimmed) and quoted phrases are joined. The keywords may still
/// carry outer white space inside quoted phrases and may be empty; callers trim and skip.
std::vector<AnsiString> SplitKeywords(AnsiView text);

} // namespace kelvo
