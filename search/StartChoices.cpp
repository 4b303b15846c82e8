// The object chooser's list of start nodes.
#include "search/StartChoices.h"

#include "core/Messages.h"
#include "index/ItemKey.h"

#include <unordered_map>

namespace kelvo {

std::string BankChoiceText(std::string_view bankPath) {
    return MessageText(msg::SearchBankChoice, {bankPath});
}

std::vector<StartChoice> StartChoices(BankTrees trees, std::string_view bankPath) {
    std::vector<StartChoice> choices;
    choices.reserve(trees.size() + 1);
    choices.push_back({kBankKey, BankChoiceText(bankPath), -1, std::nullopt, nullptr});
    for (const TreeKind kind : {TreeKind::Records, TreeKind::Folders}) {
        const char* type = kind == TreeKind::Records ? kRecordType : kFolderType;
        std::unordered_map<const TreeNode*, int> placed;
        WalkTree(trees.tree(kind), [&](const TreeNode& node) {
            const auto parent = node.parent ? placed.find(node.parent) : placed.end();
            const int index = static_cast<int>(choices.size());
            choices.push_back({MakeItemKey(type, node.item.uid), AnsiToUtf8(node.title),
                               parent == placed.end() ? 0 : parent->second, kind, &node});
            placed.emplace(&node, index);
            return true;
        });
    }
    return choices;
}

int FindStartChoice(const std::vector<StartChoice>& choices, AnsiView key) {
    for (std::size_t i = 0; i < choices.size(); ++i)
        if (choices[i].key == key)
            return static_cast<int>(i);
    return -1;
}

std::string StartChoiceDisplay(AnsiView key, std::string_view nodeText) {
    const AnsiString type = ParseItemKey(key).type;
    if (type == kRecordType)
        return MessageText(msg::SearchRecordsChoice, {nodeText});
    if (type == kFolderType)
        return MessageText(msg::SearchFoldersChoice, {nodeText});
    return std::string(nodeText);
}

} // namespace kelvo
