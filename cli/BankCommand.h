// Helpers shared by the commands that work on a bank: opening and saving it through the
// document, converting texts between UTF-8 and Windows-1251, finding nodes and entries,
// printing results as text or as one JSON document.
#pragma once

#include "cli/Command.h"
#include "core/QuorvellineDoc.h"

#include <nlohmann/json.hpp>

#include <optional>
#include <string>

namespace kelvo::cli {

/// Opens the bank at `path` for reading or, for the editing commands, for changing (taking
/// its session lock until the command ends). Returns kExitOk, or the exit status after the
/// program's message was printed on standard error: kExitRefused when another program (the
/// window, another kvb) holds the bank for changing, kExitBank when it cannot be opened.
/// A protected bank is asked for its password through BankPasswordPrompt; elements that
/// fail authentication are named on standard error (message 10153) and the command goes on.
int OpenBank(CQuorvellineDoc& doc, const std::string& path, CommandIo& io, BankAccess access);
/// OpenBank with the password of a protected bank asked through `prompt`.
int OpenBankWith(CQuorvellineDoc& doc, const std::string& path, CommandIo& io, BankAccess access,
                 PasswordPrompt prompt);
/// The password of a protected bank: the first line of --password-file, else asked on the
/// terminal without echo (`what` names it in the question). Nothing, with a message printed,
/// when the file cannot be read or there is no terminal.
std::optional<crypto::SecretBytes> ReadPassword(CommandIo& io, const std::string& what);
/// The first line of a password file; nothing, with a message, when it cannot be read.
std::optional<crypto::SecretBytes> ReadPasswordFile(const std::string& path, CommandIo& io);
/// A new password: the first line of `file` when given, else asked twice on the terminal.
std::optional<crypto::SecretBytes> ReadNewPassword(CommandIo& io, const std::string& file);
/// How the document asks for the password of a protected bank under kvb: --password-file
/// (one attempt), else the terminal (three attempts), else not at all (the open then fails
/// with message 10150 and status 2).
PasswordPrompt BankPasswordPrompt(CommandIo& io);

/// Saves the open bank to its own file; on failure prints the message and returns false.
bool SaveBank(CQuorvellineDoc& doc, CommandIo& io);
/// Prints the text a user is shown for `error` on standard error and returns kExitRefused.
int Refuse(CommandIo& io, const Error& error);

/// The end of every editing command: saves the bank, then prints `done` (a line of text) or,
/// with --json, an empty JSON object. Returns the exit status.
int SaveAndReport(CQuorvellineDoc& doc, CommandIo& io, const std::string& done);

/// Prints a message on standard error and returns kExitRefused.
int Refuse(CommandIo& io, const std::string& message);

/// Converts a text given on the command line (UTF-8) to bank text. Text Windows-1251 cannot
/// hold is refused with a message naming the characters; `what` names the field ("заголовок").
/// Line breaks become CR LF, as the program's edit boxes give them.
std::optional<AnsiString> ToBankText(const std::string& utf8, const char* what, CommandIo& io);
/// The same for a title, which holds no line breaks: one is refused.
std::optional<AnsiString> ToBankTitle(const std::string& utf8, CommandIo& io);

/// Bank text as UTF-8.
inline std::string Utf8(AnsiView text) {
    return AnsiToUtf8(text);
}
/// A time as "YYYY-MM-DDTHH:MM:SS", or null when it is not valid.
nlohmann::ordered_json TimeJson(const OleDateTime& time);
/// A time as the program shows it ("dd.MM.yyyy H:mm:ss"), or "—" when it is not valid.
std::string TimeText(const OleDateTime& time);

/// Finds the node with `uid` in a tree; prints "... не найдена" and returns null otherwise.
TreeNode* FindNode(CQuorvellineDoc& doc, TreeKind kind, std::uint32_t uid, CommandIo& io);

/// Writes one JSON document on standard output.
void PrintJson(CommandIo& io, const nlohmann::ordered_json& document);
/// Reads a whole file; prints a message and returns nothing when it cannot.
std::optional<std::string> ReadWholeFile(const std::string& path, CommandIo& io);

} // namespace kelvo::cli

namespace kelvo::cli {

/// The fields of a node as kvb shows them: uid, level (1 for top level), title, keywords,
/// notes, created, saved, opened, expanded, selected, body_size (null for folders and records
/// without a body stream).
nlohmann::ordered_json NodeJson(const RecordTree& tree, const TreeNode& node,
                                std::optional<std::uint64_t> bodySize);
/// The fields of a password entry: uid, folder, title, icon, category, login, password,
/// link, notes.
nlohmann::ordered_json PasswordJson(const PwdItem& item);

} // namespace kelvo::cli

namespace kelvo::cli {

/// The options that set the text fields of a node: --title, --keywords, --notes.
struct NodeFieldOptions {
    std::string title, keywords, notes;
    CLI::Option* titleOption = nullptr;
    CLI::Option* keywordsOption = nullptr;
    CLI::Option* notesOption = nullptr;

    void Define(CLI::App& app, bool titleRequired);
    /// Converts the given fields and applies them to `node`; false (with a message) when a
    /// text is refused. Nothing is changed then.
    bool Apply(TreeNode& node, CommandIo& io) const;
};

/// Reads the body file of --body: an .rtf file is taken as it is; any other file is plain
/// text (UTF-8, or Windows-1251 when it is not UTF-8) made into an RTF body, a paragraph per
/// line. Prints a message and returns nothing when the file cannot be read.
std::optional<std::string> ReadBodyFile(const std::string& path, CommandIo& io);

} // namespace kelvo::cli

namespace kelvo::cli {

/// The options that set the fields of a password entry.
struct PasswordFieldOptions {
    std::string title, category, login, password, link, notes;
    std::int32_t icon = 0;
    CLI::Option *titleOption = nullptr, *categoryOption = nullptr, *loginOption = nullptr,
                *passwordOption = nullptr, *linkOption = nullptr, *notesOption = nullptr,
                *iconOption = nullptr;

    void Define(CLI::App& app, bool titleRequired);
    /// Converts the given fields and applies them to `item`; false (with a message) when a
    /// text is refused. Nothing is changed then.
    bool Apply(PwdItem& item, CommandIo& io) const;
};

} // namespace kelvo::cli
