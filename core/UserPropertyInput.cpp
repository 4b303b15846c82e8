// Checks and conversions of user-defined property input.
#include "core/UserPropertyInput.h"

#include <string>

namespace kelvo {

Result<UserProperty> MakeUserProperty(const std::vector<UserProperty>& existing, AnsiView name,
                                      int type, AnsiView value) {
    auto fail = [](int id, std::initializer_list<std::string_view> args = {}) {
        return MessageError(hr::InvalidArg, id, args);
    };
    if (name.size() > kMaxUserPropertyName || value.size() > kMaxUserPropertyValue)
        return fail(msg::PropertyTooLong);
    if (FindUserProperty(existing, name))
        return fail(msg::PropertyExists, {AnsiToUtf8(name)});
    UserProperty p;
    p.name = AnsiString(name);
    p.type = type;
    switch (type) {
    case UserProperty::Text:
        p.text = AnsiString(value);
        break;
    case UserProperty::Number: {
        if (value.empty() || value.find_first_not_of("0123456789") != AnsiView::npos)
            return fail(msg::BadNumber);
        // Long digit strings saturate, as the C library's conversion does.
        long long n = 0;
        for (char c : value) {
            n = n * 10 + (c - '0');
            if (n > 0x7FFFFFFF) {
                n = 0x7FFFFFFF;
                break;
            }
        }
        p.number = static_cast<std::int32_t>(n);
        break;
    }
    case UserProperty::DateTime:
        p.date = ParseItemDateTime(value);
        if (!p.date.valid)
            return fail(msg::BadDate);
        break;
    case UserProperty::YesNo:
        p.number = value == AnsiStringText(msg::Yes) ? 1 : 0;
        break;
    default:
        break;
    }
    return p;
}

AnsiString UserPropertyValueText(const UserProperty& property) {
    switch (property.type) {
    case UserProperty::Text:
        return property.text;
    case UserProperty::Number:
        return std::to_string(property.number);
    case UserProperty::DateTime:
        return FormatItemDateTime(property.date);
    case UserProperty::YesNo:
        return AnsiStringText(property.number ? msg::Yes : msg::No);
    default:
        return AnsiStringText(msg::EmptyValue);
    }
}

} // namespace kelvo
