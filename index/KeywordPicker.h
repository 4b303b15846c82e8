// The keyword picker's model: the words of the stored index with their reference counts and
// the object's own keywords, each with a tick, and the keywords text composed from the ticked
// words. The picker window shows these rows and calls these rules.
#pragma once

#include "core/Progress.h"
#include "index/KeywordIndex.h"
#include "platform/base/Result.h"

#include <cstddef>
#include <vector>

namespace kelvo {

class CQuorvellineDoc;

struct PickerWord {
    AnsiString word;
    std::size_t count = 0; ///< references in the index; 0 for the object's own new words
    bool ticked = false;
};

class KeywordPicker {
public:
    void Clear();
    /// One unticked word per index item, in stored order (repeats of a damaged index kept),
    /// with its number of references.
    void AddIndexWords(const KeywordIndex& index);
    /// The object's keywords (cut by SplitKeywords, trimmed, empty ones skipped): each ticks
    /// the first equal word (exact comparison) or is appended with count 0, ticked.
    void AddKeywords(AnsiView keywordsText);

    const std::vector<PickerWord>& Words() const { return m_words; }
    std::size_t size() const { return m_words.size(); }
    void SetTicked(std::size_t word, bool ticked);
    /// Positions of the words the list shows, in word order: all, or only the ticked ones.
    std::vector<std::size_t> ShownWords(bool onlyTicked) const;

private:
    std::vector<PickerWord> m_words;
    // The first word of each text, so that the object's keywords find theirs at once.
    std::unordered_map<AnsiString, std::size_t, detail::TextHash, std::equal_to<>> m_first;
};

/// The keywords text of the ticked words in the order given (the list's display order): a
/// word holding a comma is put in double quotes so that SplitKeywords keeps it whole; words
/// are joined by ", ". Empty words (only a damaged index has them) are left out.
AnsiString BuildKeywordsText(const std::vector<AnsiView>& tickedWords);

/// "Выбрано %d слов из %d:\n%s": ticked rows, all words (shown or not), the composed text.
AnsiString PickerSummary(std::size_t tickedRows, std::size_t words, AnsiView keywordsText);

/// Loads the words of the bank's stored index into the picker (after clearing it): true when
/// the bank has an index, false when it has none (the picker is then empty; the window tells
/// the user with message 20025). Fails, the picker empty, when the bank file cannot be had.
Result<bool> LoadPickerWords(CQuorvellineDoc& doc, KeywordPicker& picker,
                             Progress* progress = nullptr);

} // namespace kelvo
