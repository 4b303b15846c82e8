#include "platform/text/OleDateTime.h"

#include <cmath>
#include <cstdio>
#include <ctime>

namespace kelvo {

namespace {

// Days from 1970-01-01 of a proleptic Gregorian date (Howard Hinnant's algorithm).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, int& y, int& m, int& d) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t yy = static_cast<std::int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yy + (m <= 2));
}

constexpr std::int64_t kOleEpochDays = -25569; // 1899-12-30 relative to 1970-01-01
constexpr std::int64_t kFileTimeEpochSeconds = 11644473600LL;

bool DaysInMonthOk(int y, int m, int d) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (m < 1 || m > 12 || d < 1)
        return false;
    int limit = days[m - 1];
    if (m == 2 && ((y % 4 == 0 && y % 100 != 0) || y % 400 == 0))
        limit = 29;
    return d <= limit;
}

double SecondsToOle(std::int64_t secs) {
    const std::int64_t day = secs >= 0 ? secs / 86400 : -((-secs + 86399) / 86400);
    const std::int64_t rem = secs - day * 86400; // 0..86399
    const double frac = static_cast<double>(rem) / 86400.0;
    return day >= 0 ? static_cast<double>(day) + frac : static_cast<double>(day) - frac;
}

} // namespace

OleDateTime OleDateTime::FromParts(const DateTimeParts& p) {
    if (p.year < 100 || p.year > 9999 || !DaysInMonthOk(p.year, p.month, p.day) || p.hour < 0 ||
        p.hour > 23 || p.minute < 0 || p.minute > 59 || p.second < 0 || p.second > 59)
        return Invalid();
    const std::int64_t day = DaysFromCivil(p.year, p.month, p.day) - kOleEpochDays;
    const std::int64_t secs = day * 86400 + p.hour * 3600 + p.minute * 60 + p.second;
    return OleDateTime{SecondsToOle(secs), true};
}

std::optional<DateTimeParts> OleDateTime::Parts() const {
    if (!valid || !std::isfinite(days) || days < -657434.0 || days > 2958466.0)
        return std::nullopt;
    // Undo the sign convention: for negative days the time runs forward from the day start.
    const double whole = std::trunc(days);
    const std::int64_t timeSecs = std::llround(std::fabs(days - whole) * 86400.0);
    std::int64_t secs = static_cast<std::int64_t>(whole) * 86400 + timeSecs;
    DateTimeParts p;
    const std::int64_t day = secs >= 0 ? secs / 86400 : -((-secs + 86399) / 86400);
    const std::int64_t rem = secs - day * 86400;
    CivilFromDays(day + kOleEpochDays, p.year, p.month, p.day);
    p.hour = static_cast<int>(rem / 3600);
    p.minute = static_cast<int>(rem / 60 % 60);
    p.second = static_cast<int>(rem % 60);
    return p;
}

std::int64_t LocalPartsToUnix(const DateTimeParts& p) {
    std::tm tm{};
    tm.tm_year = p.year - 1900;
    tm.tm_mon = p.month - 1;
    tm.tm_mday = p.day;
    tm.tm_hour = p.hour;
    tm.tm_min = p.minute;
    tm.tm_sec = p.second;
    tm.tm_isdst = -1;
    return static_cast<std::int64_t>(std::mktime(&tm));
}

DateTimeParts UnixToLocalParts(std::int64_t unixSeconds) {
    const std::time_t t = static_cast<std::time_t>(unixSeconds);
    std::tm tm{};
    localtime_r(&t, &tm);
    return DateTimeParts{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,
                         tm.tm_hour,        tm.tm_min,     tm.tm_sec};
}

OleDateTime OleDateTime::Now() {
    return FromParts(UnixToLocalParts(static_cast<std::int64_t>(std::time(nullptr))));
}

OleDateTime OleDateTime::FromFileTime(std::uint64_t fileTime) {
    const std::int64_t unixSeconds =
        static_cast<std::int64_t>(fileTime / 10000000ULL) - kFileTimeEpochSeconds;
    return FromParts(UnixToLocalParts(unixSeconds));
}

std::optional<std::uint64_t> OleDateTime::ToFileTime() const {
    auto p = Parts();
    if (!p)
        return std::nullopt;
    const std::int64_t unixSeconds = LocalPartsToUnix(*p);
    if (unixSeconds == -1 && !(p->year == 1969 && p->month == 12 && p->day == 31))
        return std::nullopt;
    const std::int64_t fileSeconds = unixSeconds + kFileTimeEpochSeconds;
    if (fileSeconds < 0)
        return std::nullopt;
    return static_cast<std::uint64_t>(fileSeconds) * 10000000ULL;
}

