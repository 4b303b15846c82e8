// The rule by which input histories of combo boxes grow: newest first, bounded, no repeats.
#pragma once

#include "platform/text/Ansi.h"

#include <cstddef>
#include <vector>

namespace kelvo {

/// Adds `text` at the top of `history`, which holds at most `maximum` entries. An empty text
/// is not added (result false). Otherwise the list is first cut from its end to maximum - 1
/// entries, then the first entry equal to the text (exact, case-sensitive) is removed, then
/// the text is inserted at the top (result true).
bool AddToHistory(std::vector<AnsiString>& history, AnsiView text, std::size_t maximum);

} // namespace kelvo
