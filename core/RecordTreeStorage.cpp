// Saving and loading a tree in a storage of the bank file (the streams Struct and ObPool).
#include "core/RecordTree.h"

#include "platform/base/MemoryStream.h"
#include "platform/storage/BankStorage.h"

namespace kelvo {

Result<void> SaveTreeToStorage(const RecordTree& tree, cfb::Storage& storage, Progress* progress) {
    auto structStream = storage.CreateStream(u"Struct", cfb::mode::CreateNew);
    if (!structStream)
        return structStream.error();
    auto obPool = storage.CreateStream(u"ObPool", cfb::mode::CreateNew);
    if (!obPool)
        return obPool.error();
    auto saved = SaveTree(tree, *structStream, *obPool, progress);
    auto committed = storage.Commit();
    if (!saved)
        return saved;
    return committed;
}

void LoadTreeFromStorage(RecordTree& tree, cfb::Storage& storage, Progress* progress) {
    auto structStream = OpenOrCreateStream(storage, u"Struct");
    auto obPool = OpenOrCreateStream(storage, u"ObPool");
    MemoryStream none;
    LoadTree(tree, structStream ? static_cast<ByteStream&>(*structStream) : none,
             obPool ? static_cast<ByteStream&>(*obPool) : none, progress);
}

} // namespace kelvo
