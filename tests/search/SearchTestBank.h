// A small bank in memory for the search tests: two trees, password entries and bodies given
// as plain text with a stored size.
#pragma once

#include "core/PwdList.h"
#include "core/RecordTree.h"
#include "search/BankObjects.h"

#include <map>

namespace kelvo::test {

inline AnsiString A(const char* utf8) {
    return Utf8ToAnsiLossy(utf8);
}

struct FakeBodies : BodySource {
    std::map<std::uint32_t, BodyText> bodies;
    int reads = 0;
    BodyText ReadBody(std::uint32_t uid) override {
        ++reads;
        auto it = bodies.find(uid);
        return it == bodies.end() ? BodyText{} : it->second;
    }
};

struct TestBank {
    RecordTree records, folders;
    PwdList entries;
    FakeBodies bodies;
    TreeNode* rootRecord = records.Insert(A("Корневая запись"));
    TreeNode* rootFolder = folders.Insert(A("Хранилище паролей"));

    SearchBank bank() { return {{records, folders}, entries, bodies}; }

    TreeNode* Record(const char* title, const char* keywords = "", const char* notes = "",
                     const char* body = "", TreeNode* parent = nullptr) {
        TreeNode* node = records.Insert(A(title), parent ? parent : rootRecord);
        node->item.keywords = A(keywords);
        node->item.notes = A(notes);
        SetBody(node, A(body));
        return node;
    }
    void SetBody(TreeNode* node, const AnsiString& text, std::uint64_t size = 0) {
        bodies.bodies[node->item.uid] = BodyText{text, size ? size : text.size()};
    }
    TreeNode* Folder(const char* title, const char* keywords = "", TreeNode* parent = nullptr) {
        TreeNode* node = folders.Insert(A(title), parent ? parent : rootFolder);
        node->item.keywords = A(keywords);
        return node;
    }
    PwdItem& Entry(TreeNode* folder, const char* title, const char* login = "") {
        auto item = std::make_unique<PwdItem>();
        item->folderUid = folder->item.uid;
        item->title = A(title);
        item->login = A(login);
        return entries.Add(std::move(item));
    }
};

} // namespace kelvo::test
