// The in-memory keyword index: one IdxItem per distinct keyword with the keys of the objects
// that carry it, found by word and by UID through hash tables rather than scans.
#pragma once

#include "core/UidIndex.h"
#include "platform/text/Ansi.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace kelvo {

namespace detail {
struct TextHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};
using TextSet = std::unordered_set<AnsiString, TextHash, std::equal_to<>>;
} // namespace detail

/// One keyword of the index.
class IdxItem {
public:
    IdxItem() = default;
    IdxItem(std::uint32_t uid, AnsiView word) : uid(uid), word(word) {}
    virtual ~IdxItem() = default;

    /// Number of the word within the index (>= 1 for words the build adds). Set it before the
    /// item is appended to an index: the index keeps its own UID bookkeeping.
    std::uint32_t uid = 0;
    /// The keyword exactly as found: case kept, outer white space trimmed.
    AnsiString word;

    /// Keys of the objects that carry the word, in order of first occurrence, each once.
    const std::vector<AnsiString>& references() const { return m_references; }
    /// Appends `key` unless an equal key (byte for byte) is already there; true when added.
    bool AddReference(AnsiView key);
    /// Replaces the list as it is (a stored index may repeat keys; they are kept).
    void SetReferences(std::vector<AnsiString> keys);

    /// Keys beginning with "rec" (records) and with "pwd" (password folders).
    std::size_t RecordReferenceCount() const;
    std::size_t FolderReferenceCount() const;
    bool HasRecordReferences() const { return RecordReferenceCount() > 0; }
    bool HasFolderReferences() const { return FolderReferenceCount() > 0; }

private:
    std::vector<AnsiString> m_references;
    // Built once the list is long enough for a scan to cost more than a hash lookup.
    std::unique_ptr<detail::TextSet> m_referenceSet;
};

/// The index: its words in order of first occurrence. Owns its items.
class KeywordIndex {
public:
    KeywordIndex() = default;
    KeywordIndex(const KeywordIndex&) = delete;
    KeywordIndex& operator=(const KeywordIndex&) = delete;

    /// The first item whose word equals `word` byte for byte (case matters), or null.
    IdxItem* FindWord(AnsiView word) const;
    /// The item of a UID (the first one when a stored index repeats it), or null.
    IdxItem* FindUid(std::uint32_t uid) const { return m_uids.Find(uid); }
    /// The smallest n >= 1 that no item has as UID.
    std::uint32_t NextFreeUid() const { return m_uids.NextFreeUid(); }

    /// Creates an item for a new word with NextFreeUid and appends it.
    IdxItem& AddWord(AnsiView word);
    /// Appends an item as it is (a loaded one); duplicates of words or UIDs are kept.
    IdxItem& Append(std::unique_ptr<IdxItem> item);
    /// Destroys every item.
    void Clear();

    std::size_t size() const { return m_items.size(); }
    bool empty() const { return m_items.empty(); }
    const IdxItem& operator[](std::size_t i) const { return *m_items[i]; }
    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

private:
    std::vector<std::unique_ptr<IdxItem>> m_items;
    std::unordered_map<AnsiString, IdxItem*, detail::TextHash, std::equal_to<>> m_words;
    UidIndex<IdxItem> m_uids;
};

/// Which objects the word list and the word query show.
enum class KeywordFilter { Records = 0, Folders = 1, All = 2 };

/// True when `key` names an object the filter keeps ("rec" keys, "pwd" keys, or all).
bool FilterKeeps(KeywordFilter filter, AnsiView key);

/// One row of the word list.
struct KeywordRow {
    const IdxItem* item = nullptr;
    std::size_t count = 0; ///< references of the filtered kind (all of them for All)
    bool records = false;  ///< "Да" when it has record references
    bool folders = false;  ///< "Да" when it has folder references
};

/// The rows of the word list in index order: with Records only words with record references
/// (counting those), with Folders only words with folder references, with All every word.
std::vector<KeywordRow> KeywordRows(const KeywordIndex& index, KeywordFilter filter);
/// "Найдено %d слов. Для просмотра результатов выделите нужные слова."
std::string KeywordListStatus(std::size_t rows);

} // namespace kelvo
