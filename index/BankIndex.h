// The keyword index of the open bank as the index window keeps it: loaded from the bank,
// rebuilt from the trees and stored, with the stored index coming back when a rebuild fails.
#pragma once

#include "core/Progress.h"
#include "index/KeywordIndex.h"
#include "platform/base/Result.h"

namespace kelvo {

class CQuorvellineDoc;

/// Replaces `index` by the one stored in the bank's working storage: true when one was
/// stored, false (and an empty index) when none was. Fails with message 10121 when the
/// working storage cannot be opened.
Result<bool> LoadBankIndex(KeywordIndex& index, CQuorvellineDoc& doc, Progress* progress = nullptr);

/// What a failed or cancelled rebuild leaves in the index.
enum class FailedBuild {
    Clear,  ///< nothing: there was no stored index to come back to
    Reload, ///< the stored index, loaded again
};

/// Builds the index from the bank's trees and stores it in the bank. When the build fails
/// (cancelled, 10127; a first node missing, 10128) the index is cleared or reloaded as
/// `failed` says and the build's error is returned; when storing fails, the built index
/// stays in memory and the store's error (10120) is returned. When the document came to hold
/// another bank during the build (its events opened one), nothing is stored or loaded: the
/// index is left empty and the build counts as cancelled (10127).
Result<void> RebuildBankIndex(KeywordIndex& index, CQuorvellineDoc& doc, FailedBuild failed,
                              Progress* progress = nullptr);

} // namespace kelvo
