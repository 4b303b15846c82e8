// The password entry list and its PwdData/ObPool stream.
#include "core/PwdList.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace kelvo {

PwdItem& PwdList::Append(std::unique_ptr<PwdItem> item) {
    PwdItem& ref = *item;
    m_uids.Add(ref.uid, &ref);
    m_items.push_back(std::move(item));
    return ref;
}

PwdItem& PwdList::Add(std::unique_ptr<PwdItem> item) {
    item->uid = NextFreeUid();
    return Append(std::move(item));
}

bool PwdList::Remove(std::uint32_t uid) {
    PwdItem* item = Find(uid);
    if (!item)
        return false;
    m_uids.Remove(uid, item);
    m_items.erase(std::find_if(m_items.begin(), m_items.end(),
                               [item](const auto& p) { return p.get() == item; }));
    return true;
}

std::size_t PwdList::RemoveMany(const std::vector<std::uint32_t>& uids) {
    std::unordered_map<std::uint32_t, std::size_t> wanted;
    for (std::uint32_t uid : uids)
        ++wanted[uid];
    std::size_t removed = 0;
    std::erase_if(m_items, [&](const std::unique_ptr<PwdItem>& item) {
        auto it = wanted.find(item->uid);
        if (it == wanted.end() || it->second == 0)
            return false;
        --it->second;
        m_uids.Remove(item->uid, item.get());
        ++removed;
        return true;
    });
    return removed;
}

void PwdList::SetUid(PwdItem& item, std::uint32_t uid) {
    if (item.uid == uid)
        return;
    m_uids.Remove(item.uid, &item);
    item.uid = uid;
    m_uids.Add(uid, &item);
}

void PwdList::Clear() {
    m_uids.Clear();
    m_items.clear();
}

std::vector<AnsiString> PwdList::Categories() const {
    std::vector<AnsiString> out;
    std::unordered_set<std::string_view> seen;
    for (const auto& item : m_items)
        if (!item->category.empty() && seen.insert(item->category).second)
            out.push_back(item->category);
    return out;
}

std::vector<PwdItem*> PwdList::InFolder(std::uint32_t folderUid) const {
    std::vector<PwdItem*> out;
    for (const auto& item : m_items)
        if (item->folderUid == folderUid)
            out.push_back(item.get());
    return out;
}

void PwdList::MoveFolderEntries(std::uint32_t from, std::uint32_t to) {
    for (const auto& item : m_items)
        if (item->folderUid == from)
            item->folderUid = to;
}

Result<void> SavePwdList(const PwdList& list, ByteStream& obPool) {
    LineWriter out(obPool);
    out.WriteLine(HexText(static_cast<std::uint32_t>(list.size())));
    for (const auto& item : list)
        WritePwdItemBlock(out, *item);
    if (!out.Flush())
        return MakeError(hr::WriteFault, "PwdData/ObPool");
    return {};
}

void LoadPwdList(PwdList& list, ByteStream& obPool) {
    LineReader in(obPool);
    const std::int32_t count = HexValue(in.ReadLine());
    std::size_t pastEnd = 0;
    for (std::int32_t i = 0; i < count; ++i) {
        if (in.AtEnd() && ++pastEnd > kMaxEntriesPastEnd)
            break;
        auto item = std::make_unique<PwdItem>();
        ReadPwdItemBlock(in, *item);
        list.Append(std::move(item));
    }
}

} // namespace kelvo
