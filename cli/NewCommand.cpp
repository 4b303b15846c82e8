// kvb new BANK: create and save an empty bank.
#include "cli/BankCommand.h"
#include "cli/Commands.h"

#include "platform/storage/BankStorage.h"

namespace kelvo::cli {

namespace {

class NewCommand final : public Command {
public:
    void Define(CLI::App& app) override {
        app.add_option("BANK", m_bank, "Путь нового банка данных (файл не должен существовать)")
            ->required();
    }

    int Run(CommandIo& io) override {
        // A new bank never merges into a file that is already there.
        if (FileExists(m_bank))
            return Refuse(io, "Файл уже существует: " + m_bank);
        CQuorvellineDoc doc;
        (void)doc.OnNewDocument();
        if (auto saved = doc.SaveAs(m_bank); !saved)
            return Refuse(io, saved.error());
        if (io.json)
            PrintJson(io, {{"path", doc.path().string()}, {"revision", doc.RevisionNumber()}});
        else
            io.out << "Создан банк данных " << doc.path().string() << " (ревизия "
                   << doc.RevisionNumber() << ")\n";
        return kExitOk;
    }

private:
    std::string m_bank;
};

} // namespace

std::unique_ptr<Command> MakeNewCommand() {
    return std::make_unique<NewCommand>();
}

} // namespace kelvo::cli
