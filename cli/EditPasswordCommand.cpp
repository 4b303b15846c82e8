// kvb edit-password BANK UID ...: change a password entry or move it to another folder.
#include "cli/BankCommand.h"
#include "cli/Commands.h"

namespace kelvo::cli {

namespace {

class EditPasswordCommand final : public Command {
public:
    void Define(CLI::App& app) override {
        app.add_option("BANK", m_bank, "Путь банка данных")->required();
        app.add_option("UID", m_uid, "UID пароля")->required();
        m_folderOption = app.add_option("--folder", m_folder, "Переместить в папку с этим UID");
        m_fields.Define(app, false);
    }

    int Run(CommandIo& io) override {
        CQuorvellineDoc doc;
        if (const int status = OpenBank(doc, m_bank, io, BankAccess::Change))
            return status;
        PwdItem* item = doc.passwords().Find(m_uid);
        if (!item)
            return Refuse(io, "Пароль с UID " + std::to_string(m_uid) + " не найден.");
        if (m_folderOption->count() && !FindNode(doc, TreeKind::Folders, m_folder, io))
            return kExitRefused;
        if (!m_fields.Apply(*item, io))
            return kExitRefused;
        if (m_folderOption->count())
            item->folderUid = m_folder;
        doc.SetModifiedFlag(true);
        return SaveAndReport(doc, io, "Изменено.");
    }

private:
    std::string m_bank;
    std::uint32_t m_uid = 0;
    std::uint32_t m_folder = 0;
    CLI::Option* m_folderOption = nullptr;
    PasswordFieldOptions m_fields;
};

} // namespace

std::unique_ptr<Command> MakeEditPasswordCommand() {
    return std::make_unique<EditPasswordCommand>();
}

} // namespace kelvo::cli
