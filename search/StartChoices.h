// The nodes a bank search can start at, as the object chooser lists them, and the texts that
// name the chosen start.
#pragma once

#include "core/BankTrees.h"
#include "platform/text/Ansi.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvo {

struct StartChoice {
    AnsiString key;   ///< "bnk", "rec:0000000C", "pwd:00000002"
    std::string text; ///< UTF-8: the node's title; for the bank "Банк данных: %s"
    int parent = -1;  ///< index of the parent's choice; -1 for the bank
    std::optional<TreeKind> tree; ///< the tree of the node; none for the bank
    const TreeNode* node = nullptr;
};

/// The whole bank first, then under it every node of the record tree and then of the folder
/// tree, each tree in pre-order with children in display order.
std::vector<StartChoice> StartChoices(BankTrees trees, std::string_view bankPath);

/// The index of the choice with `key`, or -1.
int FindStartChoice(const std::vector<StartChoice>& choices, AnsiView key);

/// "Банк данных: %s" with the bank file's path (UTF-8).
std::string BankChoiceText(std::string_view bankPath);

/// How the start field names a chosen node: "Записи: %s" for a record, "Папки паролей: %s"
/// for a folder, the node's own text otherwise (the bank's "Банк данных: ...").
std::string StartChoiceDisplay(AnsiView key, std::string_view nodeText);

} // namespace kelvo
