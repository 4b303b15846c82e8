// Helpers shared by the bank commands.
#include "cli/BankCommand.h"

#include "platform/rtf/RtfWriter.h"

#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <iostream>
#include <sstream>
#include <termios.h>
#include <unistd.h>

namespace kelvo::cli {

std::optional<crypto::SecretBytes> ReadPasswordFile(const std::string& path, CommandIo& io) {
    std::ifstream file(path, std::ios::binary);
    std::string line;
    if (!file || !std::getline(file, line)) {
        io.err << "Не удается прочитать пароль из файла " << path << '\n';
        return std::nullopt;
    }
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    auto password = crypto::SecretBytes::From(line);
    crypto::Wipe(line);
    return password;
}

std::optional<crypto::SecretBytes> ReadPassword(CommandIo& io, const std::string& what) {
    if (!io.passwordFile.empty())
        return ReadPasswordFile(io.passwordFile, io);
    std::optional<std::string> typed;
    if (io.askTerminal)
        typed = io.askTerminal(what + ": ");
    if (!typed) {
        io.err << "Нужен пароль, а терминала нет: укажите --password-file ФАЙЛ.\n";
        return std::nullopt;
    }
    auto password = crypto::SecretBytes::From(*typed);
    crypto::Wipe(*typed);
    return password;
}

std::optional<crypto::SecretBytes> ReadNewPassword(CommandIo& io, const std::string& file) {
    if (!file.empty())
        return ReadPasswordFile(file, io);
    std::optional<std::string> first, second;
    if (io.askTerminal)
        first = io.askTerminal("Новый пароль банка данных: ");
    if (first)
        second = io.askTerminal("Новый пароль еще раз: ");
    if (!first || !second) {
        io.err << "Нужен новый пароль, а терминала нет: укажите --new-password-file ФАЙЛ.\n";
        return std::nullopt;
    }
    const bool same = *first == *second;
    auto password = crypto::SecretBytes::From(*first);
    crypto::Wipe(*first);
    crypto::Wipe(*second);
    if (!same) {
        io.err << "Пароли не совпадают.\n";
        return std::nullopt;
    }
    return password;
}

PasswordPrompt BankPasswordPrompt(CommandIo& io) {
    if (io.passwordFile.empty() && !io.askTerminal)
        return {};
    return [&io](const std::filesystem::path& bank,
                 int attempt) -> std::optional<crypto::SecretBytes> {
        if (!io.passwordFile.empty())
            return attempt == 0 ? ReadPasswordFile(io.passwordFile, io) : std::nullopt;
        if (attempt >= 3)
            return std::nullopt;
        if (attempt > 0)
            io.err << "Неверный пароль.\n";
        std::optional<std::string> typed =
            io.askTerminal("Пароль банка данных " + bank.string() + ": ");
        if (!typed)
            return std::nullopt;
        auto password = crypto::SecretBytes::From(*typed);
        crypto::Wipe(*typed);
        return password;
    };
}

int OpenBank(CQuorvellineDoc& doc, const std::string& path, CommandIo& io, BankAccess access) {
    return OpenBankWith(doc, path, io, access, BankPasswordPrompt(io));
}

int OpenBankWith(CQuorvellineDoc& doc, const std::string& path, CommandIo& io, BankAccess access,
                 PasswordPrompt prompt) {
    doc.SetPasswordPrompt(std::move(prompt));
    auto opened = doc.OnOpenDocument(path, access);
    if (opened) {
        if (auto damaged = doc.TakeDamagedElements(); !damaged.empty())
            io.err << MessageText(msg::SealedStreamsDamaged, {DamagedElementsText(damaged)})
                   << '\n';
        return kExitOk;
    }
    io.err << ErrorText(opened.error()) << '\n';
    return opened.error().messageId == msg::BankBusy ? kExitRefused : kExitBank;
}

std::optional<std::string> AskTerminalWithoutEcho(const std::string& prompt) {
    if (!::isatty(STDIN_FILENO))
        return std::nullopt;
    const int tty = ::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (tty < 0)
        return std::nullopt;
    termios saved{};
    const bool echoOff = ::tcgetattr(tty, &saved) == 0;
    if (echoOff) {
        termios quiet = saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        quiet.c_lflag |= ECHONL;
        (void)::tcsetattr(tty, TCSAFLUSH, &quiet);
    }
    (void)!::write(tty, prompt.data(), prompt.size());
    std::string line;
    bool got = false;
    for (char c; ::read(tty, &c, 1) == 1;) {
        if (c == '\n') {
            got = true;
            break;
        }
        line.push_back(c);
    }
    if (echoOff)
        (void)::tcsetattr(tty, TCSAFLUSH, &saved);
    ::close(tty);
    if (!got && line.empty())
        return std::nullopt;
    return line;
}

bool SaveBank(CQuorvellineDoc& doc, CommandIo& io) {
    auto saved = doc.Save();
    if (saved)
        return true;
    io.err << ErrorText(saved.error()) << '\n';
    return false;
}

int Refuse(CommandIo& io, const Error& error) {
    return Refuse(io, ErrorText(error));
}

int SaveAndReport(CQuorvellineDoc& doc, CommandIo& io, const std::string& done) {
    if (!SaveBank(doc, io))
        return kExitRefused;
    if (io.json)
        PrintJson(io, nlohmann::ordered_json::object());
    else
        io.out << done << '\n';
    return kExitOk;
}

int Refuse(CommandIo& io, const std::string& message) {
    io.err << message << '\n';
    return kExitRefused;
}

std::optional<AnsiString> ToBankText(const std::string& utf8, const char* what, CommandIo& io) {
    AnsiString out;
    std::string bad;
    if (!Utf8ToAnsi(utf8, out, &bad)) {
        io.err << "Текст поля «" << what
               << "» содержит символы, которых нет в кодировке Windows-1251: " << bad << '\n';
        return std::nullopt;
    }
    // Line breaks as the program's multi-line edit boxes give them: CR LF.
    AnsiString normal;
    normal.reserve(out.size());
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (out[i] == '\r' && i + 1 < out.size() && out[i + 1] == '\n')
            continue; // the LF that follows adds the pair
        if (out[i] == '\n' || out[i] == '\r')
            normal += "\r\n";
        else
            normal.push_back(out[i]);
    }
    return normal;
}

