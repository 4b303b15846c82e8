// kvb tree BANK [--folders]: the record tree or the password folder tree in pre-order.
#include "cli/BankCommand.h"
#include "cli/Commands.h"

namespace kelvo::cli {

namespace {

class TreeCommand final : public Command {
public:
    void Define(CLI::App& app) override {
        app.add_option("BANK", m_bank, "Путь банка данных")->required();
        app.add_flag("--folders", m_folders, "Дерево папок паролей вместо дерева записей");
    }

    int Run(CommandIo& io) override {
        CQuorvellineDoc doc;
        if (const int status = OpenBank(doc, m_bank, io, BankAccess::Read))
            return status;
        const TreeKind kind = m_folders ? TreeKind::Folders : TreeKind::Records;
        RecordTree& tree = doc.tree(kind);
        const auto sizes =
            kind == TreeKind::Records ? doc.BodySizes() : decltype(doc.BodySizes()){};
        auto sizeOf = [&](const TreeNode* n) -> std::optional<std::uint64_t> {
            auto it = sizes.find(n->item.uid);
            if (it == sizes.end())
                return std::nullopt;
            return it->second;
        };
        if (io.json) {
            nlohmann::ordered_json nodes = nlohmann::ordered_json::array();
            for (const TreeNode* n : tree.PreOrder())
                nodes.push_back(NodeJson(tree, *n, sizeOf(n)));
            PrintJson(io, {{"tree", m_folders ? "folders" : "records"}, {"nodes", nodes}});
            return kExitOk;
        }
        for (const TreeNode* n : tree.PreOrder()) {
            io.out << std::string(2 * RecordTree::Depth(n), ' ') << Utf8(n->title) << "  [UID "
                   << n->item.uid << ']';
            if (tree.selected() == n)
                io.out << " *";
            io.out << '\n';
        }
        return kExitOk;
    }

private:
    std::string m_bank;
    bool m_folders = false;
};

} // namespace

std::unique_ptr<Command> MakeTreeCommand() {
    return std::make_unique<TreeCommand>();
}

} // namespace kelvo::cli
