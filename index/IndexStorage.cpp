// The keyword index in the bank file: opening BnkIndx and its streams for a save or a load.
#include "index/IndexStorage.h"

#include "core/Messages.h"
#include "platform/storage/BankStorage.h"
#include "platform/storage/Storage.h"

namespace kelvo {

namespace {

Result<void> WriteIndex(const KeywordIndex& index, cfb::Storage& root, Progress* progress) {
    auto storage = OpenOrCreateStorage(root, kIndexStorageName);
    if (!storage)
        return storage.error();
    auto info = OpenOrCreateStream(*storage, kIndexInfoName);
    if (!info)
        return info.error();
    auto pool = OpenOrCreateStream(*storage, kIndexPoolName);
    if (!pool)
        return pool.error();
    // Both streams are cut first, so a shorter index leaves nothing of a longer one.
    for (cfb::Stream* stream : {&*info, &*pool}) {
        if (auto cut = stream->SetSize(0); !cut)
            return cut.error();
        if (auto seek = stream->Seek(0, SeekOrigin::Begin); !seek)
            return seek.error();
    }
    if (auto written = WriteIndexStreams(index, *info, *pool, progress); !written) {
        // The line writer keeps only that a write failed; the file knows why.
        if (auto why = root.Status(); !why)
            return why;
        return written;
    }
    return storage->Commit();
}

} // namespace

Result<void> SaveIndex(const KeywordIndex& index, cfb::Storage& root, Progress* progress) {
    if (progress) {
        progress->SetStatus(StringText(msg::IndexSaving));
        progress->SetCancellable(false);
        progress->Start(index.size());
    }
    // One transaction: the file holds the old index or the whole new one; on a failure
    // nothing of the new one is kept.
    if (auto written = WriteIndex(index, root, progress); !written) {
        root.Discard();
        return ErrorWithReason(msg::IndexSaveFailed, written.error());
    }
    return {};
}

Result<bool> LoadIndex(KeywordIndex& index, cfb::Storage& root, Progress* progress) {
    if (progress) {
        progress->SetStatus(StringText(msg::IndexLoading));
        progress->SetCancellable(false);
    }
    auto storage = OpenOrCreateStorage(root, kIndexStorageName);
    if (!storage)
        return ErrorWithReason(msg::IndexNotLoaded, storage.error());
    auto info = OpenOrCreateStream(*storage, kIndexInfoName);
    if (!info)
        return ErrorWithReason(msg::IndexNotLoaded, info.error());
    auto pool = OpenOrCreateStream(*storage, kIndexPoolName);
    if (!pool)
        return ErrorWithReason(msg::IndexNotLoaded, pool.error());
    return ReadIndexStreams(index, *info, *pool, progress);
}

} // namespace kelvo
