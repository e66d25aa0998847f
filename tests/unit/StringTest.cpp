// CString behaviour the entry format and the title rely on: byte counts and replace-all.
#include <gtest/gtest.h>

#include "core/ResourceTable.h"
#include "core/String.h"

namespace {

struct ReplaceCase {
    const char* text;
    const char* from;
    const char* to;
    const char* expected;
    int count;
};

class ReplaceTest : public testing::TestWithParam<ReplaceCase> {};

TEST_P(ReplaceTest, ReplacesEveryNonOverlappingOccurrenceLeftToRight)
{
    const ReplaceCase& c = GetParam();
    CString s(c.text);
    EXPECT_EQ(s.Replace(c.from, c.to), c.count);
    EXPECT_STREQ(s.GetString(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, ReplaceTest,
    testing::Values(
        ReplaceCase{"a\r\nb\r\nc", "\r\n", "<CR>", "a<CR>b<CR>c", 2},
        ReplaceCase{"a<CR>b", "<CR>", "\r\n", "a\r\nb", 1},
        ReplaceCase{"aaaa", "aa", "b", "bb", 2}, // no overlaps
        ReplaceCase{"aaa", "aa", "b", "ba", 1}, // leftmost wins
        ReplaceCase{"xyz", "", "q", "xyz", 0}, // empty pattern replaces nothing
        ReplaceCase{"<CR<CR>>", "<CR>", "", "<CR>", 1}, // a single pass, no re-scan
        ReplaceCase{"日本語", "本", "ほん", "日ほん語", 1}));

TEST(CStringTest, LeftCountsBytes)
{
    const CString s("[2003: 7: 5]日本");
    EXPECT_EQ(s.Left(12), CString("[2003: 7: 5]"));
    EXPECT_EQ(s.Left(0), CString(""));
    EXPECT_EQ(s.Left(-3), CString(""));
    EXPECT_EQ(s.Left(1000), s);
    EXPECT_EQ(s.GetLength(), 12 + 6);
}

TEST(CStringTest, FormatGrowsPastAnySmallBuffer)
{
    CString s;
    s.Format("[%4d:%2d:%2d]", 2003, 7, 5);
    EXPECT_EQ(s, "[2003: 7: 5]");
    const std::string big(10000, 'x');
    s.Format("%s|%05d", big.c_str(), 42);
    EXPECT_EQ(s.GetLength(), 10006);
    EXPECT_EQ(s.view().substr(10000), "|00042");
}

TEST(CStringTest, LoadStringReadsTheRegisteredTable)
{
    static constexpr StringResource kStrings[] = {{101, "OmbrelClock の情報と設定(&A)"}};
    static const ResourceTable kTable{{}, kStrings, {}};
    AfxSetResourceTable(&kTable);
    CString s("old");
    EXPECT_TRUE(s.LoadString(101));
    EXPECT_EQ(s, "OmbrelClock の情報と設定(&A)");
    EXPECT_FALSE(s.LoadString(9999));
    EXPECT_TRUE(s.IsEmpty());
    AfxSetResourceTable(nullptr);
    EXPECT_FALSE(s.LoadString(101));
}

} // namespace
