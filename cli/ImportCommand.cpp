// kvb import BANK --from OTHER --record UID --under UID: copy a record with its subtree and
// bodies from another bank (any compound file) under a record of the bank.
#include "cli/BankCommand.h"
#include "cli/Commands.h"
#include "core/RecordImport.h"

namespace kelvo::cli {

namespace {

class ImportCommand final : public Command {
public:
    void Define(CLI::App& app) override {
        app.add_option("BANK", m_bank, "Путь банка данных")->required();
        app.add_option("--from", m_from, "Исходный банк данных")->required();
        app.add_option("--record", m_record, "UID записи в исходном банке")->required();
        app.add_option("--under", m_under, "UID записи, в которую импортировать")->required();
    }

    int Run(CommandIo& io) override {
        CQuorvellineDoc doc;
        if (const int status = OpenBank(doc, m_bank, io, BankAccess::Change))
            return status;
        TreeNode* under = FindNode(doc, TreeKind::Records, m_under, io);
        if (!under)
            return kExitRefused;
        RecordImportSource source;
        if (auto loaded = source.Load(m_from, nullptr, BankPasswordPrompt(io)); !loaded) {
            io.err << ErrorText(loaded.error()) << '\n';
            return kExitBank;
        }
        const TreeNode* record = source.tree().FindByUid(m_record);
        if (!record)
            return Refuse(io,
                          "В исходном банке нет записи с UID " + std::to_string(m_record) + ".");
        auto imported = ImportRecords(doc, under, source, record);
        if (!imported)
            return Refuse(io, imported.error());
        if (imported->bodiesFailed)
            io.err << MessageText(msg::ImportBodiesFailed, {std::to_string(imported->bodiesFailed)})
                   << '\n';
        if (!SaveBank(doc, io))
            return kExitRefused;
        if (io.json)
            PrintJson(io, {{"uid", imported->top->item.uid}});
        else
            io.out << StringText(msg::ImportDone) << " Записей: " << imported->records
                   << ", новый UID: " << imported->top->item.uid << '\n';
        return kExitOk;
    }

private:
    std::string m_bank, m_from;
    std::uint32_t m_record = 0;
    std::uint32_t m_under = 0;
};

} // namespace

std::unique_ptr<Command> MakeImportCommand() {
    return std::make_unique<ImportCommand>();
}

} // namespace kelvo::cli
