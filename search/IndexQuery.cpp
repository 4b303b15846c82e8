// The index word query.
#include "search/IndexQuery.h"

#include "core/Messages.h"

#include "core/PwdList.h"
#include "core/RecordTree.h"
#include "index/ItemKey.h"
#include "platform/text/ItemStream.h"
#include "search/Expression.h"

namespace kelvo {

AnsiString QueryExpression(const std::vector<AnsiString>& words) {
    AnsiString expression;
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (i)
            expression += "AND ";
        expression += '"' + words[i] + "\" ";
    }
    return expression;
}

std::string QueryIndex(const KeywordIndex& index, const std::vector<AnsiString>& tickedWords,
                       KeywordFilter filter, std::size_t listRows, SearchBank bank,
                       ResultRows& rows) {
    rows.Clear();
    std::vector<const IdxItem*> items;
    std::vector<AnsiString> words;
    for (const AnsiString& word : tickedWords) {
        if (const IdxItem* item = index.FindWord(word)) {
            items.push_back(item);
            words.push_back(item->word);
        }
    }
    if (items.empty())
        return MessageText(msg::QueryAllWords, {std::to_string(listRows)});

    // Keys held by every other word, through hash sets rather than scans of their lists.
    std::vector<detail::TextSet> others;
    for (std::size_t i = 1; i < items.size(); ++i)
        others.emplace_back(items[i]->references().begin(), items[i]->references().end());
    std::vector<AnsiString> candidates;
    for (const AnsiString& key : items[0]->references()) {
        bool everywhere = true;
        for (const auto& set : others)
            everywhere = everywhere && set.count(key) > 0;
        const AnsiString type = ParseItemKey(key).type;
        const bool kept = filter == KeywordFilter::All ||
                          (filter == KeywordFilter::Records && type == kRecordType) ||
                          (filter == KeywordFilter::Folders && type == kFolderType);
        if (everywhere && kept)
            candidates.push_back(key);
    }

    const AnsiString wordList = JoinList(words, ", ");
    if (candidates.empty())
        return MessageText(msg::QueryNoMatch, {AnsiToUtf8(wordList)});

    const SearchExpression expression(QueryExpression(words));
    for (const AnsiString& key : candidates) {
        const ParsedItemKey parsed = ParseItemKey(key);
        const bool isRecord = parsed.type == kRecordType;
        if (!isRecord && parsed.type != kFolderType)
            continue;
        const TreeNode* node =
            (isRecord ? bank.trees.records : bank.trees.folders).FindByUid(parsed.uid);
        if (!node)
            continue;
        // The keywords may have changed since the index was built.
        AnsiString marked = expression.Match(node->item.keywords, false, false, true);
        if (marked.empty())
            continue;
        AnsiString place, detail;
        std::uint32_t sizeKb = 0;
        if (isRecord) {
            place = RecordPlace(node->title);
            BodyText body = bank.bodies.ReadBody(parsed.uid);
            sizeKb = SizeInKb(body.size);
            detail = RecordDetail(body.text);
        } else {
            place = FolderPlace(node->title);
            const AnsiString content = FolderContent(bank.entries, parsed.uid);
            sizeKb = SizeInKb(content.size());
            detail = FolderDetail(content);
        }
        rows.AddResultRow(place, detail, marked, node->item.notes, sizeKb, HitColumn::Keywords,
                          key);
    }
    return MessageText(msg::QueryResults,
                       {std::to_string(candidates.size()), AnsiToUtf8(wordList)});
}

} // namespace kelvo
