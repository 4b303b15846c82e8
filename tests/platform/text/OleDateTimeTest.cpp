#include "platform/text/OleDateTime.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

using namespace kelvo;

namespace {
OleDateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    return OleDateTime::FromParts({y, mo, d, h, mi, s});
}

// Runs the test body under a given time zone and restores the old one.
class TimeZoneScope {
public:
    explicit TimeZoneScope(const char* tz) {
        if (const char* old = std::getenv("TZ"))
            m_old = old, m_had = true;
        setenv("TZ", tz, 1);
        tzset();
    }
    ~TimeZoneScope() {
        if (m_had)
            setenv("TZ", m_old.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

private:
    std::string m_old;
    bool m_had = false;
};
} // namespace

TEST(OleDateTime, DayCountsAroundTheEpoch) {
    EXPECT_DOUBLE_EQ(At(1899, 12, 30).days, 0.0);
    EXPECT_DOUBLE_EQ(At(1900, 1, 1).days, 2.0);
    EXPECT_DOUBLE_EQ(At(1899, 12, 29, 6).days, -1.25);
    EXPECT_DOUBLE_EQ(At(1899, 12, 30, 6).days, 0.25);
    EXPECT_EQ(*At(1899, 12, 29, 6).Parts(), (DateTimeParts{1899, 12, 29, 6, 0, 0}));
    const OleDateTime negative{-1.25, true};
    EXPECT_EQ(*negative.Parts(), (DateTimeParts{1899, 12, 29, 6, 0, 0}));
    EXPECT_FALSE(At(2023, 2, 29).valid);
    EXPECT_TRUE(At(2024, 2, 29).valid);
    EXPECT_FALSE(At(2024, 13, 1).valid);
    EXPECT_FALSE(OleDateTime::Invalid().Parts());
}

TEST(OleDateTime, TextOfItemStreams) {
    EXPECT_EQ(FormatItemDateTime(At(2003, 5, 7, 9, 5, 3)), "07.05.2003 9:05:03");
    EXPECT_EQ(FormatItemDateTime(At(2003, 5, 7)), "07.05.2003");
    EXPECT_EQ(FormatItemDateTime(At(1899, 12, 30, 13, 0, 0)), "13:00:00");
    EXPECT_EQ(FormatItemDateTime(At(1899, 12, 30)), "0:00:00");
    EXPECT_EQ(FormatItemDateTime(OleDateTime::Invalid()), "");

    for (auto t : {At(2003, 5, 7, 9, 5, 3), At(2024, 2, 29), At(1899, 12, 30, 23, 59, 59),
                   At(1899, 12, 29, 12), At(1850, 1, 1, 0, 0, 1), At(9999, 12, 31, 23, 59, 59)}) {
        EXPECT_EQ(ParseItemDateTime(FormatItemDateTime(t)), t) << FormatItemDateTime(t);
    }
}

TEST(OleDateTime, ParsesOtherLocalesAndRejectsGarbage) {
    EXPECT_EQ(ParseItemDateTime("7.5.2003 9:05:03"), At(2003, 5, 7, 9, 5, 3));
    EXPECT_EQ(ParseItemDateTime("5/7/2003 9:05:03 PM"), At(2003, 5, 7, 21, 5, 3));
    EXPECT_EQ(ParseItemDateTime("5/7/2003 12:00:00 AM"), At(2003, 5, 7));
    EXPECT_EQ(ParseItemDateTime("5/7/2003"), At(2003, 5, 7));
    EXPECT_EQ(ParseItemDateTime("2003-05-07 21:05:03"), At(2003, 5, 7, 21, 5, 3));
    EXPECT_EQ(ParseItemDateTime("  07.05.2003  "), At(2003, 5, 7));
    for (const char* bad : {"", " ", "31.02.2003", "07.05.03", "25:00:00", "07.05.2003 9:61",
                            "07.05.2003x", "hello", "13/13/2003", "5/7/2003 13:00 PM", "0:00:60",
                            "07.05.2003 9:05:03 PM", "99999999999999999999"})
        EXPECT_FALSE(ParseItemDateTime(bad).valid) << bad;
}

TEST(OleDateTime, FileTimesAcrossDaylightSaving) {
    TimeZoneScope tz("Europe/Berlin");
    // 2021-03-28 02:30 does not exist in Berlin; 01:30 and 03:30 do.
    const auto before = At(2021, 3, 28, 1, 30);
    const auto after = At(2021, 3, 28, 3, 30);
    const auto ftBefore = before.ToFileTime();
    const auto ftAfter = after.ToFileTime();
    ASSERT_TRUE(ftBefore && ftAfter);
    EXPECT_EQ(*ftAfter - *ftBefore, 3600ULL * 10000000ULL); // one hour of real time
    EXPECT_EQ(OleDateTime::FromFileTime(*ftBefore), before);
    EXPECT_EQ(OleDateTime::FromFileTime(*ftAfter), after);
    // Unix epoch in UTC is 01:00 in Berlin.
    EXPECT_EQ(OleDateTime::FromFileTime(116444736000000000ULL), At(1970, 1, 1, 1));
    EXPECT_FALSE(At(1500, 1, 1).ToFileTime());
}
