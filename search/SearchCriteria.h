// The criteria of a bank search, their defaults and their validation.
#pragma once

#include "index/ItemKey.h"
#include "platform/base/Result.h"
#include "platform/text/Ansi.h"

#include <cstdint>

namespace kelvo {

enum class SizeCompare { Equal = 0, Less = 1, Greater = 2 };

/// Smallest and largest size value, in whole kilobytes.
inline constexpr int kMinSizeValue = 1;
inline constexpr int kMaxSizeValue = 32767;

struct SearchCriteria {
    AnsiString startKey = kBankKey; ///< ItemKey of the node the walk starts at, "bnk" for all
    bool nested = true;             ///< also walk the descendants of the start node
    AnsiString text;                ///< the search expression
    bool inData = true;             ///< record bodies, folder contents, entry texts
    bool inKeywords = true;
    bool inNotes = true;
    bool caseSensitive = false;
    bool wholeWords = false;
    bool sizeFilter = false;
    SizeCompare sizeCompare = SizeCompare::Equal;
    int sizeValue = 1;         ///< kilobytes
    bool folderAsWhole = true; ///< a password folder is one object holding all its entries
};

/// The criteria a newly created search window starts with: those it had when it was last
/// closed, but with the size filter off and the start node back at the whole bank.
SearchCriteria CriteriaForNewWindow(SearchCriteria kept);

/// Checks the criteria before a search: the size value must be a whole number from 1 to
/// 32767 (message 20016, "Введите целое число от 1 до 32767."), the search text must not be
/// empty (20017, "Необходимо ввести текст для поиска!", shown with the caption "Поиск").
Result<void> ValidateCriteria(const SearchCriteria& criteria);

/// Reads a size value typed by the user: a whole number from 1 to 32767, blanks around
/// allowed. Fails with message 20016.
Result<int> ParseSizeValue(AnsiView text);

} // namespace kelvo
