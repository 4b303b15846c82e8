// Banks for the fault tests, built through the document as the program builds them.
#pragma once

#include "core/QuorvellineDoc.h"

#include <string>

namespace kelvo::test {

/// An RTF body of about `size` bytes, different for each seed.
std::string SampleRtf(std::size_t size, unsigned seed);
/// Bank text from UTF-8.
AnsiString BankText(const std::string& utf8);

/// Fills a new document with `records` records three levels deep ("Запись <n>": twenty under
/// the root, then four times as many under those, the rest under the second level), notes and
/// keywords on each, bodies on nine in ten (one in twenty-five some tens of kilobytes), forty
/// password folders holding `passwords` entries, and three user-defined properties. Bodies go
/// to the working storage as they would in the program; the bank is not saved.
void FillSampleBank(CQuorvellineDoc& doc, int records, int passwords);
/// The record titled "Запись <n>", or null.
TreeNode* SampleRecord(CQuorvellineDoc& doc, int n);

} // namespace kelvo::test
