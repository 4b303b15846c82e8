// kvb query BANK WORD...: the index word query, the objects whose keywords hold every word.
#include "cli/BankCommand.h"
#include "cli/Commands.h"
#include "cli/SearchResults.h"

#include "index/IndexStorage.h"
#include "search/IndexQuery.h"
#include "search/StorageBodySource.h"

namespace kelvo::cli {

namespace {

class QueryCommand final : public Command {
public:
    void Define(CLI::App& app) override {
        app.add_option("BANK", m_bank, "Путь банка данных")->required();
        app.add_option("WORD", m_words, "Ключевые слова (все должны быть у объекта)")->required();
    }

    int Run(CommandIo& io) override {
        std::vector<AnsiString> words;
        for (const std::string& word : m_words) {
            auto text = ToBankText(word, "ключевое слово", io);
            if (!text)
                return kExitRefused;
            words.push_back(*text);
        }
        CQuorvellineDoc doc;
        if (const int status = OpenBank(doc, m_bank, io, BankAccess::Read))
            return status;
        KeywordIndex index;
        {
            auto root = doc.WorkingStorage();
            if (!root)
                return Refuse(io, ErrorWithReason(msg::IndexNotLoaded, root.error()));
            if (auto loaded = LoadIndex(index, *root); !loaded)
                return Refuse(io, loaded.error());
        }
        StorageBodySource bodies(doc);
        ResultRows rows;
        const std::string status = QueryIndex(index, words, KeywordFilter::All, index.size(),
                                              {doc.trees(), doc.passwords(), bodies}, rows);
        PrintResultRows(io, status, rows);
        return kExitOk;
    }

private:
    std::string m_bank;
    std::vector<std::string> m_words;
};

} // namespace

std::unique_ptr<Command> MakeQueryCommand() {
    return std::make_unique<QueryCommand>();
}

} // namespace kelvo::cli
