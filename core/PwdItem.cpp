// The PwdItem block and the text form of an entry.
#include "core/PwdItem.h"

#include <string>

namespace kelvo {

bool WritePwdItemBlock(LineWriter& out, const PwdItem& item) {
    return out.WriteLine(BlockBegin(kPwdItemBlock)) && out.WriteLine(HexText(item.uid)) &&
           out.WriteLine(HexText(item.folderUid)) && out.WriteLine(EscapeText(item.title)) &&
           out.WriteLine(HexText(static_cast<std::uint32_t>(item.icon))) &&
           out.WriteLine(EscapeText(item.category)) && out.WriteLine(EscapeText(item.login)) &&
           out.WriteLine(EscapeText(item.password)) && out.WriteLine(EscapeText(item.link)) &&
           out.WriteLine(EscapeText(item.notes)) && out.WriteLine(BlockEnd(kPwdItemBlock));
}

void ReadPwdItemBlock(LineReader& in, PwdItem& item) {
    in.ReadLine(); // begin obj(PwdItem)
    item.uid = static_cast<std::uint32_t>(HexValue(in.ReadLine()));
    item.folderUid = static_cast<std::uint32_t>(HexValue(in.ReadLine()));
    item.title = UnescapeText(in.ReadLine());
    item.icon = HexValue(in.ReadLine());
    item.category = UnescapeText(in.ReadLine());
    item.login = UnescapeText(in.ReadLine());
    item.password = UnescapeText(in.ReadLine());
    item.link = UnescapeText(in.ReadLine());
    item.notes = UnescapeText(in.ReadLine());
    in.ReadLine(); // end obj(PwdItem)
}

AnsiString PwdItemText(const PwdItem& item) {
    // The labels are constant Russian texts; converted once to Windows-1251.
    static const AnsiString head = Utf8ToAnsiLossy("[Пароль]\nНазвание: ");
    static const AnsiString icon = Utf8ToAnsiLossy(", Номер значка: ");
    static const AnsiString category = Utf8ToAnsiLossy(", Категория: ");
    static const AnsiString login = Utf8ToAnsiLossy(", Логин: ");
    static const AnsiString password = Utf8ToAnsiLossy(", Пароль: ");
    static const AnsiString link = Utf8ToAnsiLossy(", Ссылка: ");
    static const AnsiString notes = Utf8ToAnsiLossy(", Заметки: ");
    return head + item.title + icon + std::to_string(item.icon) + category + item.category + login +
           item.login + password + item.password + link + item.link + notes + item.notes;
}

} // namespace kelvo
