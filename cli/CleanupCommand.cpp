// kvb cleanup BANK [--record-keywords] [--record-notes] [--record-texts] [--folder-keywords]
// [--folder-notes] [--passwords]: the bank cleanup of the program.
#include "cli/BankCommand.h"
#include "cli/Commands.h"
#include "maintenance/BankCleanup.h"

namespace kelvo::cli {

namespace {

class CleanupCommand final : public Command {
public:
    void Define(CLI::App& app) override {
        app.add_option("BANK", m_bank, "Путь банка данных")->required();
        app.add_flag("--record-keywords", m_choices.recordKeywords,
                     "Ключевые слова из структуры записей");
        app.add_flag("--record-notes", m_choices.recordNotes, "Заметки из структуры записей");
        app.add_flag("--record-texts", m_choices.recordTexts, "Тексты записей");
        app.add_flag("--folder-keywords", m_choices.folderKeywords,
                     "Ключевые слова из хранилища паролей");
        app.add_flag("--folder-notes", m_choices.folderNotes, "Заметки из хранилища паролей");
        app.add_flag("--passwords", m_choices.passwords, "Пароли");
    }

    int Run(CommandIo& io) override {
        if (!m_choices.Any()) {
            io.err << StringText(msg::CleanupNothingChosen) << '\n';
            return kExitUsage;
        }
        CQuorvellineDoc doc;
        if (const int status = OpenBank(doc, m_bank, io, BankAccess::Change))
            return status;
        auto result = RunBankCleanup(doc, m_choices);
        if (!result)
            return Refuse(io, result.error());
        if (!SaveBank(doc, io))
            return kExitRefused;
        if (io.json)
            PrintJson(io, nlohmann::ordered_json::object());
        else
            io.out << StringText(msg::CleanupDone) << '\n';
        return kExitOk;
    }

private:
    std::string m_bank;
    CleanupChoices m_choices;
};

} // namespace

std::unique_ptr<Command> MakeCleanupCommand() {
    return std::make_unique<CleanupCommand>();
}

} // namespace kelvo::cli
