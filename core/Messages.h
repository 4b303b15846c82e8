// The program's own texts that the bank core hands out (messages and fixed names), in one
// table. Texts are kept in UTF-8 here; bank data takes them through AnsiString(id).
#pragma once

#include "platform/text/Ansi.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kelvo {

/// String ids of the table.
namespace msg {
inline constexpr int ClassRegisterFailed = 102;
inline constexpr int RootRecordTitle = 1007;      // "Корневая запись"
inline constexpr int RootFolderTitle = 1008;      // "Хранилище паролей"
inline constexpr int OpenFailedWithStatus = 2002; // path, status as hex, status as decimal
inline constexpr int NotABank = 2003;             // path
inline constexpr int CannotOpenBank = 61697;      // path
inline constexpr int SaveChangesQuestion = 61699; // "%1": the bank's title
inline constexpr int Untitled = 61443;            // title of a bank never saved
// Ids from 10101 on are texts of this program that the original did not have.
inline constexpr int SaveFailed = 10101;     // path, status as hex, status as decimal
inline constexpr int PropertyExists = 10102; // the property's name
inline constexpr int BadNumber = 10103;
inline constexpr int BadDate = 10104;
inline constexpr int PropertyTooLong = 10105;
inline constexpr int Yes = 10106;
inline constexpr int No = 10107;
inline constexpr int EmptyValue = 10108;
} // namespace msg

/// A message for the user: its string id and its formatted text (UTF-8). The shell shows it
/// in a message box; kvb prints it on standard error.
struct Message {
    int id = 0;
    std::string text;
    bool empty() const { return id == 0; }
};

/// The text of string `id` (UTF-8), with its printf-style placeholders unfilled; empty for an
/// unknown id.
std::string_view StringText(int id);
/// The same text in Windows-1251, for texts that are stored in a bank.
AnsiString AnsiStringText(int id);

/// Message 61697 or 2003: the text with the path.
Message PathMessage(int id, std::string_view path);
/// Message 2002 (or another with a status): the path, then the status as "0x%08x" and "%d".
Message StatusMessage(int id, std::string_view path, std::uint32_t status);

} // namespace kelvo
