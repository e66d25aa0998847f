// Topic entry headers, text recovery, line-break conversions and settings keys.
#include "topics/TopicEntry.h"

#include <gtest/gtest.h>

namespace {

TEST(TopicHeader, FormatsWithSpacePadding)
{
    EXPECT_EQ(FormatTopicHeader(2003, 7, 5), "[2003: 7: 5]");
    EXPECT_EQ(FormatTopicHeader(1999, 12, 31), "[1999:12:31]");
    EXPECT_EQ(FormatTopicHeader(2003, 7, 5).GetLength(), 12);
}

TEST(TopicHeader, ParsesLikeTheHeaderPattern)
{
    using namespace std::string_view_literals;
    const struct {
        std::string_view entry;
        int year = 0, month = 0, day = 0, length = 0; // length 0: no date
    } cases[] = {
        {"[2003: 7: 5]text", 2003, 7, 5, 12},
        {"[2003:07:05]", 2003, 7, 5, 12},
        {"[2003:7:5]x", 2003, 7, 5, 10},
        {"[2003: 7: 5x", 2003, 7, 5, 11}, // no closing bracket needed
        {"[1:2:3", 1, 2, 3, 6},
        {"[2003: 7:  5]", 2003, 7, 5, 12}, // ']' past byte 12 is text
        {"[2003: 7:  56", 2003, 7, 5, 12}, // so is a digit
        {"[2003: 7: 5\0]"sv, 2003, 7, 5, 11},
        {"[-12:-1:-5]", -12, -1, -5, 11},
        {"[+203:+1:+5]", 203, 1, 5, 12},
        {"[+2003:7:5]"}, // the sign is one of the four
        {"[  2003:  7:  5]"}, // day lies past byte 12
        {"[12345:1:1]"},
        {"[2003:123:1]"},
        {"[2003 : 7: 5]"},
        {" [2003: 7: 5]"},
        {"2003: 7: 5]"},
        {"[2003: 7]"},
        {"[2003: 7:"},
        {"[abcd:ef:gh]"},
        {""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entry);
        const auto parsed = ParseTopicHeader(c.entry);
        ASSERT_EQ(parsed.has_value(), c.length > 0);
        if (parsed) {
            EXPECT_EQ(parsed->year, c.year);
            EXPECT_EQ(parsed->month, c.month);
            EXPECT_EQ(parsed->day, c.day);
            EXPECT_EQ(parsed->length, c.length);
        }
    }
}

TEST(TopicText, RemovesOnlyTheHeader)
{
    const struct {
        const char* entry;
        const char* text;
    } cases[] = {
        {"[2003: 7: 5]Hello", "Hello"},
        {"[2003: 7: 5]", ""},
        {"[2003:7:5]Hello", "Hello"},
        {"[2003: 7: 5]see [2003: 7: 5] again", "see [2003: 7: 5] again"},
        {"[2003: 7: 5]line\r\nnext", "line\r\nnext"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entry);
        const auto parsed = ParseTopicHeader(c.entry);
        ASSERT_TRUE(parsed);
        EXPECT_EQ(TopicText(c.entry, *parsed), c.text);
    }
}

TEST(LineBreaks, NormaliseToCrLf)
{
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"a\r\nb", "a\r\nb"},
        {"a\nb", "a\r\nb"},
        {"a\rb", "a\r\nb"},
        {"a\n\rb", "a\r\n\r\nb"},
        {"\r\r\n\n", "\r\n\r\n\r\n"},
        {"\r", "\r\n"},
        {"plain", "plain"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NormalizeLineBreaks(c.in), c.out) << c.in;
}

TEST(LineBreaks, EscapeAndUnescape)
{
    EXPECT_EQ(EscapeLineBreaks("a\r\nb\r\n"), "a<CR>b<CR>");
    EXPECT_EQ(EscapeLineBreaks("a\rb\nc"), "a\rb\nc"); // only full CR LF pairs
    EXPECT_EQ(UnescapeLineBreaks("a<CR>b<CR>"), "a\r\nb\r\n");
    EXPECT_EQ(UnescapeLineBreaks("a\rb\nc<CR"), "a\rb\nc<CR");

    for (const char* text : {"", "one", "one\r\ntwo", "\r\n\r\n", "x\r\n"}) {
        const CString normal = NormalizeLineBreaks(text);
        EXPECT_EQ(UnescapeLineBreaks(EscapeLineBreaks(normal.view()).view()), normal) << text;
    }
}

TEST(LineBreaks, LiteralCrMarkerReadsBackAsBreak)
{
    // The saved form cannot tell a typed "<CR>" from a break; pin that it becomes one.
    const CString saved = EscapeLineBreaks("type <CR>\r\nhere");
    EXPECT_EQ(saved, "type <CR><CR>here");
    EXPECT_EQ(UnescapeLineBreaks(saved.view()), "type \r\n\r\nhere");
}

TEST(TopicKey, FiveDigitsOrMore)
{
    EXPECT_EQ(TopicKey(0), "00000");
    EXPECT_EQ(TopicKey(99999), "99999");
    EXPECT_EQ(TopicKey(123456), "123456");
}

} // namespace
