// The command line of kvb: global options, one subcommand per registered command, Russian
// help and usage messages, dispatch to the command.
#include "cli/Command.h"

#include <iostream>
#include <regex>

namespace kelvo::cli {

namespace {

// Russian labels for the help CLI11 prints.
std::shared_ptr<CLI::Formatter> RussianFormatter() {
    auto f = std::make_shared<CLI::Formatter>();
    f->label("Usage", "Вызов");
    f->label("OPTIONS", "ПАРАМЕТРЫ");
    f->label("SUBCOMMAND", "КОМАНДА");
    f->label("SUBCOMMANDS", "КОМАНДЫ");
    f->label("Positionals", "Аргументы");
    f->label("REQUIRED", "обязательный");
    f->label("TEXT", "ТЕКСТ");
    f->label("INT", "ЧИСЛО");
    f->label("UINT", "ЧИСЛО");
    f->label("Needs", "Требует");
    f->label("Excludes", "Исключает");
    f->column_width(34);
    return f;
}

void RussianDefaults(CLI::App& app) {
    app.formatter(RussianFormatter());
    app.set_help_flag("-h,--help", "Показать справку и выйти");
    app.option_defaults()->group("Параметры");
}

// A usage error in Russian; the English detail of the parser is translated where its shape
// is known and kept otherwise, so nothing is hidden.
std::string UsageMessage(const CLI::ParseError& e) {
    const std::string what = e.what();
    std::smatch m;
    if (std::regex_search(what, m, std::regex(R"(^(\S+) is required)")))
        return "Не указан обязательный параметр " + m[1].str() + ".";
    if (dynamic_cast<const CLI::RequiredError*>(&e))
        return "Не указаны обязательные аргументы (" + what + ").";
    if (dynamic_cast<const CLI::ExtrasError*>(&e)) {
        const auto pos = what.find(':');
        return "Лишние аргументы:" + (pos == std::string::npos ? " " + what : what.substr(pos + 1));
    }
    if (dynamic_cast<const CLI::ConversionError*>(&e) ||
        dynamic_cast<const CLI::ValidationError*>(&e))
        return "Неверное значение параметра (" + what + ").";
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&e))
        return "Неверное число значений параметра (" + what + ").";
    if (dynamic_cast<const CLI::ExcludesError*>(&e))
        return "Параметры нельзя указывать вместе (" + what + ").";
    return "Неверный вызов (" + what + ").";
}

} // namespace

int RunKvb(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
           std::ostream& err, TerminalAsk askTerminal) {
    CLI::App app("kvb — работа с банком данных Kelvo из командной строки.\n"
                 "Коды выхода: 0 — готово; 1 — неверный вызов; 2 — банк данных не удается "
                 "открыть; 3 — операция отклонена или не удалась.",
                 "kvb");
    RussianDefaults(app);
    bool json = false;
    app.add_flag("--json", json, "Вывести результат одним документом JSON");
    std::string passwordFile;
    app.add_option("--password-file", passwordFile,
                   "Файл, первая строка которого — пароль защищенного банка данных")
        ->type_name("ФАЙЛ");
    app.require_subcommand(1);
    app.fallthrough();

    struct Entry {
        CLI::App* app;
        std::unique_ptr<Command> command;
    };
    std::vector<Entry> entries;
    for (const CommandEntry& entry : AllCommands()) {
        CLI::App* sub = app.add_subcommand(entry.name, entry.help);
        RussianDefaults(*sub);
        sub->group("Команды");
        auto command = entry.make();
        command->Define(*sub);
        entries.push_back({sub, std::move(command)});
    }

    std::vector<std::string> reversed(args.rbegin(), args.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e, out, err);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e, out, err);
    } catch (const CLI::ParseError& e) {
        if (dynamic_cast<const CLI::RequiredError*>(&e) && app.get_subcommands().empty())
            err << "Не указана команда. Справка: kvb --help\n";
        else
            err << UsageMessage(e) << "\nСправка: kvb --help\n";
        return kExitUsage;
    }

    CommandIo io{in, out, err, json, passwordFile, std::move(askTerminal)};
    for (Entry& entry : entries)
        if (entry.app->parsed())
            return entry.command->Run(io);
    err << "Не указана команда. Справка: kvb --help\n";
    return kExitUsage;
}

} // namespace kelvo::cli