std::optional<AnsiString> ToBankTitle(const std::string& utf8, CommandIo& io) {
    if (utf8.find_first_of("\r\n") != std::string::npos) {
        io.err << "Заголовок не может содержать перевод строки.\n";
        return std::nullopt;
    }
    return ToBankText(utf8, "заголовок", io);
}

nlohmann::ordered_json TimeJson(const OleDateTime& time) {
    auto parts = time.Parts();
    if (!parts)
        return nullptr;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d", parts->year, parts->month,
                  parts->day, parts->hour, parts->minute, parts->second);
    return buf;
}

std::string TimeText(const OleDateTime& time) {
    return time.valid ? Utf8(FormatItemDateTime(time)) : "—";
}

TreeNode* FindNode(CQuorvellineDoc& doc, TreeKind kind, std::uint32_t uid, CommandIo& io) {
    TreeNode* node = doc.tree(kind).FindByUid(uid);
    if (!node)
        io.err << (kind == TreeKind::Records ? "Запись" : "Папка паролей") << " с UID " << uid
               << " не найдена.\n";
    return node;
}

void PrintJson(CommandIo& io, const nlohmann::ordered_json& document) {
    io.out << document.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace)
           << '\n';
}

std::optional<std::string> ReadWholeFile(const std::string& path, CommandIo& io) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        io.err << "Не удается прочитать файл: " << path << '\n';
        return std::nullopt;
    }
    std::ostringstream bytes;
    bytes << file.rdbuf();
    if (file.bad()) {
        io.err << "Не удается прочитать файл: " << path << '\n';
        return std::nullopt;
    }
    return bytes.str();
}

} // namespace kelvo::cli

namespace kelvo::cli {

nlohmann::ordered_json NodeJson(const RecordTree& tree, const TreeNode& node,
                                std::optional<std::uint64_t> bodySize) {
    nlohmann::ordered_json j;
    j["uid"] = node.item.uid;
    j["level"] = RecordTree::Depth(&node) + 1;
    j["title"] = Utf8(node.title);
    j["keywords"] = Utf8(node.item.keywords);
    j["notes"] = Utf8(node.item.notes);
    j["created"] = TimeJson(node.item.created);
    j["saved"] = TimeJson(node.item.saved);
    j["opened"] = TimeJson(node.item.opened);
    j["expanded"] = node.expanded;
    j["selected"] = tree.selected() == &node;
    j["body_size"] = bodySize ? nlohmann::ordered_json(*bodySize) : nlohmann::ordered_json(nullptr);
    return j;
}

nlohmann::ordered_json PasswordJson(const PwdItem& item) {
    return {{"uid", item.uid},
            {"folder", item.folderUid},
            {"title", Utf8(item.title)},
            {"icon", item.icon},
            {"category", Utf8(item.category)},
            {"login", Utf8(item.login)},
            {"password", Utf8(item.password)},
            {"link", Utf8(item.link)},
            {"notes", Utf8(item.notes)}};
}

} // namespace kelvo::cli

