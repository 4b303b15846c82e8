// kvb set-summary BANK [--title ...]: the descriptive properties of the bank.
#include "cli/BankCommand.h"
#include "cli/Commands.h"

namespace kelvo::cli {

namespace {

class SetSummaryCommand final : public Command {
public:
    void Define(CLI::App& app) override {
        app.add_option("BANK", m_bank, "Путь банка данных")->required();
        const std::pair<const char*, const char*> names[] = {
            {"--title", "Название"},       {"--subject", "Тема"},
            {"--author", "Автор"},         {"--keywords", "Ключевые слова"},
            {"--comments", "Заметки"},     {"--category", "Категория"},
            {"--manager", "Руководитель"}, {"--company", "Учреждение"},
        };
        for (std::size_t i = 0; i < std::size(names); ++i)
            m_options[i] = app.add_option(names[i].first, m_values[i], names[i].second);
    }

    int Run(CommandIo& io) override {
        CQuorvellineDoc doc;
        if (const int status = OpenBank(doc, m_bank, io, BankAccess::Change))
            return status;
        BankSummary changed = doc.summary();
        AnsiString* targets[] = {&changed.title,    &changed.subject,  &changed.author,
                                 &changed.keywords, &changed.comments, &changed.category,
                                 &changed.manager,  &changed.company};
        for (std::size_t i = 0; i < std::size(targets); ++i) {
            if (!m_options[i]->count())
                continue;
            auto text = ToBankText(m_values[i], m_options[i]->get_name().c_str() + 2, io);
            if (!text)
                return kExitRefused;
            *targets[i] = *text;
        }
        doc.summary() = changed;
        doc.SetModifiedFlag(true);
        return SaveAndReport(doc, io, "Свойства банка изменены.");
    }

private:
    std::string m_bank;
    std::string m_values[8];
    CLI::Option* m_options[8] = {};
};

} // namespace

std::unique_ptr<Command> MakeSetSummaryCommand() {
    return std::make_unique<SetSummaryCommand>();
}

} // namespace kelvo::cli
