// The program's own texts that GUI-free code hands out, in one table: the messages of errors
// and questions, the status and progress lines of long operations, and fixed names. Texts
// are UTF-8 here; bank data takes them through AnsiStringText. An Error made above the
// platform layer carries the id of its text (Error::messageId); the shell and kvb show the
// texts of this table only (ErrorText).
#pragma once

#include "platform/base/Result.h"
#include "platform/text/Ansi.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace kelvo {

/// String ids of the table. Where the original program had a string resource, the id is
/// its number; ids from 10101 on are texts of this program the original did not have;
/// ids from 20001 on are texts the original wrote into its code rather than its table.
namespace msg {
inline constexpr int ClassRegisterFailed = 102;
inline constexpr int UnknownTime = 502;      // "(Неизвестно)": a time that is not valid
inline constexpr int CleanupRecord = 517;    // the record's title
inline constexpr int CleanupFolder = 518;    // the folder's title
inline constexpr int CleanupPassword = 519;  // the entry's title
inline constexpr int RootRecordTitle = 1007; // "Корневая запись"
inline constexpr int RootFolderTitle = 1008; // "Хранилище паролей"
inline constexpr int NewFolderTitle = 1011;  // "Новая папка"
inline constexpr int NewRecordTitle = 1012;  // "Новая запись"
inline constexpr int OpenFailedWithStatus = 2002; // path, status as hex, status as decimal
inline constexpr int NotABank = 2003;             // path
inline constexpr int CleanupNothingChosen = 2005;
inline constexpr int CleanupQuestion = 2006;
inline constexpr int CleanupDone = 2007;
inline constexpr int CannotOpenBank = 61697;      // path
inline constexpr int SaveChangesQuestion = 61699; // "%1": the bank's title
inline constexpr int Untitled = 61443;            // title of a bank never saved
inline constexpr int PictureConversionFailed = 61446; // the failing step's code
inline constexpr int PictureDrawFailed = 61447;
inline constexpr int PictureReleaseFailed = 61448;
inline constexpr int CommandFailed = 61705;
// Texts of this program that the original did not have.
inline constexpr int SaveFailed = 10101;     // path, status as hex, status as decimal
inline constexpr int PropertyExists = 10102; // the property's name
inline constexpr int BadNumber = 10103;
inline constexpr int BadDate = 10104;
inline constexpr int PropertyTooLong = 10105;
inline constexpr int Yes = 10106;
inline constexpr int No = 10107;
inline constexpr int EmptyValue = 10108;
inline constexpr int BankBusy = 10109;        // path
inline constexpr int OperationFailed = 10110; // the reason
inline constexpr int BodySaveFailed = 10111;  // the reason
inline constexpr int BodyLoadFailed = 10112;  // the reason
inline constexpr int NoWorkingFile = 10113;   // a never-saved bank's working file failed
inline constexpr int BankHasNoFile = 10114;   // Save of a bank never saved
inline constexpr int StatusCode = 10115;      // status as hex, status as decimal
inline constexpr int CleanupNoWorkingStorage = 10116;
inline constexpr int ImportNoWorkingStorage = 10117;
inline constexpr int ImportBodiesFailed = 10118; // the number of records
inline constexpr int ImportNothingChosen = 10119;
inline constexpr int IndexSaveFailed = 10120; // the reason
inline constexpr int IndexNotLoaded = 10121;  // the reason
inline constexpr int RandomFailed = 10122;
inline constexpr int RandomNotRandom = 10123;
inline constexpr int PasswordLengthRange = 10124;
inline constexpr int AlphabetTooLong = 10125;
inline constexpr int OtherCharsTooLong = 10126;
inline constexpr int IndexBuildCancelled = 10127;
inline constexpr int IndexNodeMissing = 10128;   // the object's key
inline constexpr int ImportWriteFailed = 10129;  // the reason
inline constexpr int CleanupWriteFailed = 10130; // the reason
inline constexpr int DeleteBodiesFailed = 10131; // the reason
// Protection of a bank by a password.
inline constexpr int PasswordNeeded = 10150; // path
inline constexpr int WrongPassword = 10151;
inline constexpr int ProtectionDamaged = 10152;    // path
inline constexpr int SealedStreamsDamaged = 10153; // the elements
inline constexpr int ProtectedBankTitle = 10155;
inline constexpr int ProtectFailed = 10156;        // path, the reason
inline constexpr int UnprotectFailed = 10157;      // path, the reason
inline constexpr int PasswordChangeFailed = 10158; // path, the reason
inline constexpr int AlreadyProtected = 10159;
inline constexpr int NotProtected = 10160;
inline constexpr int EmptyPassword = 10161;
inline constexpr int OpenCancelled = 10162;
inline constexpr int GradeEmpty = 10164; // password strength grades
inline constexpr int GradeVeryWeak = 10165;
inline constexpr int GradeWeak = 10166;
inline constexpr int GradeFair = 10167;
inline constexpr int GradeStrong = 10168;
// Bank maintenance.
inline constexpr int ImportOpenFailed = 10170;     // the source's path, the reason
inline constexpr int RevisionNeverSaved = 10171;
inline constexpr int RevisionFailed = 10172;       // the bank's path, the reason
inline constexpr int RevisionReopenFailed = 10173; // the bank's path, the reason
// Printing.
inline constexpr int PrintFailed = 10180;
inline constexpr int PdfWriteFailed = 10181;      // path
inline constexpr int PdfWouldReplaceBank = 10182; // path
// Texts the original wrote into its code.
inline constexpr int CleanupWaiting = 20001;
inline constexpr int ImportLoading = 20003;
inline constexpr int ImportCopying = 20004; // the record's title
inline constexpr int ImportNotLoaded = 20005;
inline constexpr int ImportDone = 20006;
inline constexpr int IndexBuildingRecord = 20007; // the node's title
inline constexpr int IndexWord = 20008;           // the word
inline constexpr int IndexSaving = 20009;
inline constexpr int IndexSavingWord = 20010; // the word
inline constexpr int IndexLoading = 20011;
inline constexpr int IndexLoadingWord = 20012; // the word
inline constexpr int SearchRunning = 20013;
inline constexpr int SearchDone = 20014;
inline constexpr int SearchInObject = 20015;  // the object's place without bold tags
inline constexpr int SearchSizeRange = 20016; // smallest and largest size value
inline constexpr int SearchTextEmpty = 20017;
inline constexpr int NoAlphabet = 20018;
inline constexpr int NoPassword = 20019;
inline constexpr int KeywordListFound = 20020; // the number of words
inline constexpr int QueryAllWords = 20021;    // the number of words in the list
inline constexpr int QueryNoMatch = 20022;     // the ticked words
inline constexpr int QueryResults = 20023;     // the number of objects, the ticked words
// How the search window names the node its search starts at.
inline constexpr int SearchBankChoice = 20024;    // the bank file's path
inline constexpr int SearchRecordsChoice = 20025; // the record's title
inline constexpr int SearchFoldersChoice = 20026; // the folder's title
inline constexpr int SizeUnavailable = 20027; // "(Недоступно)": a size that cannot be read
inline constexpr int NoIndexForPicker = 20028; // the keyword picker on a bank without index
inline constexpr int NoIndexCaption = 20029;
inline constexpr int PickerSummary = 20030; // ticked rows, all words, the composed keywords
} // namespace msg

