// Cutting a keywords text into keywords: comma-separated pieces, where a piece that opens with
// a double quote starts a phrase that runs to the piece closing it.
#pragma once

#include "platform/text/Ansi.h"

#include <vector>

namespace kelvo {

/// Joins pieces into phrases: a piece that begins with a double quote opens a phrase that
/// collects the following pieces (each followed by `separator`) up to the piece that ends with
/// a double quote; the phrase comes out without its quotes and trailing white space. Other
/// pieces come out as they are; empty pieces are skipped; a phrase never closed is dropped
/// together with the pieces after its opening quote. Shared by the keyword splitter (",")
/// and the search expression tokeniser (" ").
std::vector<AnsiString> JoinQuotedPieces(const std::vector<AnsiString>& pieces, AnsiView separator);

/// The keywords of a keywords text, in order: tabs and LFs become spaces, CRs are deleted,
/// the text is cut at commas (trimmed) and quoted phrases are joined. The keywords may still
/// carry outer white space inside quoted phrases and may be empty; callers trim and skip.
std::vector<AnsiString> SplitKeywords(AnsiView text);

/// Strips white space (as the C locale's isspace sees it) from both ends or the end.
AnsiView TrimText(AnsiView text);
AnsiView TrimRight(AnsiView text);

} // namespace kelvo
