// The keyword index in the bank file: opening BnkIndx and its streams for a save or a load.
#include "index/IndexStorage.h"

#include "platform/storage/BankStorage.h"
#include "platform/storage/Storage.h"

namespace kelvo {

Result<void> SaveIndex(const KeywordIndex& index, cfb::Storage& root, IndexProgress* progress) {
    if (progress) {
        progress->SetLine1(Utf8ToAnsiLossy("Сохранение индексов в файл банка..."));
        progress->HideCancel();
        progress->SetRange(0, static_cast<std::uint32_t>(index.size()));
    }
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
    if (auto written = WriteIndexStreams(index, *info, *pool, progress); !written)
        return written;
    return storage->Commit();
}

bool LoadIndex(KeywordIndex& index, cfb::Storage& root, IndexProgress* progress) {
    if (progress) {
        progress->SetLine1(Utf8ToAnsiLossy("Загрузка индексов из файла банка в память..."));
        progress->HideCancel();
    }
    auto storage = OpenOrCreateStorage(root, kIndexStorageName);
    if (!storage)
        return false;
    auto info = OpenOrCreateStream(*storage, kIndexInfoName);
    if (!info)
        return false;
    auto pool = OpenOrCreateStream(*storage, kIndexPoolName);
    if (!pool)
        return false;
    return ReadIndexStreams(index, *info, *pool, progress);
}

} // namespace kelvo
