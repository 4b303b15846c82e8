// Loading and rebuilding the open bank's keyword index.
#include "index/BankIndex.h"

#include "core/Messages.h"
#include "core/QuorvellineDoc.h"
#include "index/IndexBuild.h"
#include "index/IndexStorage.h"

namespace kelvo {

Result<bool> LoadBankIndex(KeywordIndex& index, CQuorvellineDoc& doc, Progress* progress) {
    auto root = doc.WorkingStorage();
    if (!root)
        return ErrorWithReason(msg::IndexNotLoaded, root.error());
    return LoadIndex(index, *root, progress);
}

Result<void> RebuildBankIndex(KeywordIndex& index, CQuorvellineDoc& doc, FailedBuild failed,
                              Progress* progress) {
    // The build reads only the trees: the bank file is not held while the progress window
    // handles its events. Those events may open another bank: what was built then belongs to
    // none, and neither it nor the other bank's stored index is what the caller asked for.
    const std::uint64_t contents = doc.ContentsSerial();
    auto built = BuildIndex(index, doc.trees(), progress);
    const bool replaced = doc.ContentsSerial() != contents;
    if (!built || replaced) {
        // Nothing of the partial build stays, also when the stored index cannot be read.
        index.Clear();
        if (replaced)
            return MessageError(hr::Abort, msg::IndexBuildCancelled);
        if (failed == FailedBuild::Reload)
            (void)LoadBankIndex(index, doc, progress);
        return built;
    }
    auto root = doc.WorkingStorage();
    if (!root)
        return ErrorWithReason(msg::IndexSaveFailed, root.error());
    return SaveIndex(index, *root, progress);
}

} // namespace kelvo
