// Go-to from a result row.
#include "search/ResultNavigation.h"

#include "core/PwdList.h"
#include "index/ItemKey.h"

namespace kelvo {

std::optional<GoToTarget> GoToTargetOf(AnsiView key, BankTrees trees, const PwdList& entries) {
    const ParsedItemKey parsed = ParseItemKey(key);
    TreeKind tree = TreeKind::Records;
    std::uint32_t uid = parsed.uid;
    if (parsed.type == kRecordType) {
        tree = TreeKind::Records;
    } else if (parsed.type == kFolderType) {
        tree = TreeKind::Folders;
    } else if (parsed.type == kEntryType) {
        const PwdItem* entry = entries.Find(parsed.uid);
        if (!entry)
            return std::nullopt;
        tree = TreeKind::Folders;
        uid = entry->folderUid;
    } else {
        return std::nullopt;
    }
    if (!trees.tree(tree).FindByUid(uid))
        return std::nullopt;
    return GoToTarget{tree, uid};
}

bool GoToResult(AnsiView key, BankTrees trees, const PwdList& entries, ResultNavigator& navigator) {
    const std::optional<GoToTarget> target = GoToTargetOf(key, trees, entries);
    if (!target)
        return false;
    navigator.ShowNode(*target);
    return true;
}

} // namespace kelvo
