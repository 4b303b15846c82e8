// kvb rm BANK UID [--folder] and kvb rm-password BANK UID: delete a record with its subtree
// and bodies, a password folder (its entries move up), or one password entry.
#include "cli/BankCommand.h"
#include "cli/Commands.h"
#include "core/TreeOperations.h"

namespace kelvo::cli {

namespace {

class RmCommand final : public Command {
public:
    void Define(CLI::App& app) override {
        app.add_option("BANK", m_bank, "Путь банка данных")->required();
        app.add_option("UID", m_uid, "UID записи или папки")->required();
        app.add_flag("--folder", m_folder, "Удалить папку паролей, а не запись");
    }

    int Run(CommandIo& io) override {
        const TreeKind kind = m_folder ? TreeKind::Folders : TreeKind::Records;
        CQuorvellineDoc doc;
        if (const int status = OpenBank(doc, m_bank, io, BankAccess::Change))
            return status;
        TreeNode* node = FindNode(doc, kind, m_uid, io);
        if (!node)
            return kExitRefused;
        if (node == doc.tree(kind).first())
            return Refuse(io, m_folder ? "Корневую папку паролей удалить нельзя."
                                       : "Корневую запись удалить нельзя.");
        // The bodies of the subtree leave the bank file here, before the save, as in the
        // program.
        if (auto deleted = DeleteTreeNode(doc, kind, node); !deleted)
            return Refuse(io, deleted.error());
        return SaveAndReport(doc, io, "Удалено.");
    }

private:
    std::string m_bank;
    std::uint32_t m_uid = 0;
    bool m_folder = false;
};

class RmPasswordCommand final : public Command {
public:
    void Define(CLI::App& app) override {
        app.add_option("BANK", m_bank, "Путь банка данных")->required();
        app.add_option("UID", m_uid, "UID пароля")->required();
    }

    int Run(CommandIo& io) override {
        CQuorvellineDoc doc;
        if (const int status = OpenBank(doc, m_bank, io, BankAccess::Change))
            return status;
        if (!doc.passwords().Remove(m_uid))
            return Refuse(io, "Пароль с UID " + std::to_string(m_uid) + " не найден.");
        doc.SetModifiedFlag(true);
        return SaveAndReport(doc, io, "Удалено.");
    }

private:
    std::string m_bank;
    std::uint32_t m_uid = 0;
};

} // namespace

std::unique_ptr<Command> MakeRmCommand() {
    return std::make_unique<RmCommand>();
}

std::unique_ptr<Command> MakeRmPasswordCommand() {
    return std::make_unique<RmPasswordCommand>();
}

} // namespace kelvo::cli
