// kvb passwords BANK [--folder UID]: password entries in list order.
#include "cli/BankCommand.h"
#include "cli/Commands.h"

namespace kelvo::cli {

namespace {

class PasswordsCommand final : public Command {
public:
    void Define(CLI::App& app) override {
        app.add_option("BANK", m_bank, "Путь банка данных")->required();
        m_folderOption = app.add_option("--folder", m_folder, "Только пароли папки с этим UID");
    }

    int Run(CommandIo& io) override {
        CQuorvellineDoc doc;
        if (const int status = OpenBank(doc, m_bank, io, BankAccess::Read))
            return status;
        const bool filter = m_folderOption->count() > 0;
        if (filter && !FindNode(doc, TreeKind::Folders, m_folder, io))
            return kExitRefused;
        nlohmann::ordered_json list = nlohmann::ordered_json::array();
        for (const auto& item : doc.passwords()) {
            if (filter && item->folderUid != m_folder)
                continue;
            if (io.json) {
                list.push_back(PasswordJson(*item));
                continue;
            }
            io.out << "[UID " << item->uid << ", папка " << item->folderUid << "] "
                   << Utf8(item->title) << "\n  Категория: " << Utf8(item->category)
                   << "\n  Логин: " << Utf8(item->login) << "\n  Пароль: " << Utf8(item->password)
                   << "\n  Ссылка: " << Utf8(item->link) << "\n  Заметки: " << Utf8(item->notes)
                   << '\n';
        }
        if (io.json)
            PrintJson(io, {{"passwords", list}});
        return kExitOk;
    }

private:
    std::string m_bank;
    std::uint32_t m_folder = 0;
    CLI::Option* m_folderOption = nullptr;
};

} // namespace

std::unique_ptr<Command> MakePasswordsCommand() {
    return std::make_unique<PasswordsCommand>();
}

} // namespace kelvo::cli
