// Japanese eras: the days each era ends and the next begins, 元年, and the era-style texts.
#include <gtest/gtest.h>

#include "core/JapaneseEras.h"

using namespace std::chrono;

namespace {

TEST(JapaneseEras, BoundaryDaysCountInTheRightEra)
{
    const std::pair<year_month_day, const char*> cases[] = {
        {1872y / December / 31, ""}, {1873y / January / 1, "明治6年1月1日"}, {1912y / July / 29, "明治45年7月29日"},
        {1912y / July / 30, "大正元年7月30日"}, {1926y / December / 24, "大正15年12月24日"},
        {1926y / December / 25, "昭和元年12月25日"}, {1989y / January / 7, "昭和64年1月7日"},
        {1989y / January / 8, "平成元年1月8日"}, {2019y / April / 30, "平成31年4月30日"},
        {2019y / May / 1, "令和元年5月1日"}, {2026y / December / 31, "令和8年12月31日"}, {2026y / February / 30, ""},
    };
    for (const auto& [date, text] : cases)
        EXPECT_EQ(jcal::FormatEraDate(date), text) << text;
    EXPECT_EQ(jcal::EraOf(1872y / December / 31), std::nullopt);
    EXPECT_EQ(jcal::EraOf(2026y / February / 14), (jcal::EraYear{"令和", 8}));
    EXPECT_EQ(jcal::FormatEraYear({"令和", 1}), "令和元年");
}

TEST(JapaneseEras, MonthsTwoErasShareNameBoth)
{
    const std::pair<year_month, const char*> cases[] = {
        {1872y / December, ""}, {1873y / January, "明治6年1月"}, {1912y / July, "明治45年・大正元年7月"},
        {1926y / December, "大正15年・昭和元年12月"}, {1989y / January, "昭和64年・平成元年1月"},
        {2019y / April, "平成31年4月"}, {2019y / May, "令和元年5月"}, {2026y / December, "令和8年12月"},
    };
    for (const auto& [month, text] : cases)
        EXPECT_EQ(jcal::FormatEraMonth(month), text) << text;
}

TEST(JapaneseEras, DescribesADateOnOneLine)
{
    EXPECT_EQ(jcal::DescribeDate(2026y / May / 6d), "2026年5月6日(水) 令和8年 第19週");
    EXPECT_EQ(jcal::DescribeDate(2019y / May / 1d), "2019年5月1日(水) 令和元年 第18週");
    EXPECT_EQ(jcal::DescribeDate(1872y / December / 31d), "1872年12月31日(火) 第1週"); // before the eras' count
}

} // namespace
