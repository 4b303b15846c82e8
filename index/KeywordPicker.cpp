// The keyword picker's rows and texts.
#include "index/KeywordPicker.h"

#include "core/Messages.h"
#include "core/QuorvellineDoc.h"
#include "index/IndexStorage.h"
#include "index/Keywords.h"

#include <string>

namespace kelvo {

void KeywordPicker::Clear() {
    m_words.clear();
    m_first.clear();
}

void KeywordPicker::AddIndexWords(const KeywordIndex& index) {
    m_words.reserve(m_words.size() + index.size());
    for (const auto& item : index) {
        m_first.try_emplace(item->word, m_words.size());
        m_words.push_back({item->word, item->references().size(), false});
    }
}

void KeywordPicker::AddKeywords(AnsiView keywordsText) {
    for (const AnsiString& keyword : SplitKeywords(keywordsText)) {
        const AnsiView word = TrimText(keyword);
        if (word.empty())
            continue;
        const auto it = m_first.find(word);
        if (it != m_first.end()) {
            m_words[it->second].ticked = true;
            continue;
        }
        m_first.emplace(AnsiString(word), m_words.size());
        m_words.push_back({AnsiString(word), 0, true});
    }
}

void KeywordPicker::SetTicked(std::size_t word, bool ticked) {
    if (word < m_words.size())
        m_words[word].ticked = ticked;
}

std::vector<std::size_t> KeywordPicker::ShownWords(bool onlyTicked) const {
    std::vector<std::size_t> shown;
    shown.reserve(m_words.size());
    for (std::size_t i = 0; i < m_words.size(); ++i)
        if (!onlyTicked || m_words[i].ticked)
            shown.push_back(i);
    return shown;
}

AnsiString BuildKeywordsText(const std::vector<AnsiView>& tickedWords) {
    AnsiString text;
    for (AnsiView word : tickedWords) {
        if (word.empty())
            continue;
        if (word.find(',') != AnsiView::npos)
            text.append("\"").append(word).append("\"");
        else
            text.append(word);
        text.append(", ");
    }
    if (text.size() > 2)
        text.resize(text.size() - 2);
    return text;
}

AnsiString PickerSummary(std::size_t tickedRows, std::size_t words, AnsiView keywordsText) {
    const std::string ticked = std::to_string(tickedRows);
    const std::string all = std::to_string(words);
    return AnsiMessageText(msg::PickerSummary, {ticked, all, keywordsText});
}

Result<bool> LoadPickerWords(CQuorvellineDoc& doc, KeywordPicker& picker, Progress* progress) {
    picker.Clear();
    auto root = doc.WorkingStorage();
    if (!root)
        return ErrorWithReason(msg::IndexNotLoaded, root.error());
    KeywordIndex index;
    const Result<bool> found = LoadIndex(index, *root, progress);
    if (!found || !*found)
        return found;
    picker.AddIndexWords(index);
    return true;
}

} // namespace kelvo
