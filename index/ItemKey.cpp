// Item keys: composing and taking apart "rec:", "pwd:", "pit:" keys.
#include "index/ItemKey.h"

#include "platform/text/ItemStream.h"

namespace kelvo {

AnsiString MakeItemKey(AnsiView type, std::uint32_t uid) {
    AnsiString key(type);
    key += ':';
    key += HexText(uid);
    return key;
}

ParsedItemKey ParseItemKey(AnsiView key) {
    ParsedItemKey parsed;
    parsed.type = AnsiToLower(key.substr(0, 3));
    if (key.size() > 4) {
        // HexValue saturates at the signed range; UIDs handed out are small positive numbers.
        std::int32_t value = HexValue(key.substr(4));
        parsed.uid = value < 0 ? 0 : static_cast<std::uint32_t>(value);
    }
    return parsed;
}

} // namespace kelvo
