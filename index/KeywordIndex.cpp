// The in-memory keyword index and the rows of its word list.
#include "index/KeywordIndex.h"

#include "core/Messages.h"

#include <algorithm>

namespace kelvo {

namespace {
constexpr std::size_t kScanLimit = 16;

std::size_t CountPrefix(const std::vector<AnsiString>& keys, AnsiView prefix) {
    return static_cast<std::size_t>(
        std::count_if(keys.begin(), keys.end(), [&](const AnsiString& k) {
            return AnsiView(k).substr(0, prefix.size()) == prefix;
        }));
}
} // namespace

bool IdxItem::AddReference(AnsiView key) {
    if (m_referenceSet) {
        if (!m_referenceSet->emplace(key).second)
            return false;
    } else if (std::find(m_references.begin(), m_references.end(), key) != m_references.end()) {
        return false;
    }
    m_references.emplace_back(key);
    if (!m_referenceSet && m_references.size() > kScanLimit)
        m_referenceSet =
            std::make_unique<detail::TextSet>(m_references.begin(), m_references.end());
    return true;
}

void IdxItem::SetReferences(std::vector<AnsiString> keys) {
    m_references = std::move(keys);
    m_referenceSet.reset();
    if (m_references.size() > kScanLimit)
        m_referenceSet =
            std::make_unique<detail::TextSet>(m_references.begin(), m_references.end());
}

std::size_t IdxItem::RecordReferenceCount() const {
    return CountPrefix(m_references, "rec");
}
std::size_t IdxItem::FolderReferenceCount() const {
    return CountPrefix(m_references, "pwd");
}

IdxItem* KeywordIndex::FindWord(AnsiView word) const {
    auto it = m_words.find(word);
    return it == m_words.end() ? nullptr : it->second;
}

IdxItem& KeywordIndex::AddWord(AnsiView word) {
    return Append(std::make_unique<IdxItem>(NextFreeUid(), word));
}

IdxItem& KeywordIndex::Append(std::unique_ptr<IdxItem> item) {
    IdxItem& added = *item;
    m_items.push_back(std::move(item));
    m_words.emplace(added.word, &added); // keeps the first item of a repeated word
    m_uids.Add(added.uid, &added);
    return added;
}

void KeywordIndex::Clear() {
    m_words.clear();
    m_uids.Clear();
    m_items.clear();
}

bool FilterKeeps(KeywordFilter filter, AnsiView key) {
    switch (filter) {
    case KeywordFilter::Records:
        return key.substr(0, 3) == "rec";
    case KeywordFilter::Folders:
        return key.substr(0, 3) == "pwd";
    case KeywordFilter::All:
        break;
    }
    return true;
}

std::vector<KeywordRow> KeywordRows(const KeywordIndex& index, KeywordFilter filter) {
    std::vector<KeywordRow> rows;
    rows.reserve(index.size());
    for (const auto& item : index) {
        KeywordRow row;
        row.item = item.get();
        const std::size_t records = item->RecordReferenceCount();
        const std::size_t folders = item->FolderReferenceCount();
        row.records = records > 0;
        row.folders = folders > 0;
        if (filter == KeywordFilter::Records) {
            if (!records)
                continue;
            row.count = records;
        } else if (filter == KeywordFilter::Folders) {
            if (!folders)
                continue;
            row.count = folders;
        } else {
            row.count = item->references().size();
        }
        rows.push_back(row);
    }
    return rows;
}

std::string KeywordListStatus(std::size_t rows) {
    return MessageText(msg::KeywordListFound, {std::to_string(rows)});
}

} // namespace kelvo
