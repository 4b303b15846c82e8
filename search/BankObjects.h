// What the index query and the bank search read of a bank (the two trees, the password
// entries, the record bodies as plain text) and the texts they compose for each object.
#pragma once

#include "core/BankTrees.h"
#include "platform/text/Ansi.h"

#include <cstdint>

namespace kelvo {

class PwdList;

/// A record body as the search reads it: its plain text and the stored size in bytes.
struct BodyText {
    AnsiString text;
    std::uint64_t size = 0;
};

/// Reads record bodies. A record without a body reads as an empty text of size 0.
class BodySource {
public:
    virtual ~BodySource() = default;
    virtual BodyText ReadBody(std::uint32_t uid) = 0;
    /// Lets go of the file the bodies come from; the next read takes it again. Called before
    /// events are handled during a search, so that the program can write to the bank.
    virtual void Release() {}
};

/// The parts of the open bank a query or a search reads. The trees and the list may change
/// between calls (events are handled during a search): readers look objects up by UID each
/// time.
struct SearchBank {
    BankTrees trees;
    const PwdList& entries;
    BodySource& bodies;
};

/// Characters of an object's text shown in a row's detail.
inline constexpr std::size_t kDetailLength = 300;

/// "Запись: <b>%s</b>", "Папка паролей: <b>%s<b>", "Пароль: <b>%s<b>".
AnsiString RecordPlace(AnsiView title);
AnsiString FolderPlace(AnsiView title);
AnsiString EntryPlace(AnsiView title);
/// "<b>Текст записи:</b> %s... (отрезано)", "<b>Содержимое папки:</b> ...",
/// "<b>Данные пароля:</b> ..." with the first kDetailLength characters of the text.
AnsiString RecordDetail(AnsiView text);
AnsiString FolderDetail(AnsiView text);
AnsiString EntryDetail(AnsiView text);
/// "<b>Найденные слова</b>:\n%s" with the excerpts of a data hit.
AnsiString FoundWordsDetail(AnsiView excerpts);
/// "(Не поддерживается для пароля)": the keywords and notes of a password entry.
const AnsiString& NotSupportedForPassword();

/// The content of a password folder: the text form of each of its entries, in list order,
/// each followed by LF.
AnsiString FolderContent(const PwdList& entries, std::uint32_t folderUid);
/// Kilobytes shown for a byte count: the low 32 bits divided by 1024, rounded down.
std::uint32_t SizeInKb(std::uint64_t bytes);

} // namespace kelvo
