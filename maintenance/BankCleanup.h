// Bank cleanup: wiping chosen kinds of content from the whole open bank in one pass while
// keeping its structure (the record tree and the password folders stay).
#pragma once

#include "core/Progress.h"
#include "core/QuorvellineDoc.h"

#include <cstddef>

namespace kelvo {

// The cleanup's texts are in core/Messages: the waiting status (20001), the messages 2005,
// 2006 and 2007, the status lines 517, 518 and 519 and the refusals 10116 and 10130.

/// The six check boxes of the dialog.
struct CleanupChoices {
    bool recordKeywords = false;
    bool recordNotes = false;
    bool recordTexts = false; ///< the body streams in RecData
    bool folderKeywords = false;
    bool folderNotes = false;
    bool passwords = false; ///< every password entry, in all folders

    bool Any() const {
        return recordKeywords || recordNotes || recordTexts || folderKeywords || folderNotes ||
               passwords;
    }
};

/// The views that show what the cleanup changed.
class CleanupViews {
public:
    virtual ~CleanupViews() = default;
    /// The record editor reloads the body of the selected record (after the record pass).
    virtual void ReloadSelectedBody() {}
    /// The password list refills itself for the selected folder (at the end).
    virtual void RefillPasswordList() {}
};

struct CleanupResult {
    std::size_t progressRange = 0; ///< password entries + folders + records
    std::size_t progressSteps = 0; ///< records + folders (+ entries when they were removed)
    std::size_t bodiesRemoved = 0; ///< body streams that existed and were destroyed
    std::size_t passwordsRemoved = 0;
};

/// Runs the cleanup: records in pre-order (notes, keywords, body stream destroyed in the
/// working storage at once), then folders in pre-order (notes, keywords), then the password
/// entries from the first; each item gets its status line and one progress step (the pass
/// cannot be stopped: the progress is told so and never asked). Keywords, notes and entries
/// change in memory and reach the file with the next save; the bank is marked modified.
/// Refused with nothing changed: no choice made (message 2005), or record texts chosen and
/// the working storage cannot be opened (10116) or written (10130 with the reason): the
/// body streams go in one transaction before anything else changes.
Result<CleanupResult> RunBankCleanup(CQuorvellineDoc& doc, const CleanupChoices& choices,
                                     Progress* progress = nullptr, CleanupViews* views = nullptr);

} // namespace kelvo
