// Reading and writing record body streams.
#include "core/RecordBody.h"

#include "platform/storage/BankStorage.h"
#include "platform/text/ItemStream.h"

namespace kelvo {

std::u16string BodyStreamName(std::uint32_t uid) {
    const AnsiString hex = HexText(uid);
    return std::u16string(hex.begin(), hex.end());
}

Result<void> WriteRecordBody(cfb::Storage& root, std::uint32_t uid, std::string_view bytes) {
    auto data = OpenOrCreateStorage(root, kRecDataStorage);
    if (!data)
        return data.error();
    auto stream = OpenOrCreateStream(*data, BodyStreamName(uid));
    if (!stream)
        return stream.error();
    return stream->WriteAll(bytes);
}

Result<std::string> LoadRecordBody(cfb::Storage& root, std::uint32_t uid) {
    auto data = OpenOrCreateStorage(root, kRecDataStorage);
    if (!data)
        return data.error();
    auto stream = OpenOrCreateStream(*data, BodyStreamName(uid));
    if (!stream)
        return stream.error();
    return stream->ReadAll();
}

Result<void> RemoveRecordBody(cfb::Storage& root, std::uint32_t uid) {
    return RemoveRecordBodies(root, {uid});
}

Result<void> RemoveRecordBodies(cfb::Storage& root, const std::vector<std::uint32_t>& uids) {
    auto data = root.OpenStorage(kRecDataStorage, cfb::mode::Open);
    if (!data)
        return data.code() == hr::FileNotFound ? Result<void>{} : Result<void>(data.error());
    // One transaction: every body goes, or (on any failure) none does.
    Result<void> result;
    for (std::uint32_t uid : uids) {
        auto destroyed = data->DestroyElement(BodyStreamName(uid));
        if (!destroyed && destroyed.code() != hr::FileNotFound) {
            result = destroyed;
            break;
        }
    }
    if (result)
        result = data->Commit();
    if (!result)
        root.Discard();
    return result;
}

Result<std::string> ReadRecordBody(cfb::Storage& root, std::uint32_t uid) {
    auto data = root.OpenStorage(kRecDataStorage, cfb::mode::Open);
    if (!data)
        return data.error();
    auto stream = data->OpenStream(BodyStreamName(uid), cfb::mode::Open);
    if (!stream)
        return stream.error();
    return stream->ReadAll();
}

std::optional<std::uint64_t> RecordBodySize(cfb::Storage& root, std::uint32_t uid) {
    auto data = root.OpenStorage(kRecDataStorage, cfb::mode::Open);
    if (!data)
        return std::nullopt;
    auto stream = data->OpenStream(BodyStreamName(uid), cfb::mode::Open);
    if (!stream)
        return std::nullopt;
    auto size = stream->Size();
    if (!size)
        return std::nullopt;
    return size.value();
}

std::unordered_map<std::uint32_t, std::uint64_t> RecordBodySizes(cfb::Storage& root) {
    std::unordered_map<std::uint32_t, std::uint64_t> sizes;
    auto data = root.OpenStorage(kRecDataStorage, cfb::mode::Open);
    if (!data)
        return sizes;
    auto children = data->Enumerate();
    if (!children)
        return sizes;
    for (const cfb::ElementStat& e : *children) {
        if (e.type != cfb::ElementType::Stream || e.name.size() != 8)
            continue;
        std::uint32_t uid = 0;
        bool hex = true;
        for (char16_t c : e.name) {
            int d = c >= u'0' && c <= u'9' ? c - u'0' : c >= u'A' && c <= u'F' ? c - u'A' + 10 : -1;
            if (d < 0) {
                hex = false;
                break;
            }
            uid = uid << 4 | static_cast<std::uint32_t>(d);
        }
        if (hex)
            sizes.emplace(uid, e.size);
    }
    return sizes;
}

} // namespace kelvo
