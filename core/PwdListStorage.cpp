// The password entries in the PwdData storage of a bank file.
#include "core/PwdList.h"

#include "platform/storage/BankStorage.h"

namespace kelvo {

Result<void> SavePwdListToStorage(const PwdList& list, cfb::Storage& root) {
    auto data = OpenOrCreateStorage(root, u"PwdData");
    if (!data)
        return data.error();
    auto stream = data->CreateStream(u"ObPool", cfb::mode::CreateNew);
    if (!stream)
        return stream.error();
    return SavePwdList(list, *stream);
}

void LoadPwdListFromStorage(PwdList& list, cfb::Storage& root) {
    auto data = OpenOrCreateStorage(root, u"PwdData");
    if (!data)
        return;
    auto stream = data->OpenStream(u"ObPool", cfb::mode::Open);
    if (!stream)
        return;
    LoadPwdList(list, *stream);
}

} // namespace kelvo
