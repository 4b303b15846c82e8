// The place, detail and content texts of records, password folders and password entries.
#include "search/BankObjects.h"

#include "core/PwdList.h"

namespace kelvo {

namespace {
AnsiString Wrap(const char* before, AnsiView text, const char* after) {
    return Utf8ToAnsiLossy(before) + AnsiString(text) + Utf8ToAnsiLossy(after);
}
AnsiView Head(AnsiView text) {
    return text.substr(0, kDetailLength);
}
} // namespace

AnsiString RecordPlace(AnsiView title) {
    return Wrap("Запись: <b>", title, "</b>");
}
AnsiString FolderPlace(AnsiView title) {
    return Wrap("Папка паролей: <b>", title, "<b>");
}
AnsiString EntryPlace(AnsiView title) {
    return Wrap("Пароль: <b>", title, "<b>");
}

AnsiString RecordDetail(AnsiView text) {
    return Wrap("<b>Текст записи:</b> ", Head(text), "... (отрезано)");
}
AnsiString FolderDetail(AnsiView text) {
    return Wrap("<b>Содержимое папки:</b> ", Head(text), "... (отрезано)");
}
AnsiString EntryDetail(AnsiView text) {
    return Wrap("<b>Данные пароля:</b> ", Head(text), "... (отрезано)");
}
AnsiString FoundWordsDetail(AnsiView excerpts) {
    return Wrap("<b>Найденные слова</b>:\n", excerpts, "");
}

const AnsiString& NotSupportedForPassword() {
    static const AnsiString text = Utf8ToAnsiLossy("(Не поддерживается для пароля)");
    return text;
}

AnsiString FolderContent(const PwdList& entries, std::uint32_t folderUid) {
    AnsiString content;
    for (const PwdItem* entry : entries.InFolder(folderUid))
        content.append(PwdItemText(*entry)).push_back('\n');
    return content;
}

std::uint32_t SizeInKb(std::uint64_t bytes) {
    return static_cast<std::uint32_t>(bytes & 0xFFFFFFFFu) / 1024;
}

} // namespace kelvo
