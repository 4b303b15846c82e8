// The word query of the index dialog: the records and password folders whose keywords hold
// every ticked word, as result rows.
#pragma once

#include "index/KeywordIndex.h"
#include "search/BankObjects.h"
#include "search/ResultRows.h"

#include <vector>

namespace kelvo {

/// Runs the query for the ticked words (in list order) and refills `rows`; returns the status
/// line (UTF-8). Candidates are the objects referenced by every ticked word that is in the index,
/// kept by the filter; each becomes a row when the object still exists and its keywords,
/// matched with the words joined by AND (case significant), still hold them all; the
/// keywords come back marked. `listRows` is the number of rows in the word list, shown when
/// nothing is ticked.
std::string QueryIndex(const KeywordIndex& index, const std::vector<AnsiString>& tickedWords,
                       KeywordFilter filter, std::size_t listRows, SearchBank bank,
                       ResultRows& rows);

/// The expression the query matches: each word in double quotes followed by a space, joined
/// by "AND " ("\"w1\" AND \"w2\" ").
AnsiString QueryExpression(const std::vector<AnsiString>& words);

} // namespace kelvo
