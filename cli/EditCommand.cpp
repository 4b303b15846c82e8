// kvb edit BANK UID [--folder]: change the title, keywords, notes or body of a record or
// the fields of a password folder.
#include "cli/BankCommand.h"
#include "cli/Commands.h"

namespace kelvo::cli {

namespace {

class EditCommand final : public Command {
public:
    void Define(CLI::App& app) override {
        app.add_option("BANK", m_bank, "Путь банка данных")->required();
        app.add_option("UID", m_uid, "UID записи или папки")->required();
        app.add_flag("--folder", m_folder, "Изменить папку паролей, а не запись");
        m_fields.Define(app, false);
        m_bodyOption = app.add_option(
            "--body", m_body, "Новый текст записи из файла (.rtf как есть, иначе обычный текст)");
    }

    int Run(CommandIo& io) override {
        const TreeKind kind = m_folder ? TreeKind::Folders : TreeKind::Records;
        if (m_folder && m_bodyOption->count())
            return Refuse(io, "У папки паролей нет текста: параметр --body к ней не применим.");
        std::optional<std::string> body;
        if (m_bodyOption->count() && !(body = ReadBodyFile(m_body, io)))
            return kExitRefused;
        CQuorvellineDoc doc;
        if (const int status = OpenBank(doc, m_bank, io, BankAccess::Change))
            return status;
        TreeNode* node = FindNode(doc, kind, m_uid, io);
        if (!node)
            return kExitRefused;
        if (!m_fields.Apply(*node, io))
            return kExitRefused;
        if (body) {
            if (auto saved = doc.SaveBody(node, *body); !saved)
                return Refuse(io, saved.error());
        }
        doc.SetModifiedFlag(true);
        return SaveAndReport(doc, io, "Изменено.");
    }

private:
    std::string m_bank;
    std::uint32_t m_uid = 0;
    bool m_folder = false;
    NodeFieldOptions m_fields;
    std::string m_body;
    CLI::Option* m_bodyOption = nullptr;
};

} // namespace

std::unique_ptr<Command> MakeEditCommand() {
    return std::make_unique<EditCommand>();
}

} // namespace kelvo::cli
