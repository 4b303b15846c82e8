// Rebuilding the keyword index from the keywords of the records and the password folders,
// with progress reported to (and cancel asked of) the caller's progress window.
#pragma once

#include "index/KeywordIndex.h"

#include <cstdint>

namespace kelvo {

class RecordTree;

/// What the index operations need of a progress window. Every call has a default that does
/// nothing, so callers without a window pass none and tests override what they watch.
class IndexProgress {
public:
    virtual ~IndexProgress() = default;
    virtual void SetRange(std::uint32_t /*low*/, std::uint32_t /*high*/) {}
    virtual void Step() {}
    virtual void SetLine1(AnsiView /*text*/) {}
    virtual void SetLine2(AnsiView /*text*/) {}
    virtual void HideCancel() {}
    /// Lets the window handle waiting events (so Cancel can be pressed), then says whether
    /// cancel was requested. Once requested it stays requested.
    virtual bool CancelRequested() { return false; }
};

/// The trees the build walks. They may change while the progress window handles events:
/// the walk looks every node up again by UID and skips the ones that are gone.
struct BankTrees {
    const RecordTree& records;
    const RecordTree& folders;
};

/// Clears the index and indexes the first top-level record and the first top-level folder
/// with their descendants (pre-order, children in display order). False when a first node is
/// missing or the user cancelled; the index then holds what was collected.
bool BuildIndex(KeywordIndex& index, BankTrees trees, IndexProgress* progress = nullptr);

/// Indexes the object of a "rec:"/"pwd:" key and, with `descendants`, everything below it.
/// Fails when the key names no node or when cancel was requested at that node; the results of
/// the nodes below are ignored, but after a cancel nothing more is added.
bool IndexNode(KeywordIndex& index, BankTrees trees, AnsiView key, bool descendants,
               IndexProgress* progress = nullptr);

/// Adds an object's keywords: each keyword trimmed, empty ones skipped, new words appended
/// with NextFreeUid, the key added to each word's references once.
void AddItemKeywords(KeywordIndex& index, AnsiView key, AnsiView keywords,
                     IndexProgress* progress = nullptr);

} // namespace kelvo
