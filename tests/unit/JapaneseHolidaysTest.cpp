// Japan's national holidays: the days each rule starts and stops, the substitute and in-between
// days, the equinoxes against the announced dates, the year cache and the listing text.
#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>

#include "core/JapaneseHolidays.h"

using namespace std::chrono;

namespace {

// The holiday's name, "*" appended when projected; "-" when the day is not a holiday.
std::string Describe(year_month_day date)
{
    const auto holiday = jcal::HolidayOn(date);
    return holiday ? std::string{holiday->name} + (holiday->projected ? "*" : "") : "-";
}

// Date and holiday pairs, written as Describe() writes them. (2026 is listed whole below.)
constexpr const char* kHardDays = R"(
1948-05-03 - 1948-07-20 - 1948-09-23 秋分の日 1948-11-23 勤労感謝の日 1949-01-01 元日 1949-01-15 成人の日
1949-04-29 天皇誕生日 1959-04-10 結婚の儀 1966-02-11 - 1966-09-15 敬老の日 1966-10-10 体育の日 1967-02-11 建国記念の日
1973-02-12 - 1973-04-30 振替休日 1985-05-04 - 1985-11-04 振替休日 1986-05-04 - 1987-05-04 振替休日
1988-05-04 国民の休日 1988-03-21 振替休日 1988-04-29 天皇誕生日 1989-02-24 大喪の礼 1989-04-29 みどりの日
1989-12-23 天皇誕生日 1990-11-12 即位礼正殿の儀 1993-06-09 結婚の儀 1995-07-20 - 1996-07-20 海の日 1997-05-04 -
1998-05-04 振替休日 1999-01-15 成人の日 1999-10-11 振替休日 2000-01-10 成人の日 2000-01-15 - 2000-10-09 体育の日
2000-10-10 - 2002-07-20 海の日 2002-09-16 振替休日 2003-07-20 - 2003-07-21 海の日 2003-09-15 敬老の日
2006-01-02 振替休日 2006-04-29 みどりの日 2006-05-04 国民の休日 2007-04-29 昭和の日 2007-04-30 振替休日
2007-05-04 みどりの日 2008-05-06 振替休日 2009-05-06 振替休日 2009-09-22 国民の休日 2015-08-11 - 2015-09-22 国民の休日
2016-08-11 山の日 2018-12-24 振替休日 2019-02-23 - 2019-04-30 国民の休日 2019-05-01 天皇の即位の日
2019-05-02 国民の休日 2019-05-06 振替休日 2019-10-14 体育の日 2019-10-22 即位礼正殿の儀 2019-12-23 -
2020-02-23 天皇誕生日 2020-02-24 振替休日 2020-07-20 - 2020-07-23 海の日 2020-07-24 スポーツの日 2020-08-10 山の日
2020-08-11 - 2020-10-12 - 2021-07-19 - 2021-07-22 海の日 2021-07-23 スポーツの日 2021-08-08 山の日 2021-08-09 振替休日
2021-10-11 - 2022-10-10 スポーツの日 2027-03-22 振替休日 2027-11-23 勤労感謝の日 2028-01-01 元日* 2028-03-20 春分の日*
2028-09-22 秋分の日* 2030-09-23 秋分の日* 2032-09-21 国民の休日* 2032-09-22 秋分の日* 2037-09-22 国民の休日*
2099-11-23 勤労感謝の日* 2100-01-01 -
)";

TEST(JapaneseHolidays, HardDaysCarryTheirNames)
{
    std::istringstream cases{kHardDays};
    int y = 0;
    unsigned m = 0, d = 0;
    char dash = 0;
    std::string expected;
    while (cases >> y >> dash >> m >> dash >> d >> expected)
        EXPECT_EQ(Describe(year{y} / month{m} / day{d}), expected) << y << '-' << m << '-' << d;
    EXPECT_TRUE(cases.eof()) << "unreadable after " << y << '-' << m << '-' << d;
}

// The announced equinox days from 1955, a pair per year: the last digit of the day in March
// (20, 21) and in September (22, 23, 24).
const std::pair<int, const char*> kAnnouncedEquinoxes[] = {
    {1955, "14 13 13 13 14"},
    {1960, "03 13 13 14 03 13 13 14 03 13"},
    {1970, "13 14 03 13 13 14 03 13 13 14"},
    {1980, "03 13 13 13 03 13 13 13 03 13"},
    {1990, "13 13 03 03 13 13 03 03 13 13"},
    {2000, "03 03 13 13 03 03 13 13 03 03"},
    {2010, "13 13 02 03 13 13 02 03 13 13"},
    {2020, "02 03 13 13 02 03 03 13"},
};

TEST(JapaneseHolidays, EquinoxesMatchTheAnnouncedDays)
{
    for (const auto& [firstYear, pairs] : kAnnouncedEquinoxes) {
        for (std::size_t i = 0; i + 1 < std::strlen(pairs); i += 3) {
            const year y{firstYear + static_cast<int>(i / 3)};
            EXPECT_EQ(Describe(y / March / day(20u + unsigned(pairs[i] - '0'))), "春分の日") << int(y);
            EXPECT_EQ(Describe(y / September / day(20u + unsigned(pairs[i + 1] - '0'))), "秋分の日") << int(y);
        }
    }
}

TEST(JapaneseHolidays, EveryYearIsInOrderAndTheCacheAgrees)
{
    EXPECT_TRUE(jcal::HolidaysOfYear(1947).empty());
    EXPECT_TRUE(jcal::HolidaysOfYear(2100).empty());
    for (int y = jcal::kFirstHolidayYear; y <= jcal::kLastHolidayYear; ++y) {
        const auto holidays = jcal::HolidaysOfYear(y);
        std::size_t next = 0;
        for (sys_days d{year{y} / January / 1}; d <= sys_days{year{y} / December / 31}; d += days{1}) {
            const bool listed = next < holidays.size() && sys_days{holidays[next].date} == d;
            ASSERT_EQ(jcal::HolidayOn(year_month_day{d}), listed ? std::optional{holidays[next]} : std::nullopt)
                << y << " day " << (d - sys_days{year{y} / January / 1}).count();
            next += listed;
        }
        ASSERT_EQ(next, holidays.size()) << y << ": out of order or outside its year";
    }
}

TEST(JapaneseHolidays, ListingWritesALineAHoliday)
{
    EXPECT_EQ(jcal::HolidayListing(2026, 2026),
              "2026-01-01\t元日\n2026-01-12\t成人の日\n2026-02-11\t建国記念の日\n2026-02-23\t天皇誕生日\n"
              "2026-03-20\t春分の日\n2026-04-29\t昭和の日\n2026-05-03\t憲法記念日\n2026-05-04\tみどりの日\n"
              "2026-05-05\tこどもの日\n2026-05-06\t振替休日\n2026-07-20\t海の日\n2026-08-11\t山の日\n"
              "2026-09-21\t敬老の日\n2026-09-22\t国民の休日\n2026-09-23\t秋分の日\n2026-10-12\tスポーツの日\n"
              "2026-11-03\t文化の日\n2026-11-23\t勤労感謝の日\n");
    EXPECT_NE(jcal::HolidayListing(2027, 2028).find("2027-11-23\t勤労感謝の日\n2028-01-01\t元日\tprojected\n"),
              std::string::npos);
    EXPECT_EQ(jcal::HolidayListing(1900, 1948), "1948-09-23\t秋分の日\n1948-11-03\t文化の日\n1948-11-23\t勤労感謝の日\n");
    EXPECT_EQ(jcal::HolidayListing(2030, 2029), "");
}

} // namespace
