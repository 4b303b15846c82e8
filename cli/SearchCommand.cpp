// kvb search BANK EXPR [--case] [--whole-words] [--in data,keywords,notes] [--size =N|<N|>N]
// [--from KEY] [--no-nested] [--split-folders]: the bank search.
#include "cli/BankCommand.h"
#include "cli/Commands.h"
#include "cli/SearchResults.h"

#include "platform/text/ItemStream.h"
#include "search/BankSearch.h"
#include "search/StorageBodySource.h"

namespace kelvo::cli {

namespace {

class SearchCommand final : public Command {
public:
    void Define(CLI::App& app) override {
        app.add_option("BANK", m_bank, "Путь банка данных")->required();
        app.add_option("EXPR", m_expression, "Искомый текст: слова, \"фразы\", AND, OR, скобки")
            ->required();
        app.add_flag("--case", m_case, "Учитывать регистр");
        app.add_flag("--whole-words", m_wholeWords, "Только отдельные слова");
        app.add_option("--in", m_in, "Где искать: data,keywords,notes (по умолчанию везде)");
        app.add_option("--size", m_size, "Размер данных в Кбайт: =N, <N или >N");
        app.add_option("--from", m_from, "Начать поиск с объекта (rec:UID, pwd:UID или bnk)");
        app.add_flag("--no-nested", m_noNested, "Не просматривать вложенные структуры");
        app.add_flag("--split-folders", m_split,
                     "Искать в паролях папки по отдельности, а не в папке целиком");
    }

    int Run(CommandIo& io) override {
        SearchCriteria criteria;
        auto text = ToBankText(m_expression, "искомый текст", io);
        if (!text)
            return kExitRefused;
        criteria.text = *text;
        criteria.caseSensitive = m_case;
        criteria.wholeWords = m_wholeWords;
        criteria.nested = !m_noNested;
        criteria.folderAsWhole = !m_split;
        if (!m_from.empty()) {
            auto key = ToBankText(m_from, "начальный объект", io);
            if (!key)
                return kExitRefused;
            criteria.startKey = *key;
        }
        if (!m_in.empty()) {
            criteria.inData = criteria.inKeywords = criteria.inNotes = false;
            for (const AnsiString& place : SplitList(m_in, ",", true)) {
                if (place == "data")
                    criteria.inData = true;
                else if (place == "keywords")
                    criteria.inKeywords = true;
                else if (place == "notes")
                    criteria.inNotes = true;
                else {
                    io.err << "Неизвестное место поиска '" << place
                           << "': допустимы data, keywords, notes.\n";
                    return kExitUsage;
                }
            }
        }
        if (!m_size.empty()) {
            const char op = m_size[0];
            if (op != '=' && op != '<' && op != '>') {
                io.err << "Размер задаётся как =N, <N или >N.\n";
                return kExitUsage;
            }
            auto value = ParseSizeValue(std::string_view(m_size).substr(1));
            if (!value)
                return Refuse(io, value.error());
            criteria.sizeFilter = true;
            criteria.sizeValue = *value;
            criteria.sizeCompare = op == '='   ? SizeCompare::Equal
                                   : op == '<' ? SizeCompare::Less
                                               : SizeCompare::Greater;
        }
        if (auto valid = ValidateCriteria(criteria); !valid)
            return Refuse(io, valid.error());

        CQuorvellineDoc doc;
        if (const int status = OpenBank(doc, m_bank, io, BankAccess::Read))
            return status;
        StorageBodySource bodies(doc);
        ResultRows rows;
        StatusKeeper status;
        BankSearch search({doc.trees(), doc.passwords(), bodies}, rows, &status);
        search.Run(criteria);
        PrintResultRows(io, status.last, rows);
        return kExitOk;
    }

private:
    // Keeps the last status line; no events to handle on the command line.
    struct StatusKeeper : Progress {
        std::string last;
        void SetStatus(std::string_view text) override { last = text; }
    };

    std::string m_bank, m_expression, m_in, m_size, m_from;
    bool m_case = false, m_wholeWords = false, m_noNested = false, m_split = false;
};

} // namespace

std::unique_ptr<Command> MakeSearchCommand() {
    return std::make_unique<SearchCommand>();
}

} // namespace kelvo::cli
