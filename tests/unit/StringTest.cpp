// CString behaviour the entry format and the title rely on: byte counts and replace-all.
#include <gtest/gtest.h>

#include "core/ResourceTable.h"
#include "core/String.h"

namespace {

TEST(CStringTest, ReplacesEveryNonOverlappingOccurrenceLeftToRight)
{
    const struct { const char *text, *from, *to, *expected; int count; } cases[] = {
        {"a\r\nb\r\nc", "\r\n", "<CR>", "a<CR>b<CR>c", 2},
        {"aaa", "aa", "b", "ba", 1}, // leftmost wins, none overlapping
        {"xyz", "", "q", "xyz", 0}, // empty pattern replaces nothing
        {"<CR<CR>>", "<CR>", "", "<CR>", 1}, // a single pass, no re-scan
    };
    for (const auto& c : cases) {
        CString s(c.text);
        EXPECT_EQ(s.Replace(c.from, c.to), c.count) << c.text;
        EXPECT_STREQ(s.GetString(), c.expected);
    }
}

TEST(CStringTest, LeftCountsBytes)
{
    const CString s("[2003: 7: 5]日本");
    EXPECT_EQ(s.GetLength(), 12 + 6);
    EXPECT_EQ(s.Left(12), CString("[2003: 7: 5]"));
    EXPECT_EQ(s.Left(-3), CString(""));
    EXPECT_EQ(s.Left(1000), s);
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
