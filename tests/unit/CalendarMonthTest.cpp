// Date arithmetic of the month calendar: the 6x7 grid and the steps the keys and arrows take.
#include <gtest/gtest.h>

#include "core/CalendarMonth.h"

using namespace calendar;

namespace {

TEST(CalendarMonth, GridStartsOnTheFirstWeekdayWithOneToSevenLeadingDays)
{
    // The month, the first weekday (0 Sunday, 1 Monday), its grey days of the month before, and
    // cells 0 and 41.
    const struct { YearMonth month; int firstWeekday, leading; Date first, last; } cases[] = {
        {{2026, 2}, 0, 7, {2026, 1, 25}, {2026, 3, 7}}, // starts on Sunday: a whole leading week
        {{2026, 8}, 0, 6, {2026, 7, 26}, {2026, 9, 5}}, // on Saturday with 31 days: the fewest trailing days
        {{2026, 12}, 0, 2, {2026, 11, 29}, {2027, 1, 9}},
        {{2024, 2}, 0, 4, {2024, 1, 28}, {2024, 3, 9}},
        {{2026, 3}, 1, 6, {2026, 2, 23}, {2026, 4, 5}}, // Monday first, a month starting on Sunday
        {{2026, 6}, 1, 7, {2026, 5, 25}, {2026, 7, 5}}}; // Monday first, starting on Monday
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.month.year << '-' << c.month.month << " from " << c.firstWeekday);
        const auto grid = monthGrid(c.month, c.firstWeekday);
        EXPECT_EQ(grid.front(), c.first);
        EXPECT_EQ(grid.back(), c.last);
        EXPECT_EQ(dayOfWeek(grid.front()), c.firstWeekday);
        EXPECT_EQ(grid[static_cast<std::size_t>(c.leading)], (Date{c.month.year, c.month.month, 1}));
        for (std::size_t i = 1; i < grid.size(); ++i)
            EXPECT_EQ(grid[i], addDays(grid[i - 1], 1)) << i;
        EXPECT_EQ(gridIndex(c.month, c.last, c.firstWeekday), kGridCells - 1);
        EXPECT_EQ(gridIndex(c.month, addDays(c.first, -1), c.firstWeekday), -1);
        EXPECT_EQ(gridIndex(c.month, addDays(c.last, 1), c.firstWeekday), -1);
    }
}

TEST(CalendarMonth, StepsCrossMonthAndYearEndsAndClampTheDay)
{
    const struct { Date from; int months, days; Date to; } cases[] = {
        {{2026, 1, 31}, 1, 0, {2026, 2, 28}}, {{2024, 1, 31}, 1, 0, {2024, 2, 29}}, {{2026, 12, 31}, 1, 0, {2027, 1, 31}},
        {{2026, 12, 6}, 13, 0, {2028, 1, 6}}, {{2026, 1, 6}, -13, 0, {2024, 12, 6}},
        {{2024, 2, 29}, 12, 0, {2025, 2, 28}}, // clamped to the new year's February
        {{1970, 1, 1}, 0, -1, {1969, 12, 31}}};
    for (const auto& c : cases) {
        EXPECT_EQ(addDays(addMonthsClamped(c.from, c.months), c.days), c.to)
            << c.from.year << '-' << c.from.month << '-' << c.from.day << ' ' << c.months;
    }
}

// The first days of January can lie in the last week of the year before, the last of December
// in week 1 of the next.
TEST(CalendarMonth, IsoWeeksAtYearEnds)
{
    const std::pair<Date, IsoWeek> cases[] = {
        {{2026, 12, 31}, {2026, 53}}, {{2027, 1, 1}, {2026, 53}}, {{2027, 1, 3}, {2026, 53}}, {{2027, 1, 4}, {2027, 1}},
        {{2024, 12, 30}, {2025, 1}}, {{2021, 1, 3}, {2020, 53}}, {{2026, 5, 6}, {2026, 19}}, {{2026, 1, 1}, {2026, 1}},
    };
    for (const auto& [date, week] : cases)
        EXPECT_EQ(isoWeek(date), week) << date.year << '-' << date.month << '-' << date.day;
}

} // namespace