/// The text of string `id` (UTF-8), with its placeholders unfilled; empty for an unknown id.
std::string_view StringText(int id);
/// The same text in Windows-1251, for texts that are stored in a bank.
AnsiString AnsiStringText(int id);

/// The text of `id` with its placeholders ("%s", "%d", "%08x") filled in order by `args`,
/// taken literally (a '%' in an argument is never read as a placeholder).
std::string MessageText(int id, std::initializer_list<std::string_view> args = {});
/// The same for a text that goes into bank data: the table's text in Windows-1251, filled
/// with Windows-1251 `args`.
AnsiString AnsiMessageText(int id, std::initializer_list<AnsiView> args = {});

/// An Error that carries message `id`, filled with `args`.
Error MessageError(HResult code, int id, std::initializer_list<std::string_view> args = {});
/// An Error with message `id` (2002, 10101, ...) naming `path` and the status `code` as
/// "0x%08x" and "%d".
Error StatusError(int id, std::string_view path, HResult code);
/// An Error with message `id` whose one placeholder is filled with the reason of `cause`;
/// `cause` itself when it already carries a text of the table.
Error ErrorWithReason(int id, const Error& cause);

/// What went wrong, in Russian, for a status of the storage or of the system: "файл занят
/// другой программой", "нет места на диске", ... with the system's own reason of `error`
/// added when it has one; the status itself for a code without a description.
std::string ReasonText(const Error& error);
/// The text a user is shown for an error: its own when it carries a message id, otherwise
/// message 10110 with its reason. Always UTF-8, always from this table.
std::string ErrorText(const Error& error);

} // namespace kelvo
