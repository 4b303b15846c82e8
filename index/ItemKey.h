// Item keys: the text that names one object of the bank in the index and in result lists
// ("rec:0000000C", "pwd:00000002", "pit:00000005", "bnk").
#pragma once

#include "platform/text/Ansi.h"

#include <cstdint>

namespace kelvo {

inline constexpr char kRecordType[] = "rec";
inline constexpr char kFolderType[] = "pwd";
inline constexpr char kEntryType[] = "pit";
inline constexpr char kBankKey[] = "bnk";

/// type + ":" + HexText(uid).
AnsiString MakeItemKey(AnsiView type, std::uint32_t uid);

struct ParsedItemKey {
    AnsiString type;       ///< the first three characters, in lower case
    std::uint32_t uid = 0; ///< HexValue of everything after the fourth character
};

/// Takes a key apart the way every reader of keys does: the type is the first three
/// characters turned to lower case, the UID the hexadecimal value after the fourth character
/// (0 when there is none).
ParsedItemKey ParseItemKey(AnsiView key);

} // namespace kelvo
