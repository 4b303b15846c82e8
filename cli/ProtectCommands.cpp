// kvb protect BANK, kvb unprotect BANK, kvb passwd BANK: bank protection by a master password,
// through the document's operations (each rewrites the bank beside itself and replaces it).
#include "cli/BankCommand.h"
#include "cli/Commands.h"

namespace kelvo::cli {

namespace {

// The key derivation options: the tuned parameters unless asked otherwise.
struct KdfOptions {
    std::uint64_t ops = 0;
    std::uint64_t memoryKib = 0;

    void Define(CLI::App& app) {
        app.add_option("--kdf-ops", ops,
                       "Число проходов Argon2id (по умолчанию подобрано на полсекунды)");
        app.add_option("--kdf-memory", memoryKib, "Память Argon2id в КиБ (по умолчанию 65536)");
    }
    std::optional<crypto::KdfParams> Params(CommandIo& io) const {
        crypto::KdfParams params = crypto::KdfParams::Tuned();
        if (ops)
            params.opsLimit = ops;
        if (memoryKib)
            params.memLimit = memoryKib * 1024;
        if (!params.Acceptable()) {
            io.err << "Недопустимые параметры Argon2id: проходов от 1 до 64, памяти от 8 КиБ "
                      "до 4 ГиБ.\n";
            return std::nullopt;
        }
        return params;
    }
};

// A prompt that gives one password, once.
PasswordPrompt Once(const crypto::SecretBytes& password) {
    return [&password](const std::filesystem::path&,
                       int attempt) -> std::optional<crypto::SecretBytes> {
        if (attempt > 0)
            return std::nullopt;
        return crypto::SecretBytes::From(password.view());
    };
}

// Opens a protected bank for change with its password, asked once; `password` keeps it for
// the operation that follows. A bank that is not protected is refused, after an open that
// names whatever else is wrong with the file. Returns the exit status, kExitOk when open.
int OpenProtected(CommandIo& io, CQuorvellineDoc& doc, const std::string& bank,
                  std::optional<crypto::SecretBytes>& password) {
    if (!IsProtectedBankFile(bank)) {
        if (const int status = OpenBank(doc, bank, io, BankAccess::Read))
            return status;
        return Refuse(io, MessageText(msg::NotProtected));
    }
    password = ReadPassword(io, "Пароль банка данных " + bank);
    if (!password)
        return kExitBank;
    return OpenBankWith(doc, bank, io, BankAccess::Change, Once(*password));
}

int Report(CommandIo& io, CQuorvellineDoc& doc, const std::string& done) {
    if (io.json)
        PrintJson(io, {{"path", doc.path().string()}, {"protected", doc.isProtected()}});
    else
        io.out << done << '\n';
    return kExitOk;
}

class ProtectCommand final : public Command {
public:
    void Define(CLI::App& app) override {
        app.add_option("BANK", m_bank, "Путь банка данных")->required();
        app.add_option("--new-password-file", m_newFile,
                       "Файл, первая строка которого — пароль защиты (без него: --password-file "
                       "или вопрос на терминале)")
            ->type_name("ФАЙЛ");
        m_kdf.Define(app);
    }

    int Run(CommandIo& io) override {
        auto params = m_kdf.Params(io);
        if (!params)
            return kExitUsage;
        CQuorvellineDoc doc;
        if (const int status = OpenBank(doc, m_bank, io, BankAccess::Change))
            return status;
        if (doc.isProtected())
            return Refuse(io, MessageText(msg::AlreadyProtected));
        auto password = ReadNewPassword(io, m_newFile.empty() ? io.passwordFile : m_newFile);
        if (!password)
            return kExitRefused;
        if (auto done = doc.Protect(password->view(), *params); !done)
            return Refuse(io, done.error());
        return Report(io, doc, "Банк данных защищен паролем: " + doc.path().string());
    }

private:
    std::string m_bank, m_newFile;
    KdfOptions m_kdf;
};

class UnprotectCommand final : public Command {
public:
    void Define(CLI::App& app) override {
        app.add_option("BANK", m_bank, "Путь защищенного банка данных")->required();
    }

    int Run(CommandIo& io) override {
        CQuorvellineDoc doc;
        std::optional<crypto::SecretBytes> password;
        if (const int status = OpenProtected(io, doc, m_bank, password))
            return status;
        if (auto done = doc.Unprotect(password->view()); !done)
            return Refuse(io, done.error());
        return Report(io, doc, "Защита банка данных снята: " + doc.path().string());
    }

private:
    std::string m_bank;
};

class PasswdCommand final : public Command {
public:
    void Define(CLI::App& app) override {
        app.add_option("BANK", m_bank, "Путь защищенного банка данных")->required();
        app.add_option("--new-password-file", m_newFile,
                       "Файл, первая строка которого — новый пароль (без него: вопрос на "
                       "терминале)")
            ->type_name("ФАЙЛ");
        m_kdf.Define(app);
    }

    int Run(CommandIo& io) override {
        auto params = m_kdf.Params(io);
        if (!params)
            return kExitUsage;
        CQuorvellineDoc doc;
        std::optional<crypto::SecretBytes> password;
        if (const int status = OpenProtected(io, doc, m_bank, password))
            return status;
        auto fresh = ReadNewPassword(io, m_newFile);
        if (!fresh)
            return kExitRefused;
        if (auto done = doc.ChangePassword(password->view(), fresh->view(), *params); !done)
            return Refuse(io, done.error());
        return Report(io, doc, "Пароль банка данных изменен: " + doc.path().string());
    }

private:
    std::string m_bank, m_newFile;
    KdfOptions m_kdf;
};

} // namespace

std::unique_ptr<Command> MakeProtectCommand() {
    return std::make_unique<ProtectCommand>();
}
std::unique_ptr<Command> MakeUnprotectCommand() {
    return std::make_unique<UnprotectCommand>();
}
std::unique_ptr<Command> MakePasswdCommand() {
    return std::make_unique<PasswdCommand>();
}

} // namespace kelvo::cli
