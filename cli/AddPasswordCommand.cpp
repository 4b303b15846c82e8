// kvb add-password BANK --folder UID --title T ...: a password entry in a folder.
#include "cli/BankCommand.h"
#include "cli/Commands.h"

namespace kelvo::cli {

namespace {

class AddPasswordCommand final : public Command {
public:
    void Define(CLI::App& app) override {
        app.add_option("BANK", m_bank, "Путь банка данных")->required();
        app.add_option("--folder", m_folder, "UID папки паролей")->required();
        m_fields.Define(app, true);
    }

    int Run(CommandIo& io) override {
        CQuorvellineDoc doc;
        if (const int status = OpenBank(doc, m_bank, io, BankAccess::Change))
            return status;
        TreeNode* folder = FindNode(doc, TreeKind::Folders, m_folder, io);
        if (!folder)
            return kExitRefused;
        auto item = std::make_unique<PwdItem>();
        if (!m_fields.Apply(*item, io))
            return kExitRefused;
        const PwdItem& added = doc.AddPassword(std::move(item), folder);
        if (!SaveBank(doc, io))
            return kExitRefused;
        if (io.json)
            PrintJson(io, {{"uid", added.uid}});
        else
            io.out << "Добавлен пароль с UID " << added.uid << '\n';
        return kExitOk;
    }

private:
    std::string m_bank;
    std::uint32_t m_folder = 0;
    PasswordFieldOptions m_fields;
};

} // namespace

std::unique_ptr<Command> MakeAddPasswordCommand() {
    return std::make_unique<AddPasswordCommand>();
}

} // namespace kelvo::cli
