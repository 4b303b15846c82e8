// Date-times as the bank holds them: local time as a day count since 30 December 1899
// (the fraction is the time of day) with a validity flag; conversions to calendar parts,
// UTC file times, and the Russian-locale text of the item streams.
#pragma once

#include "platform/text/Ansi.h"

#include <cstdint>
#include <optional>

namespace kelvo {

struct DateTimeParts {
    int year = 1899, month = 12, day = 30;
    int hour = 0, minute = 0, second = 0;
    bool operator==(const DateTimeParts&) const = default;
};

struct OleDateTime {
    double days = 0.0;
    bool valid = false;

    static OleDateTime Invalid() { return {}; }
    /// From calendar parts (local time); invalid when a part is out of range.
    static OleDateTime FromParts(const DateTimeParts& parts);
    /// The current local time, whole seconds.
    static OleDateTime Now();
    /// From UTC file time (100-ns ticks since 1601), converted to local time, whole seconds.
    static OleDateTime FromFileTime(std::uint64_t fileTime);

    /// Calendar parts, rounded to the nearest second. Empty when invalid.
    std::optional<DateTimeParts> Parts() const;
    /// UTC file time of this local time. Empty when invalid or out of the file-time range.
    std::optional<std::uint64_t> ToFileTime() const;

    bool operator==(const OleDateTime& other) const {
        return valid == other.valid && (!valid || days == other.days);
    }
};

/// Seconds since the Unix epoch for local calendar parts (the local time zone applies).
std::int64_t LocalPartsToUnix(const DateTimeParts& parts);
/// Local calendar parts of a Unix time.
DateTimeParts UnixToLocalParts(std::int64_t unixSeconds);

/// "dd.MM.yyyy H:mm:ss"; the date is left out on 30.12.1899 and the time at exact midnight.
/// Empty for an invalid time.
AnsiString FormatItemDateTime(const OleDateTime& time);
/// The inverse: accepts what FormatItemDateTime writes (date and time, date only, time only,
/// single-digit fields), and also "M/d/yyyy h:mm:ss AM/PM" and "yyyy-MM-dd HH:mm:ss" as other
/// locales write them. Anything else gives an invalid time.
OleDateTime ParseItemDateTime(AnsiView text);

} // namespace kelvo
