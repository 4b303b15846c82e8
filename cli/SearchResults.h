// The result rows of kvb query and kvb search as text or JSON.
#pragma once

#include "cli/BankCommand.h"
#include "search/ResultRows.h"

namespace kelvo::cli {

/// Prints {"status", "results": [{"key", "place", "keywords", "notes", "size_kb", "detail"}]}
/// or, as text, the status line (UTF-8) and one block per row (texts in the program's markup).
void PrintResultRows(CommandIo& io, std::string_view status, const ResultRows& rows);

} // namespace kelvo::cli
