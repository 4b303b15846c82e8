// kvb add-record and kvb add-folder: a node as the last child of a parent.
#include "cli/BankCommand.h"
#include "cli/Commands.h"

namespace kelvo::cli {

namespace {

class AddNodeCommand final : public Command {
public:
    explicit AddNodeCommand(TreeKind kind) : m_kind(kind) {}

    void Define(CLI::App& app) override {
        app.add_option("BANK", m_bank, "Путь банка данных")->required();
        app.add_option("--parent", m_parent,
                       m_kind == TreeKind::Records ? "UID родительской записи"
                                                   : "UID родительской папки")
            ->required();
        m_fields.Define(app, true);
        if (m_kind == TreeKind::Records)
            m_bodyOption = app.add_option(
                "--body", m_body, "Текст записи из файла (.rtf как есть, иначе обычный текст)");
    }

    int Run(CommandIo& io) override {
        std::optional<std::string> body;
        if (m_bodyOption && m_bodyOption->count() && !(body = ReadBodyFile(m_body, io)))
            return kExitRefused;
        CQuorvellineDoc doc;
        if (const int status = OpenBank(doc, m_bank, io, BankAccess::Change))
            return status;
        TreeNode* parent = FindNode(doc, m_kind, m_parent, io);
        if (!parent)
            return kExitRefused;
        TreeNode probe;
        if (!m_fields.Apply(probe, io))
            return kExitRefused;
        TreeNode* node = doc.AddNode(m_kind, parent, probe.title);
        node->item.keywords = probe.item.keywords;
        node->item.notes = probe.item.notes;
        if (body) {
            if (auto saved = doc.SaveBody(node, *body); !saved)
                return Refuse(io, saved.error());
        }
        if (!SaveBank(doc, io))
            return kExitRefused;
        if (io.json)
            PrintJson(io, {{"uid", node->item.uid}});
        else
            io.out << (m_kind == TreeKind::Records ? "Добавлена запись" : "Добавлена папка")
                   << " с UID " << node->item.uid << '\n';
        return kExitOk;
    }

private:
    TreeKind m_kind;
    std::string m_bank;
    std::uint32_t m_parent = 0;
    NodeFieldOptions m_fields;
    std::string m_body;
    CLI::Option* m_bodyOption = nullptr;
};

} // namespace

std::unique_ptr<Command> MakeAddRecordCommand() {
    return std::make_unique<AddNodeCommand>(TreeKind::Records);
}

std::unique_ptr<Command> MakeAddFolderCommand() {
    return std::make_unique<AddNodeCommand>(TreeKind::Folders);
}

} // namespace kelvo::cli
