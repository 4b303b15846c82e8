// The index build: a pre-order walk of both trees adding every node's keywords.
#include "index/IndexBuild.h"

#include "core/Messages.h"
#include "index/ItemKey.h"
#include "index/Keywords.h"
#include "platform/text/ItemStream.h"

namespace kelvo {

void AddItemKeywords(KeywordIndex& index, AnsiView key, AnsiView keywords, Progress* progress) {
    for (const AnsiString& piece : SplitKeywords(keywords)) {
        AnsiView word = TrimText(piece);
        if (progress)
            progress->SetDetail(MessageText(msg::IndexWord, {AnsiToUtf8(word)}));
        if (word.empty())
            continue;
        IdxItem* item = index.FindWord(word);
        if (!item)
            item = &index.AddWord(word);
        item->AddReference(key);
    }
}

Result<void> IndexNode(KeywordIndex& index, BankTrees trees, AnsiView key, bool descendants,
                       Progress* progress) {
    const ParsedItemKey parsed = ParseItemKey(key);
    const bool records = parsed.type == kRecordType;
    if (!records && parsed.type != kFolderType)
        return MessageError(hr::FileNotFound, msg::IndexNodeMissing, {AnsiToUtf8(key)});
    const RecordTree& tree = trees.tree(records ? TreeKind::Records : TreeKind::Folders);
    bool cancelled = false;
    const bool walked = WalkSubtree(tree, parsed.uid, descendants, [&](TreeNode& node) {
        const std::uint32_t uid = node.item.uid;
        if (progress) {
            progress->SetStatus(MessageText(msg::IndexBuildingRecord, {AnsiToUtf8(node.title)}));
            progress->Step();
            if (progress->CancelRequested()) {
                cancelled = true;
                return false; // every later node would be cancelled too
            }
            if (!tree.Contains(&node))
                return true; // gone while the window handled its events
        }
        AddItemKeywords(index, MakeItemKey(parsed.type, uid), node.item.keywords, progress);
        return true;
    });
    if (walked)
        return {};
    if (cancelled)
        return MessageError(hr::Abort, msg::IndexBuildCancelled);
    return MessageError(hr::FileNotFound, msg::IndexNodeMissing, {AnsiToUtf8(key)});
}

Result<void> BuildIndex(KeywordIndex& index, BankTrees trees, Progress* progress) {
    index.Clear();
    if (progress)
        progress->Start(trees.size() + 1);
    // An empty tree has nothing to index; it does not fail the build.
    if (const TreeNode* root = trees.records.first()) {
        auto indexed =
            IndexNode(index, trees, MakeItemKey(kRecordType, root->item.uid), true, progress);
        if (!indexed)
            return indexed;
    }
    if (const TreeNode* root = trees.folders.first())
        return IndexNode(index, trees, MakeItemKey(kFolderType, root->item.uid), true, progress);
    return {};
}

} // namespace kelvo
