// kvb pwgen [--sets ...] [--other CHARS] (--length N | --mask M) [--count N]: the password
// generator: the alphabet from the chosen sets, shuffled, then passwords drawn from it.
#include "cli/BankCommand.h"
#include "cli/Commands.h"
#include "dialogs/PasswordGenerator.h"

#include <sstream>

namespace kelvo::cli {

namespace {

struct SetName {
    const char* name;
    PasswordSet set;
};

constexpr SetName kSetNames[] = {
    {"upper", PasswordSet::Upper},      {"lower", PasswordSet::Lower},
    {"ru-upper", PasswordSet::RuUpper}, {"ru-lower", PasswordSet::RuLower},
    {"digits", PasswordSet::Digits},    {"special", PasswordSet::Special},
};

constexpr int kMaxCount = 10000;

class PwgenCommand final : public Command {
public:
    void Define(CLI::App& app) override {
        m_setsOption =
            app.add_option("--sets", m_sets,
                           "Наборы символов через запятую: upper, lower, ru-upper, "
                           "ru-lower, digits, special (по умолчанию upper,lower,digits)");
        m_otherOption = app.add_option("--other", m_other, "Другие символы алфавита");
        auto* length = app.add_option("--length", m_length, "Длина пароля (от 1 до 30)");
        auto* mask =
            app.add_option("--mask", m_mask, "Маска: символы '#' заменяются символами алфавита");
        length->excludes(mask);
        mask->excludes(length);
        app.add_option("--count", m_count, "Сколько паролей создать (по умолчанию 1)")
            ->check(CLI::Range(1, kMaxCount));
        m_lengthOption = length;
        m_maskOption = mask;
    }

    int Run(CommandIo& io) override {
        if (m_lengthOption->count() == 0 && m_maskOption->count() == 0) {
            io.err << "Укажите длину пароля (--length) или маску (--mask).\nСправка: kvb pwgen "
                      "--help\n";
            return kExitUsage;
        }
        PasswordGeneratorOptions options;
        if (m_setsOption->count() > 0 && !ChooseSets(options, io))
            return kExitUsage;
        if (m_otherOption->count() > 0) {
            auto other = ToBankText(m_other, "другие символы", io);
            if (!other)
                return kExitRefused;
            options.useOther = true;
            options.other = std::move(*other);
        }
        if (m_maskOption->count() > 0) {
            auto mask = ToBankText(m_mask, "маска", io);
            if (!mask)
                return kExitRefused;
            options.mode = PasswordMode::ByMask;
            options.mask = std::move(*mask);
        } else {
            options.length = m_length;
        }
        if (auto valid = ValidatePasswordOptions(options); !valid)
            return Refuse(io, valid.error().message);

        PasswordGenerator generator;
        if (auto shuffled = generator.Shuffle(options); !shuffled)
            return Refuse(io, shuffled.error().message);
        if (generator.Alphabet().empty())
            return Refuse(io, "Алфавит пароля пуст: выберите наборы символов (--sets) или "
                              "задайте другие символы (--other).");
        nlohmann::ordered_json passwords = nlohmann::ordered_json::array();
        for (int i = 0; i < m_count; ++i) {
            if (auto generated = generator.Generate(options); !generated)
                return Refuse(io, generated.error().message);
            passwords.push_back(Utf8(generator.Password()));
        }
        if (io.json) {
            PrintJson(io, {{"alphabet", Utf8(generator.Alphabet())}, {"passwords", passwords}});
        } else {
            for (const auto& password : passwords)
                io.out << password.get<std::string>() << '\n';
        }
        return kExitOk;
    }

private:
    bool ChooseSets(PasswordGeneratorOptions& options, CommandIo& io) const {
        options.useSet.fill(false);
        std::istringstream list(m_sets);
        std::string name;
        while (std::getline(list, name, ',')) {
            if (name.empty())
                continue;
            bool known = false;
            for (const SetName& set : kSetNames) {
                if (name == set.name) {
                    options.Use(set.set, true);
                    known = true;
                }
            }
            if (!known) {
                io.err << "Неизвестный набор символов: " << name
                       << ". Наборы: upper, lower, ru-upper, ru-lower, digits, special.\n";
                return false;
            }
        }
        return true;
    }

    std::string m_sets;
    std::string m_other;
    int m_length = 5;
    std::string m_mask;
    int m_count = 1;
    CLI::Option* m_setsOption = nullptr;
    CLI::Option* m_otherOption = nullptr;
    CLI::Option* m_lengthOption = nullptr;
    CLI::Option* m_maskOption = nullptr;
};

} // namespace

std::unique_ptr<Command> MakePwgenCommand() {
    return std::make_unique<PwgenCommand>();
}

} // namespace kelvo::cli
