// User-defined properties of a bank: named, typed values kept by the document in list order
// and stored as the named properties of the user-defined property-set section.
#pragma once

#include "platform/storage/PropertySet.h"
#include "platform/text/Ansi.h"
#include "platform/text/OleDateTime.h"

#include <cstdint>
#include <vector>

namespace kelvo {

struct UserProperty {
    enum Type : int { Unknown = -1, Text = 0, Number = 1, DateTime = 2, YesNo = 3 };

    AnsiString name; ///< unique within a bank, compared byte for byte
    int type = Unknown;
    AnsiString text;         ///< Text
    std::int32_t number = 0; ///< Number; for YesNo non-zero means yes
    OleDateTime date;        ///< DateTime, local time

    bool operator==(const UserProperty&) const = default;
};

/// The first property named exactly `name` (case-sensitive), or nullptr.
UserProperty* FindUserProperty(std::vector<UserProperty>& list, AnsiView name);
const UserProperty* FindUserProperty(const std::vector<UserProperty>& list, AnsiView name);

/// The user-defined section for `list`: code page 1251, a dictionary naming identifiers 2, 3,
/// ... in list order and the values in the same order (text VT_LPSTR, number VT_I4, date
/// VT_FILETIME in UTC, yes/no VT_BOOL). Properties of any other type are left out; so is a
/// date that has no file time (invalid or out of range), rather than a made-up value.
/// Names that differ only in case each keep their own identifier.
cfb::PropertySection MakeUserDefinedSection(const std::vector<UserProperty>& list);

/// The properties of a user-defined section in stream order. Names come from the dictionary
/// (converted from the section's code page to Windows-1251); values convert as text from
/// VT_LPSTR/VT_LPWSTR/VT_BSTR, number from the integer types that fit 32 bits signed,
/// yes/no from VT_BOOL (-1 or 0), date from VT_FILETIME (local time, whole seconds). Entries
/// of other types, without a name, or whose text Windows-1251 cannot hold are dropped.
std::vector<UserProperty> ReadUserDefinedSection(const cfb::PropertySection& section);

} // namespace kelvo
