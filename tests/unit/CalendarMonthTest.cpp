// Date arithmetic of the month calendar: month lengths, weekdays, the 6x7 grid and month steps.
#include <gtest/gtest.h>

#include "core/CalendarMonth.h"

using namespace calendar;

namespace {

struct MonthLength {
    int year, month, days;
};

class DaysInMonthTest : public ::testing::TestWithParam<MonthLength> {};

TEST_P(DaysInMonthTest, CountsLeapYearsByTheGregorianRule)
{
    const MonthLength c = GetParam();
    EXPECT_EQ(daysInMonth(c.year, c.month), c.days);
}

INSTANTIATE_TEST_SUITE_P(Months, DaysInMonthTest,
                         ::testing::Values(MonthLength{2026, 1, 31}, MonthLength{2026, 2, 28}, MonthLength{2024, 2, 29},
                                           MonthLength{2000, 2, 29}, MonthLength{1900, 2, 28},
                                           MonthLength{2100, 2, 28}, MonthLength{2026, 4, 30},
                                           MonthLength{2026, 9, 30}, MonthLength{2026, 12, 31},
                                           MonthLength{2026, 0, 0}, MonthLength{2026, 13, 0}));

struct Weekday {
    Date date;
    int weekday;
};

class DayOfWeekTest : public ::testing::TestWithParam<Weekday> {};

TEST_P(DayOfWeekTest, MatchesTheCalendar)
{
    EXPECT_EQ(dayOfWeek(GetParam().date), GetParam().weekday);
}

INSTANTIATE_TEST_SUITE_P(Dates, DayOfWeekTest,
                         ::testing::Values(Weekday{{1970, 1, 1}, 4}, Weekday{{1969, 12, 31}, 3},
                                           Weekday{{2000, 2, 29}, 2}, Weekday{{2026, 2, 1}, 0},
                                           Weekday{{2026, 12, 6}, 0}, Weekday{{2026, 12, 31}, 4},
                                           Weekday{{2027, 1, 1}, 5}, Weekday{{1900, 3, 1}, 4},
                                           Weekday{{1601, 1, 1}, 1}, Weekday{{2100, 3, 1}, 1}));

struct GridCase {
    YearMonth month;
    int leading; // grey days of the previous month
    Date first; // cell 0
    Date last; // cell 41
};

class MonthGridTest : public ::testing::TestWithParam<GridCase> {};

TEST_P(MonthGridTest, StartsOnSundayWithOneToSevenLeadingDays)
{
    const GridCase c = GetParam();
    const auto grid = monthGrid(c.month);
    EXPECT_EQ(leadingDays(c.month), c.leading);
    EXPECT_EQ(grid.front(), c.first);
    EXPECT_EQ(grid.back(), c.last);
    EXPECT_EQ(dayOfWeek(grid.front()), 0);
    EXPECT_EQ(grid[static_cast<std::size_t>(c.leading)], (Date{c.month.year, c.month.month, 1}));
    // Consecutive days, and the trailing month always has a few.
    for (std::size_t i = 1; i < grid.size(); ++i)
        EXPECT_EQ(grid[i], addDays(grid[i - 1], 1)) << i;
    EXPECT_EQ(grid.back().yearMonth(), addMonths(c.month, 1));
    EXPECT_EQ(gridIndex(c.month, c.first), 0);
    EXPECT_EQ(gridIndex(c.month, c.last), kGridCells - 1);
    EXPECT_EQ(gridIndex(c.month, addDays(c.first, -1)), -1);
    EXPECT_EQ(gridIndex(c.month, addDays(c.last, 1)), -1);
}

INSTANTIATE_TEST_SUITE_P(Months, MonthGridTest,
                         ::testing::Values(
                             // Starts on Sunday: a whole leading week, 28 days, 7 trailing.
                             GridCase{{2026, 2}, 7, {2026, 1, 25}, {2026, 3, 7}},
                             // Starts on Saturday with 31 days: the fewest trailing days.
                             GridCase{{2026, 8}, 6, {2026, 7, 26}, {2026, 9, 5}},
                             GridCase{{2026, 12}, 2, {2026, 11, 29}, {2027, 1, 9}},
                             GridCase{{2027, 1}, 5, {2026, 12, 27}, {2027, 2, 6}},
                             GridCase{{2024, 2}, 4, {2024, 1, 28}, {2024, 3, 9}},
                             GridCase{{2026, 6}, 1, {2026, 5, 31}, {2026, 7, 11}}));

struct MonthStep {
    Date from;
    int months;
    Date to;
};

class MonthStepTest : public ::testing::TestWithParam<MonthStep> {};

TEST_P(MonthStepTest, KeepsTheDayClampedToTheMonthLength)
{
    EXPECT_EQ(addMonthsClamped(GetParam().from, GetParam().months), GetParam().to);
}

INSTANTIATE_TEST_SUITE_P(Steps, MonthStepTest,
                         ::testing::Values(MonthStep{{2026, 1, 31}, 1, {2026, 2, 28}},
                                           MonthStep{{2024, 1, 31}, 1, {2024, 2, 29}},
                                           MonthStep{{2026, 3, 31}, -1, {2026, 2, 28}},
                                           MonthStep{{2026, 5, 31}, 1, {2026, 6, 30}},
                                           MonthStep{{2026, 12, 31}, 1, {2027, 1, 31}},
                                           MonthStep{{2027, 1, 15}, -1, {2026, 12, 15}},
                                           MonthStep{{2026, 12, 6}, 13, {2028, 1, 6}},
                                           MonthStep{{2026, 1, 6}, -13, {2024, 12, 6}},
                                           MonthStep{{2024, 2, 29}, 12, {2025, 2, 28}}));

struct DayStep {
    Date from;
    long long days;
    Date to;
};

class DayStepTest : public ::testing::TestWithParam<DayStep> {};

TEST_P(DayStepTest, CrossesMonthAndYearEnds)
{
    const DayStep c = GetParam();
    EXPECT_EQ(addDays(c.from, c.days), c.to);
    EXPECT_EQ(addDays(c.to, -c.days), c.from);
}

INSTANTIATE_TEST_SUITE_P(Steps, DayStepTest,
                         ::testing::Values(DayStep{{2026, 12, 31}, 1, {2027, 1, 1}},
                                           DayStep{{2024, 2, 28}, 1, {2024, 2, 29}},
                                           DayStep{{2023, 2, 28}, 1, {2023, 3, 1}},
                                           DayStep{{2026, 12, 28}, 7, {2027, 1, 4}},
                                           DayStep{{1970, 1, 1}, -1, {1969, 12, 31}},
                                           DayStep{{2000, 1, 1}, 366, {2001, 1, 1}},
                                           DayStep{{1600, 1, 1}, 146097, {2000, 1, 1}}));

TEST(SystemTimeTest, CarriesTheWeekday)
{
    const SYSTEMTIME st = toSystemTime({2026, 12, 6});
    EXPECT_EQ(st.wYear, 2026);
    EXPECT_EQ(st.wMonth, 12);
    EXPECT_EQ(st.wDay, 6);
    EXPECT_EQ(st.wDayOfWeek, 0);
    EXPECT_EQ(fromSystemTime(st), (Date{2026, 12, 6}));
}

} // namespace
