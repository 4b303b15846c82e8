// One password entry of the password store, its block in PwdData/ObPool, and the one-line
// text form the index and search views show.
#pragma once

#include "core/TreeItem.h"
#include "platform/text/Ansi.h"
#include "platform/text/ItemStream.h"

#include <cstdint>

namespace kelvo {

class PwdItem {
public:
    PwdItem() = default;
    virtual ~PwdItem() = default;
    PwdItem(const PwdItem&) = default;
    PwdItem& operator=(const PwdItem&) = default;

    std::uint32_t uid = kNoUid;
    std::uint32_t folderUid = 0; ///< UID of the folder node of the password folder tree
    AnsiString title;
    std::int32_t icon = 0;
    AnsiString category;
    AnsiString login;
    AnsiString password; ///< plain text: nothing in a bank is enciphered
    AnsiString link;
    AnsiString notes;
};

/// The block name of a password entry: "PwdItem".
inline constexpr AnsiView kPwdItemBlock = "PwdItem";

/// Writes one block; stops at the first line that fails and returns false.
bool WritePwdItemBlock(LineWriter& out, const PwdItem& item);
/// Reads one block by position; missing lines read as empty (UID 0, icon 0, empty texts).
void ReadPwdItemBlock(LineReader& in, PwdItem& item);

/// "[Пароль]" LF, then "Название: ..., Номер значка: ..., Категория: ..., Логин: ...,
/// Пароль: ..., Ссылка: ..., Заметки: ..." on one line, texts as stored.
AnsiString PwdItemText(const PwdItem& item);

} // namespace kelvo
