// kvb set-property and kvb rm-property: user-defined properties, checked as the bank
// properties sheet checks them.
#include "cli/BankCommand.h"
#include "cli/Commands.h"

#include "core/UserPropertyInput.h"

#include <map>

namespace kelvo::cli {

namespace {

class SetPropertyCommand final : public Command {
public:
    void Define(CLI::App& app) override {
        app.add_option("BANK", m_bank, "Путь банка данных")->required();
        app.add_option("NAME", m_name, "Имя свойства")->required();
        app.add_option("--type", m_type, "Тип: text, number, date или bool")
            ->required()
            ->check(CLI::IsMember({"text", "number", "date", "bool"}));
        app.add_option("--value", m_value,
                       "Значение: для number — десятичные цифры; для date — дд.мм.гггг чч:мм:сс, "
                       "дд.мм.гггг или чч:мм:сс; для bool — «Да» (иное значение — «Нет»)")
            ->required();
    }

    int Run(CommandIo& io) override {
        static const std::map<std::string, int> types = {{"text", UserProperty::Text},
                                                         {"number", UserProperty::Number},
                                                         {"date", UserProperty::DateTime},
                                                         {"bool", UserProperty::YesNo}};
        auto name = ToBankText(m_name, "имя свойства", io);
        auto value = name ? ToBankText(m_value, "значение", io) : std::nullopt;
        if (!name || !value)
            return kExitRefused;
        CQuorvellineDoc doc;
        if (const int status = OpenBank(doc, m_bank, io, BankAccess::Change))
            return status;
        auto property = MakeUserProperty(doc.userProperties(), *name, types.at(m_type), *value);
        if (!property)
            return Refuse(io, ErrorText(property.error()));
        doc.userProperties().push_back(std::move(*property));
        doc.SetModifiedFlag(true);
        return SaveAndReport(doc, io, "Свойство добавлено.");
    }

private:
    std::string m_bank, m_name, m_type, m_value;
};

class RmPropertyCommand final : public Command {
public:
    void Define(CLI::App& app) override {
        app.add_option("BANK", m_bank, "Путь банка данных")->required();
        app.add_option("NAME", m_name, "Имя свойства")->required();
    }

    int Run(CommandIo& io) override {
        auto name = ToBankText(m_name, "имя свойства", io);
        if (!name)
            return kExitRefused;
        CQuorvellineDoc doc;
        if (const int status = OpenBank(doc, m_bank, io, BankAccess::Change))
            return status;
        auto& list = doc.userProperties();
        const UserProperty* found = FindUserProperty(list, *name);
        if (!found)
            return Refuse(io, "Свойство '" + m_name + "' не найдено.");
        list.erase(list.begin() + (found - list.data()));
        doc.SetModifiedFlag(true);
        return SaveAndReport(doc, io, "Свойство удалено.");
    }

private:
    std::string m_bank, m_name;
};

} // namespace

std::unique_ptr<Command> MakeSetPropertyCommand() {
    return std::make_unique<SetPropertyCommand>();
}
std::unique_ptr<Command> MakeRmPropertyCommand() {
    return std::make_unique<RmPropertyCommand>();
}

} // namespace kelvo::cli
