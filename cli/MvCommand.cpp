// kvb mv BANK UID --to UID [--after] [--folder]: move a record or folder with its subtree,
// as a drop does in the program (last child of the target, or with --after the sibling right
// after it).
#include "cli/BankCommand.h"
#include "cli/Commands.h"
#include "core/TreeOperations.h"

namespace kelvo::cli {

namespace {

class MvCommand final : public Command {
public:
    void Define(CLI::App& app) override {
        app.add_option("BANK", m_bank, "Путь банка данных")->required();
        app.add_option("UID", m_uid, "UID перемещаемой записи или папки")->required();
        app.add_option("--to", m_to, "UID новой родительской записи (с --after: соседней)")
            ->required();
        app.add_flag("--after", m_after, "Поставить сразу после записи --to на её уровне");
        app.add_flag("--folder", m_folder, "Переместить папку паролей, а не запись");
    }

    int Run(CommandIo& io) override {
        const TreeKind kind = m_folder ? TreeKind::Folders : TreeKind::Records;
        CQuorvellineDoc doc;
        if (const int status = OpenBank(doc, m_bank, io, BankAccess::Change))
            return status;
        TreeNode* node = FindNode(doc, kind, m_uid, io);
        TreeNode* target = node ? FindNode(doc, kind, m_to, io) : nullptr;
        if (!node || !target)
            return kExitRefused;
        if (!node->parent)
            return Refuse(io, "Элемент верхнего уровня переместить нельзя.");
        if (m_after && !target->parent)
            return Refuse(io, "Рядом с элементом верхнего уровня ничего поставить нельзя.");
        if (RecordTree::IsInSubtree(m_after ? target->parent : target, node))
            return Refuse(io, "Нельзя переместить элемент внутрь него самого.");
        if (!DropTreeNode(doc, kind, node, target, m_after))
            return Refuse(io, "Перемещение не выполнено.");
        return SaveAndReport(doc, io, "Перемещено.");
    }

private:
    std::string m_bank;
    std::uint32_t m_uid = 0;
    std::uint32_t m_to = 0;
    bool m_after = false;
    bool m_folder = false;
};

} // namespace

std::unique_ptr<Command> MakeMvCommand() {
    return std::make_unique<MvCommand>();
}

} // namespace kelvo::cli
