// Bold-day masks: month carrying across years and which days are asked.
#include "topics/DayStateMasks.h"

#include <set>
#include <tuple>

#include <gtest/gtest.h>

namespace {

using Date = std::tuple<int, int, int>;

auto MarkedIn(const std::set<Date>& marked)
{
    return [&marked](int y, int m, int d) { return marked.count({y, m, d}) > 0; };
}

TEST(DayMasks, MonthsCarryAcrossYears)
{
    const std::set<Date> marked = {{2002, 12, 31}, {2003, 1, 1}, {2003, 1, 2}, {2003, 2, 28},
                                   {2004, 1, 31}, {2004, 2, 29}};
    const struct {
        int year, month, count;
        std::vector<MONTHDAYSTATE> masks;
    } cases[] = {
        {2003, 0, 3, {1u << 30, 0b11u, 1u << 27}}, // month 0 is December before
        {2003, 12, 3, {0, 1u << 30, 1u << 28}}, // third month is January of 2004
        {2004, -12, 2, {1u << 30, 0b11u}}, // two years back
        {2002, 13, 2, {0b11u, 1u << 27}},
        {2001, 25, 1, {0b11u}},
        {2003, 1, 0, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.year << '/' << c.month << " x" << c.count);
        EXPECT_EQ(ComputeDayMasks(c.year, c.month, c.count, MarkedIn(marked)), c.masks);
    }
}

TEST(DayMasks, AsksDaysOneToThirtyOneInEveryMonth)
{
    std::set<Date> asked;
    const auto masks = ComputeDayMasks(2003, 11, 5, [&](int y, int m, int d) {
        asked.insert({y, m, d});
        return d >= 29; // the callee decides; nonexistent days are its business
    });
    EXPECT_EQ(masks, std::vector<MONTHDAYSTATE>(5, 0x7u << 28));
    EXPECT_EQ(asked.size(), 5u * 31u);
    for (const Date& probe : {Date{2003, 11, 31}, Date{2004, 2, 30}, Date{2004, 3, 1}})
        EXPECT_TRUE(asked.count(probe)) << std::get<1>(probe) << '/' << std::get<2>(probe);
}

} // namespace
