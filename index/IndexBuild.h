// Rebuilding the keyword index from the keywords of the records and the password folders,
// with progress reported to (and cancel asked of) the caller's progress window.
#pragma once

#include "core/BankTrees.h"
#include "core/Progress.h"
#include "index/KeywordIndex.h"
#include "platform/base/Result.h"

namespace kelvo {

/// Clears the index and indexes the first top-level record and the first top-level folder
/// with their descendants (pre-order, children in display order; the walk of BankTrees, so
/// the trees may change while the progress window handles events). Fails with message
/// 10127 (hr::Abort) when the user cancelled, or 10128 when a first node is missing; the
/// index then holds what was collected.
Result<void> BuildIndex(KeywordIndex& index, BankTrees trees, Progress* progress = nullptr);

/// Indexes the object of a "rec:"/"pwd:" key and, with `descendants`, everything below it.
/// Fails when the key names no node (10128) or when cancel was requested at that node
/// (10127); the results of the nodes below are ignored, but after a cancel nothing more is
/// added.
Result<void> IndexNode(KeywordIndex& index, BankTrees trees, AnsiView key, bool descendants,
                       Progress* progress = nullptr);

/// Adds an object's keywords: each keyword trimmed, empty ones skipped, new words appended
/// with NextFreeUid, the key added to each word's references once.
void AddItemKeywords(KeywordIndex& index, AnsiView key, AnsiView keywords,
                     Progress* progress = nullptr);

} // namespace kelvo
