// kvb info BANK: revision, summary properties, user-defined properties and counts.
#include "cli/BankCommand.h"
#include "cli/Commands.h"

#include "core/UserPropertyInput.h"

namespace kelvo::cli {

namespace {

const char* TypeName(int type) {
    switch (type) {
    case UserProperty::Text:
        return "text";
    case UserProperty::Number:
        return "number";
    case UserProperty::DateTime:
        return "date";
    case UserProperty::YesNo:
        return "bool";
    default:
        return "unknown";
    }
}

nlohmann::ordered_json PropertyValue(const UserProperty& p) {
    switch (p.type) {
    case UserProperty::Text:
        return Utf8(p.text);
    case UserProperty::Number:
        return p.number;
    case UserProperty::DateTime:
        return TimeJson(p.date);
    case UserProperty::YesNo:
        return p.number != 0;
    default:
        return nullptr;
    }
}

// A date in JSON form, or as the program shows it.
nlohmann::ordered_json Time(const OleDateTime& time, bool json) {
    if (json || !time.valid)
        return TimeJson(time);
    return TimeText(time);
}

class InfoCommand final : public Command {
public:
    void Define(CLI::App& app) override {
        app.add_option("BANK", m_bank, "Путь банка данных")->required();
    }

    int Run(CommandIo& io) override {
        CQuorvellineDoc doc;
        if (const int status = OpenBank(doc, m_bank, io, BankAccess::Read))
            return status;
        const BankSummary& s = doc.summary();
        // Field name in JSON, label in text, value.
        const std::vector<std::tuple<const char*, const char*, nlohmann::ordered_json>> fields = {
            {"title", "Название", Utf8(s.title)},
            {"subject", "Тема", Utf8(s.subject)},
            {"author", "Автор", Utf8(s.author)},
            {"keywords", "Ключевые слова", Utf8(s.keywords)},
            {"comments", "Заметки", Utf8(s.comments)},
            {"template", "Шаблон", Utf8(s.templateName)},
            {"last_author", "Автор изменений", Utf8(s.lastAuthor)},
            {"category", "Категория", Utf8(s.category)},
            {"manager", "Руководитель", Utf8(s.manager)},
            {"company", "Учреждение", Utf8(s.company)},
            {"presentation_format", "Формат презентации", Utf8(s.presentationFormat)},
            {"created", "Создан", Time(s.created, io.json)},
            {"last_saved", "Изменен", Time(s.lastSaved, io.json)},
            {"last_printed", "Напечатан", Time(s.lastPrinted, io.json)},
        };
        if (io.json) {
            nlohmann::ordered_json summary = nlohmann::ordered_json::object();
            for (const auto& [key, label, value] : fields)
                summary[key] = value;
            nlohmann::ordered_json props = nlohmann::ordered_json::array();
            for (const UserProperty& p : doc.userProperties())
                props.push_back({{"name", Utf8(p.name)},
                                 {"type", TypeName(p.type)},
                                 {"value", PropertyValue(p)}});
            PrintJson(io, {{"path", doc.path().string()},
                           {"revision", doc.RevisionNumber()},
                           {"summary", summary},
                           {"user_properties", props},
                           {"records", doc.records().size()},
                           {"folders", doc.folders().size()},
                           {"passwords", doc.passwords().size()}});
            return kExitOk;
        }
        io.out << "Банк данных: " << doc.path().string() << '\n'
               << "Счётчик сохранения: " << doc.RevisionNumber() << '\n';
        for (const auto& [key, label, value] : fields) {
            (void)key;
            io.out << label << ": "
                   << (value.is_null()     ? std::string("(Неизвестно)")
                       : value.is_string() ? value.get<std::string>()
                                           : value.dump())
                   << '\n';
        }
        io.out << "Свойства пользователя: " << doc.userProperties().size() << '\n';
        for (const UserProperty& p : doc.userProperties())
            io.out << "  " << Utf8(p.name) << " (" << TypeName(p.type)
                   << "): " << Utf8(UserPropertyValueText(p)) << '\n';
        io.out << "Записей: " << doc.records().size() << '\n'
               << "Папок паролей: " << doc.folders().size() << '\n'
               << "Паролей: " << doc.passwords().size() << '\n';
        return kExitOk;
    }

private:
    std::string m_bank;
};

} // namespace

std::unique_ptr<Command> MakeInfoCommand() {
    return std::make_unique<InfoCommand>();
}

} // namespace kelvo::cli
