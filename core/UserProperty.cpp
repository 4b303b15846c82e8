// User-defined properties: lookup by name and the user-defined property-set section.
#include "core/UserProperty.h"

#include "core/BankSummary.h"

#include <unordered_map>

namespace kelvo {

UserProperty* FindUserProperty(std::vector<UserProperty>& list, AnsiView name) {
    for (UserProperty& p : list)
        if (p.name == name)
            return &p;
    return nullptr;
}

const UserProperty* FindUserProperty(const std::vector<UserProperty>& list, AnsiView name) {
    for (const UserProperty& p : list)
        if (p.name == name)
            return &p;
    return nullptr;
}

cfb::PropertySection MakeUserDefinedSection(const std::vector<UserProperty>& list) {
    cfb::PropertySection section;
    section.fmtid = cfb::fmtid::UserDefinedProperties;
    section.codePage = kAnsiCodePage;
    section.hasDictionary = true;
    std::uint32_t id = cfb::pid::FirstNamed;
    for (const UserProperty& p : list) {
        cfb::PropertyValue value;
        switch (p.type) {
        case UserProperty::Text:
            value = cfb::PropertyValue::Lpstr(p.text);
            break;
        case UserProperty::Number:
            value = cfb::PropertyValue::I4(p.number);
            break;
        case UserProperty::DateTime: {
            const auto ticks = p.date.ToFileTime();
            if (!ticks)
                continue;
            value = cfb::PropertyValue::FileTimeValue(*ticks);
            break;
        }
        case UserProperty::YesNo:
            value = cfb::PropertyValue::Bool(p.number != 0);
            break;
        default:
            continue;
        }
        // The section's code page is Windows-1251, so the name's bytes go in as they are.
        section.dictionary.push_back(cfb::DictionaryEntry{id, p.name});
        section.properties.push_back(cfb::Property{id, std::move(value)});
        ++id;
    }
    return section;
}

std::vector<UserProperty> ReadUserDefinedSection(const cfb::PropertySection& section) {
    std::vector<UserProperty> list;
    std::unordered_map<std::uint32_t, const std::string*> names;
    for (const cfb::DictionaryEntry& e : section.dictionary)
        names.emplace(e.id, &e.name);
    for (const cfb::Property& p : section.properties) {
        // Identifiers with the high bit set are the set's own (locale, behaviour).
        if (p.id < cfb::pid::FirstNamed || (p.id & 0x80000000u) != 0)
            continue;
        const auto found = names.find(p.id);
        if (found == names.end())
            continue;
        auto name = CodePageToAnsi(*found->second, section.codePage);
        if (!name)
            continue;
        UserProperty prop;
        prop.name = std::move(*name);
        const cfb::PropertyValue& v = p.value;
        if (v.IsString()) {
            auto text = CodePageToAnsi(v.text, section.TextCodePage(v));
            if (!text)
                continue;
            prop.type = UserProperty::Text;
            prop.text = std::move(*text);
        } else if (auto number = v.AsInt32()) {
            prop.type = UserProperty::Number;
            prop.number = *number;
        } else if (v.type == cfb::vt::Bool) {
            prop.type = UserProperty::YesNo;
            prop.number = v.integer != 0 ? -1 : 0;
        } else if (v.type == cfb::vt::FileTime) {
            prop.date = OleDateTime::FromFileTime(v.fileTime);
            if (!prop.date.valid)
                continue;
            prop.type = UserProperty::DateTime;
        } else {
            continue;
        }
        list.push_back(std::move(prop));
    }
    return list;
}

} // namespace kelvo