AnsiString FormatItemDateTime(const OleDateTime& time) {
    auto p = time.Parts();
    if (!p)
        return {};
    const bool noDate = p->year == 1899 && p->month == 12 && p->day == 30;
    const bool midnight = p->hour == 0 && p->minute == 0 && p->second == 0;
    char date[16];
    char clock[16];
    std::snprintf(date, sizeof date, "%02d.%02d.%04d", p->day, p->month, p->year);
    std::snprintf(clock, sizeof clock, "%d:%02d:%02d", p->hour, p->minute, p->second);
    if (noDate)
        return clock; // a time alone (midnight of the epoch day shows as 0:00:00)
    if (midnight)
        return date;
    return AnsiString(date) + " " + clock;
}

namespace {

// A small cursor over the text for the parsers below.
struct Scanner {
    AnsiView s;
    std::size_t i = 0;
    void SkipSpaces() {
        while (i < s.size() && s[i] == ' ')
            ++i;
    }
    bool Number(int& out, int minDigits, int maxDigits) {
        int digits = 0;
        int value = 0;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9' && digits < maxDigits) {
            value = value * 10 + (s[i] - '0');
            ++i;
            ++digits;
        }
        if (digits < minDigits || (i < s.size() && s[i] >= '0' && s[i] <= '9'))
            return false;
        out = value;
        return true;
    }
    bool Char(char c) {
        if (i < s.size() && s[i] == c) {
            ++i;
            return true;
        }
        return false;
    }
    bool Done() const { return i == s.size(); }
};

// "H:mm[:ss]" with an optional AM/PM when `allowMeridiem`.
bool ParseClock(Scanner& sc, DateTimeParts& p, bool allowMeridiem) {
    if (!sc.Number(p.hour, 1, 2) || !sc.Char(':') || !sc.Number(p.minute, 1, 2))
        return false;
    p.second = 0;
    if (sc.Char(':') && !sc.Number(p.second, 1, 2))
        return false;
    if (allowMeridiem) {
        const std::size_t save = sc.i;
        sc.SkipSpaces();
        auto rest = sc.s.substr(sc.i);
        if (rest.size() >= 2 && (rest[1] == 'M' || rest[1] == 'm') &&
            (rest[0] == 'A' || rest[0] == 'a' || rest[0] == 'P' || rest[0] == 'p')) {
            if (p.hour < 1 || p.hour > 12)
                return false;
            const bool pm = rest[0] == 'P' || rest[0] == 'p';
            p.hour = p.hour % 12 + (pm ? 12 : 0);
            sc.i += 2;
        } else {
            sc.i = save;
        }
    }
    return true;
}

OleDateTime Finish(Scanner& sc, const DateTimeParts& p) {
    sc.SkipSpaces();
    if (!sc.Done())
        return OleDateTime::Invalid();
    return OleDateTime::FromParts(p);
}

} // namespace

OleDateTime ParseItemDateTime(AnsiView text) {
    // Surrounding blanks are tolerated; the rest must match one form exactly.
    Scanner sc{text};
    sc.SkipSpaces();
    if (sc.Done())
        return OleDateTime::Invalid();
    const std::size_t start = sc.i;
    DateTimeParts p;

    // dd.MM.yyyy [H:mm:ss]
    {
        Scanner t = sc;
        DateTimeParts q;
        if (t.Number(q.day, 1, 2) && t.Char('.') && t.Number(q.month, 1, 2) && t.Char('.') &&
            t.Number(q.year, 4, 4)) {
            t.SkipSpaces();
            if (!t.Done() && !ParseClock(t, q, false))
                return OleDateTime::Invalid();
            return Finish(t, q);
        }
    }
    // M/d/yyyy [h:mm:ss AM]
    {
        Scanner t = sc;
        DateTimeParts q;
        if (t.Number(q.month, 1, 2) && t.Char('/') && t.Number(q.day, 1, 2) && t.Char('/') &&
            t.Number(q.year, 4, 4)) {
            t.SkipSpaces();
            if (!t.Done() && !ParseClock(t, q, true))
                return OleDateTime::Invalid();
            return Finish(t, q);
        }
    }
    // yyyy-MM-dd [HH:mm:ss]
    {
        Scanner t = sc;
        DateTimeParts q;
        if (t.Number(q.year, 4, 4) && t.Char('-') && t.Number(q.month, 1, 2) && t.Char('-') &&
            t.Number(q.day, 1, 2)) {
            t.SkipSpaces();
            if (!t.Done() && !ParseClock(t, q, false))
                return OleDateTime::Invalid();
            return Finish(t, q);
        }
    }
    // A time alone, on 30.12.1899.
    sc.i = start;
    if (ParseClock(sc, p, true))
        return Finish(sc, p);
    return OleDateTime::Invalid();
}

} // namespace kelvo
