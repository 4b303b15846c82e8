// Validation of the search criteria.
#include "search/SearchCriteria.h"

#include "core/Messages.h"
#include "platform/text/ItemStream.h"

namespace kelvo {

namespace {
Error SizeRangeError() {
    return MessageError(hr::InvalidArg, msg::SearchSizeRange,
                        {std::to_string(kMinSizeValue), std::to_string(kMaxSizeValue)});
}
} // namespace

Result<int> ParseSizeValue(AnsiView text) {
    AnsiView digits = TrimText(text);
    if (!digits.empty() && digits.front() == '+')
        digits.remove_prefix(1);
    if (digits.empty() || digits.size() > 5)
        return SizeRangeError();
    int value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return SizeRangeError();
        value = value * 10 + (c - '0');
    }
    if (value < kMinSizeValue || value > kMaxSizeValue)
        return SizeRangeError();
    return value;
}

SearchCriteria CriteriaForNewWindow(SearchCriteria kept) {
    kept.sizeFilter = false;
    kept.startKey = kBankKey;
    return kept;
}

Result<void> ValidateCriteria(const SearchCriteria& criteria) {
    if (criteria.sizeValue < kMinSizeValue || criteria.sizeValue > kMaxSizeValue)
        return SizeRangeError();
    if (criteria.text.empty())
        return MessageError(hr::InvalidArg, msg::SearchTextEmpty);
    return {};
}

} // namespace kelvo
