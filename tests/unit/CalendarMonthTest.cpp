// Date arithmetic of the month calendar: the 6x7 grid and the steps the keys and arrows take.
#include <gtest/gtest.h>

#include "core/CalendarMonth.h"

using namespace calendar;

namespace {

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
    EXPECT_EQ(grid.front(), c.first);
    EXPECT_EQ(grid.back(), c.last);
    EXPECT_EQ(dayOfWeek(grid.front()), 0);
    EXPECT_EQ(grid[static_cast<std::size_t>(c.leading)], (Date{c.month.year, c.month.month, 1}));
    for (std::size_t i = 1; i < grid.size(); ++i)
        EXPECT_EQ(grid[i], addDays(grid[i - 1], 1)) << i;
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
                             GridCase{{2024, 2}, 4, {2024, 1, 28}, {2024, 3, 9}}));

struct StepCase {
    Date from;
    int months;
    int days;
    Date to;
};

class StepTest : public ::testing::TestWithParam<StepCase> {};

TEST_P(StepTest, CrossesMonthAndYearEndsAndClampsTheDay)
{
    const StepCase c = GetParam();
    EXPECT_EQ(addDays(addMonthsClamped(c.from, c.months), c.days), c.to);
}

INSTANTIATE_TEST_SUITE_P(Steps, StepTest,
                         ::testing::Values(StepCase{{2026, 1, 31}, 1, 0, {2026, 2, 28}},
                                           StepCase{{2024, 1, 31}, 1, 0, {2024, 2, 29}},
                                           StepCase{{2026, 3, 31}, -1, 0, {2026, 2, 28}},
                                           StepCase{{2026, 12, 31}, 1, 0, {2027, 1, 31}},
                                           StepCase{{2026, 12, 6}, 13, 0, {2028, 1, 6}},
                                           StepCase{{2026, 1, 6}, -13, 0, {2024, 12, 6}},
                                           StepCase{{2024, 2, 29}, 12, 0, {2025, 2, 28}},
                                           StepCase{{2026, 12, 31}, 0, 1, {2027, 1, 1}},
                                           StepCase{{2024, 2, 28}, 0, 1, {2024, 2, 29}},
                                           StepCase{{1970, 1, 1}, 0, -1, {1969, 12, 31}}));

} // namespace
