// The document's ordered list of password entries and its persistence as PwdData/ObPool.
#pragma once

#include "core/PwdItem.h"
#include "core/UidIndex.h"
#include "platform/base/Result.h"

#include <memory>
#include <vector>

namespace kelvo {

namespace cfb {
class Storage;
}

class PwdList {
public:
    PwdList() = default;
    PwdList(const PwdList&) = delete;
    PwdList& operator=(const PwdList&) = delete;

    /// Appends an entry as it is (its UID included) and returns it.
    PwdItem& Append(std::unique_ptr<PwdItem> item);
    /// Gives the entry NextFreeUid and appends it.
    PwdItem& Add(std::unique_ptr<PwdItem> item);
    /// The first entry with `uid`, or null.
    PwdItem* Find(std::uint32_t uid) const { return m_uids.Find(uid); }
    /// Removes and destroys the first entry with `uid`; false when there is none.
    bool Remove(std::uint32_t uid);
    /// Removes, for each UID given, the first entry still carrying it, in one pass over the
    /// list; returns how many went.
    std::size_t RemoveMany(const std::vector<std::uint32_t>& uids);
    /// Gives an entry another UID, keeping the index right.
    void SetUid(PwdItem& item, std::uint32_t uid);
    void Clear();

    /// The smallest n >= 1 that no entry has as UID.
    std::uint32_t NextFreeUid() const { return m_uids.NextFreeUid(); }
    /// Each non-empty category once, in first-occurrence order, compared byte for byte.
    std::vector<AnsiString> Categories() const;
    /// The entries of one folder, in list order.
    std::vector<PwdItem*> InFolder(std::uint32_t folderUid) const;
    /// Moves every entry of folder `from` into folder `to`.
    void MoveFolderEntries(std::uint32_t from, std::uint32_t to);

    std::size_t size() const { return m_items.size(); }
    bool empty() const { return m_items.empty(); }
    PwdItem& operator[](std::size_t i) const { return *m_items[i]; }
    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

private:
    std::vector<std::unique_ptr<PwdItem>> m_items;
    UidIndex<PwdItem> m_uids;
};

/// Writes the count line and one block per entry. Fails when a write fails.
Result<void> SavePwdList(const PwdList& list, ByteStream& obPool);
/// Appends the entries of a PwdData/ObPool stream: as many blocks as the count line says.
/// Blocks missing at the end come out empty (UID 0) and are kept, up to
/// kMaxEntriesPastEnd of them, so that a damaged count cannot make the load run for ever.
void LoadPwdList(PwdList& list, ByteStream& obPool);
inline constexpr std::size_t kMaxEntriesPastEnd = 1024;

/// Opens or creates PwdData in `root` and creates its ObPool (replacing it) with the entries.
Result<void> SavePwdListToStorage(const PwdList& list, cfb::Storage& root);
/// Opens or creates PwdData in `root`, opens (never creates) its ObPool and loads it; when
/// there is no ObPool the list stays as it is.
void LoadPwdListFromStorage(PwdList& list, cfb::Storage& root);

} // namespace kelvo
