// Validation of the search criteria.
#include "search/SearchCriteria.h"

#include "index/Keywords.h"

namespace kelvo {

AnsiString SizeRangeMessage() {
    return Utf8ToAnsiLossy("Введите целое число от ") + std::to_string(kMinSizeValue) +
           Utf8ToAnsiLossy(" до ") + std::to_string(kMaxSizeValue) + ".";
}

AnsiString EmptySearchTextMessage() {
    return Utf8ToAnsiLossy("Необходимо ввести текст для поиска!");
}

Result<int> ParseSizeValue(AnsiView text) {
    AnsiView digits = TrimText(text);
    if (!digits.empty() && digits.front() == '+')
        digits.remove_prefix(1);
    if (digits.empty() || digits.size() > 5)
        return MakeError(hr::InvalidArg, SizeRangeMessage());
    int value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return MakeError(hr::InvalidArg, SizeRangeMessage());
        value = value * 10 + (c - '0');
    }
    if (value < kMinSizeValue || value > kMaxSizeValue)
        return MakeError(hr::InvalidArg, SizeRangeMessage());
    return value;
}

Result<void> ValidateCriteria(const SearchCriteria& criteria) {
    if (criteria.sizeValue < kMinSizeValue || criteria.sizeValue > kMaxSizeValue)
        return MakeError(hr::InvalidArg, SizeRangeMessage());
    if (criteria.text.empty())
        return MakeError(hr::InvalidArg, EmptySearchTextMessage());
    return {};
}

} // namespace kelvo
