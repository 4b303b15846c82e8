// kvb index BANK [--rebuild] [--records|--folders]: the stored keyword index, rebuilt from the
// keywords of the records and folders and stored first with --rebuild.
#include "cli/BankCommand.h"
#include "cli/Commands.h"

#include "index/IndexBuild.h"
#include "index/IndexStorage.h"

namespace kelvo::cli {

namespace {

class IndexCommand final : public Command {
public:
    void Define(CLI::App& app) override {
        app.add_option("BANK", m_bank, "Путь банка данных")->required();
        app.add_flag("--rebuild", m_rebuild, "Перестроить индекс и сохранить его в банке");
        auto* records = app.add_flag("--records", m_records, "Только слова записей");
        auto* folders = app.add_flag("--folders", m_folders, "Только слова папок паролей");
        records->excludes(folders);
    }

    int Run(CommandIo& io) override {
        CQuorvellineDoc doc;
        if (const int status =
                OpenBank(doc, m_bank, io, m_rebuild ? BankAccess::Change : BankAccess::Read))
            return status;
        KeywordIndex index;
        bool found = false;
        {
            auto root = doc.WorkingStorage();
            if (!root)
                return Refuse(io, ErrorWithReason(msg::IndexNotLoaded, root.error()));
            if (m_rebuild) {
                if (auto built = BuildIndex(index, doc.trees()); !built)
                    return Refuse(io, built.error());
                if (auto saved = SaveIndex(index, *root); !saved)
                    return Refuse(io, saved.error());
            }
            auto loaded = LoadIndex(index, *root);
            if (!loaded)
                return Refuse(io, loaded.error());
            found = *loaded;
        }
        const KeywordFilter filter = m_records   ? KeywordFilter::Records
                                     : m_folders ? KeywordFilter::Folders
                                                 : KeywordFilter::All;
        const std::vector<KeywordRow> rows = KeywordRows(index, filter);
        if (io.json) {
            nlohmann::ordered_json words = nlohmann::ordered_json::array();
            for (const KeywordRow& row : rows) {
                nlohmann::ordered_json references = nlohmann::ordered_json::array();
                for (const AnsiString& key : row.item->references())
                    references.push_back(Utf8(key));
                words.push_back({{"uid", row.item->uid},
                                 {"word", Utf8(row.item->word)},
                                 {"count", row.count},
                                 {"records", row.records},
                                 {"folders", row.folders},
                                 {"references", references}});
            }
            PrintJson(io, {{"found", found}, {"words", words}});
            return kExitOk;
        }
        if (!found) {
            io.out << "Индексы не построены.\n";
            return kExitOk;
        }
        io.out << KeywordListStatus(rows.size()) << '\n';
        for (const KeywordRow& row : rows)
            io.out << Utf8(row.item->word) << '\t' << row.count << '\t'
                   << (row.records ? "Да" : "Нет") << '\t' << (row.folders ? "Да" : "Нет") << '\n';
        return kExitOk;
    }

private:
    std::string m_bank;
    bool m_rebuild = false, m_records = false, m_folders = false;
};

} // namespace

std::unique_ptr<Command> MakeIndexCommand() {
    return std::make_unique<IndexCommand>();
}

} // namespace kelvo::cli
