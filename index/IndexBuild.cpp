// The index build: a pre-order walk of both trees adding every node's keywords.
#include "index/IndexBuild.h"

#include "core/RecordTree.h"
#include "index/ItemKey.h"
#include "index/Keywords.h"

#include <unordered_set>

namespace kelvo {

namespace {

const RecordTree* TreeOfType(BankTrees trees, AnsiView type) {
    if (type == kRecordType)
        return &trees.records;
    if (type == kFolderType)
        return &trees.folders;
    return nullptr;
}

AnsiString Quoted(const char* before, AnsiView text) {
    static const AnsiString close = "'";
    return Utf8ToAnsiLossy(before) + AnsiString(text) + close;
}

} // namespace

void AddItemKeywords(KeywordIndex& index, AnsiView key, AnsiView keywords,
                     IndexProgress* progress) {
    for (const AnsiString& piece : SplitKeywords(keywords)) {
        AnsiView word = TrimText(piece);
        if (progress)
            progress->SetLine2(Quoted("Обработка слова: '", word));
        if (word.empty())
            continue;
        IdxItem* item = index.FindWord(word);
        if (!item)
            item = &index.AddWord(word);
        item->AddReference(key);
    }
}

bool IndexNode(KeywordIndex& index, BankTrees trees, AnsiView key, bool descendants,
               IndexProgress* progress) {
    const ParsedItemKey parsed = ParseItemKey(key);
    const RecordTree* tree = TreeOfType(trees, parsed.type);
    if (!tree)
        return false;
    // An explicit stack instead of recursion: a damaged bank can hold very deep trees.
    std::vector<std::uint32_t> pending{parsed.uid};
    // A damaged bank can repeat a UID below itself; each UID is indexed once per walk.
    std::unordered_set<std::uint32_t> visited;
    bool first = true;
    while (!pending.empty()) {
        const std::uint32_t uid = pending.back();
        pending.pop_back();
        if (!visited.insert(uid).second)
            continue;
        // Looked up afresh: the progress window may have let the user change the tree.
        const TreeNode* node = tree->FindByUid(uid);
        if (!node) {
            if (first)
                return false;
            continue; // gone meanwhile: a child's failure does not fail its parent
        }
        if (progress) {
            progress->SetLine1(Quoted("Построение индексов - запись '", node->title));
            progress->Step();
            if (progress->CancelRequested())
                return !first; // every later node would fail here too
            node = tree->FindByUid(uid);
            if (!node)
                continue;
        }
        AddItemKeywords(index, MakeItemKey(parsed.type, uid), node->item.keywords, progress);
        first = false;
        if (!descendants)
            break;
        for (auto it = node->children.rbegin(); it != node->children.rend(); ++it)
            pending.push_back((*it)->item.uid);
    }
    return true;
}

bool BuildIndex(KeywordIndex& index, BankTrees trees, IndexProgress* progress) {
    index.Clear();
    if (progress)
        progress->SetRange(
            0, static_cast<std::uint32_t>(trees.records.size() + trees.folders.size() + 1));
    // An empty tree has nothing to index; it does not fail the build.
    if (const TreeNode* root = trees.records.first()) {
        if (!IndexNode(index, trees, MakeItemKey(kRecordType, root->item.uid), true, progress))
            return false;
    }
    if (const TreeNode* root = trees.folders.first())
        return IndexNode(index, trees, MakeItemKey(kFolderType, root->item.uid), true, progress);
    return true;
}

} // namespace kelvo
