// Banks for the fault tests.
#include "tests/support/SampleBank.h"

#include <memory>
#include <vector>

namespace kelvo::test {

std::string SampleRtf(std::size_t size, unsigned seed) {
    std::string body = "{\\rtf1\\ansi\\deff0 ";
    std::uint32_t x = seed * 2654435761u + 1u;
    while (body.size() < size) {
        x = x * 1103515245u + 12345u;
        body += static_cast<char>('a' + (x >> 24) % 26);
        if ((x >> 16) % 9 == 0)
            body += ' ';
    }
    return body + "}";
}

AnsiString BankText(const std::string& utf8) {
    return Utf8ToAnsiLossy(utf8);
}

void FillSampleBank(CQuorvellineDoc& doc, int records, int passwords) {
    (void)doc.OnNewDocument();
    TreeNode* root = doc.records().first();
    std::vector<TreeNode*> nodes;
    for (int i = 0; i < records; ++i) {
        TreeNode* parent = i < 20    ? root
                           : i < 100 ? nodes[static_cast<std::size_t>(i % 20)]
                                     : nodes[static_cast<std::size_t>(20 + i % 80)];
        TreeNode* node =
            doc.AddNode(TreeKind::Records, parent, BankText("Запись " + std::to_string(i)));
        nodes.push_back(node);
        node->item.notes = BankText("заметка " + std::to_string(i));
        node->item.keywords = BankText("слово" + std::to_string(i % 40) + ", общее");
        if (i % 10 != 9) {
            const std::size_t size = i % 25 == 0 ? 20000 + 100 * i : 200 + 37 * (i % 80);
            (void)doc.SaveBody(node, SampleRtf(size, static_cast<unsigned>(i)));
        }
    }
    TreeNode* vault = doc.folders().first();
    std::vector<TreeNode*> folders;
    for (int i = 0; i < 40; ++i) {
        folders.push_back(
            doc.AddNode(TreeKind::Folders, vault, BankText("Папка " + std::to_string(i))));
        folders.back()->item.keywords = BankText("сайт" + std::to_string(i % 7));
    }
    for (int i = 0; i < passwords; ++i) {
        auto item = std::make_unique<PwdItem>();
        item->title = BankText("Пароль " + std::to_string(i));
        item->login = BankText("user" + std::to_string(i));
        item->password = BankText("секрет-" + std::to_string(i * 7919));
        doc.AddPassword(std::move(item), folders[static_cast<std::size_t>(i) % folders.size()]);
    }
    for (int i = 0; i < 3; ++i) {
        UserProperty p;
        p.name = BankText("Свойство " + std::to_string(i));
        p.type = UserProperty::Text;
        p.text = BankText("значение " + std::to_string(i));
        doc.userProperties().push_back(p);
    }
    doc.summary().title = BankText("Банк для проверки сбоев");
}

TreeNode* SampleRecord(CQuorvellineDoc& doc, int n) {
    const AnsiString title = BankText("Запись " + std::to_string(n));
    for (TreeNode* node : doc.records().PreOrder())
        if (node->title == title)
            return node;
    return nullptr;
}

} // namespace kelvo::test