namespace kelvo::cli {

void NodeFieldOptions::Define(CLI::App& app, bool titleRequired) {
    titleOption = app.add_option("--title", title, "Заголовок");
    if (titleRequired)
        titleOption->required();
    keywordsOption = app.add_option("--keywords", keywords, "Ключевые слова через запятую");
    notesOption = app.add_option("--notes", notes, "Заметки (можно в несколько строк)");
}

bool NodeFieldOptions::Apply(TreeNode& node, CommandIo& io) const {
    std::optional<AnsiString> t, k, n;
    if (titleOption->count() && !(t = ToBankTitle(title, io)))
        return false;
    if (keywordsOption->count() && !(k = ToBankText(keywords, "ключевые слова", io)))
        return false;
    if (notesOption->count() && !(n = ToBankText(notes, "заметки", io)))
        return false;
    if (t)
        node.title = *t;
    if (k)
        node.item.keywords = *k;
    if (n)
        node.item.notes = *n;
    return true;
}

namespace {

bool ValidUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        const std::size_t n = c < 0x80         ? 1
                              : (c >> 5) == 6  ? 2
                              : (c >> 4) == 14 ? 3
                              : (c >> 3) == 30 ? 4
                                               : 0;
        if (n == 0 || i + n > s.size())
            return false;
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
                return false;
        i += n;
    }
    return true;
}

// A body from plain text, as the record editor stores typed text: one paragraph a line, in
// the editor's default character format (Tahoma, 10 points, Russian).
std::string PlainTextBody(std::string_view utf8) {
    RtfCharFormat format;
    format.font = RtfFont{"Tahoma", 204, "swiss", 2};
    format.fontSize = 20;
    format.language = 1049;
    RtfDocument doc;
    std::string line;
    auto endParagraph = [&] {
        RtfParagraph p;
        if (!line.empty())
            p.content.push_back(RtfRun{format, line});
        doc.paragraphs.push_back(std::move(p));
        line.clear();
    };
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        if (utf8[i] == '\r' || utf8[i] == '\n') {
            if (utf8[i] == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n')
                ++i;
            endParagraph();
        } else {
            line.push_back(utf8[i]);
        }
    }
    // The line break that ends a text file does not open another paragraph.
    if (!line.empty() || doc.paragraphs.empty())
        endParagraph();
    return WriteRtf(doc);
}

} // namespace

std::optional<std::string> ReadBodyFile(const std::string& path, CommandIo& io) {
    std::string ext = std::filesystem::path(path).extension().string();
    for (char& c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    auto bytes = ReadWholeFile(path, io);
    if (!bytes || ext == ".rtf")
        return bytes;
    // Any other file is plain text: UTF-8, or else Windows-1251.
    return PlainTextBody(ValidUtf8(*bytes) ? *bytes : AnsiToUtf8(*bytes));
}

} // namespace kelvo::cli

namespace kelvo::cli {

void PasswordFieldOptions::Define(CLI::App& app, bool titleRequired) {
    titleOption = app.add_option("--title", title, "Название");
    if (titleRequired)
        titleOption->required();
    categoryOption = app.add_option("--category", category, "Категория");
    iconOption = app.add_option("--icon", icon, "Номер значка");
    loginOption = app.add_option("--login", login, "Логин");
    passwordOption = app.add_option("--password", password, "Пароль");
    linkOption = app.add_option("--link", link, "Ссылка");
    notesOption = app.add_option("--notes", notes, "Заметки (можно в несколько строк)");
}

bool PasswordFieldOptions::Apply(PwdItem& item, CommandIo& io) const {
    PwdItem changed = item;
    struct Field {
        CLI::Option* option;
        const std::string* value;
        AnsiString* target;
        const char* what;
    };
    const Field fields[] = {
        {titleOption, &title, &changed.title, "название"},
        {categoryOption, &category, &changed.category, "категория"},
        {loginOption, &login, &changed.login, "логин"},
        {passwordOption, &password, &changed.password, "пароль"},
        {linkOption, &link, &changed.link, "ссылка"},
        {notesOption, &notes, &changed.notes, "заметки"},
    };
    for (const Field& f : fields) {
        if (!f.option->count())
            continue;
        auto text = ToBankText(*f.value, f.what, io);
        if (!text)
            return false;
        *f.target = *text;
    }
    if (iconOption->count())
        changed.icon = icon;
    item = changed;
    return true;
}

} // namespace kelvo::cli
