// Topic entry headers, text recovery, line-break conversions and settings keys.
#include "topics/TopicEntry.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <tuple>

namespace {

TEST(TopicEntry, HeadersPadWithSpacesAndKeysWithZeros)
{
    EXPECT_EQ(FormatTopicHeader(2003, 7, 5), "[2003: 7: 5]");
    EXPECT_EQ(FormatTopicHeader(1999, 12, 31), "[1999:12:31]");
    EXPECT_EQ(TopicKey(0), "00000");
    EXPECT_EQ(TopicKey(123456), "123456");
}

TEST(TopicHeader, ParsesLikeTheHeaderPattern)
{
    using namespace std::string_view_literals;
    const struct {
        std::string_view entry;
        int year = 0, month = 0, day = 0, length = 0; // length 0: no date
    } cases[] = {
        {"[2003: 7: 5]text", 2003, 7, 5, 12},
        {"[2003:7:5]x", 2003, 7, 5, 10},
        {"[2003: 7: 5x", 2003, 7, 5, 11}, // no closing bracket needed
        {"[2003: 7:  5]", 2003, 7, 5, 12}, // ']' past byte 12 is text
        {"[2003: 7: 5\0]"sv, 2003, 7, 5, 11},
        {"[+203:-1:-5]", 203, -1, -5, 12}, // a sign is one of the four digits
        {"[+2003:7:5]"},
        {"[  2003:  7:  5]"}, // day lies past byte 12
        {"[12345:1:1]"},
        {"[2003:123:1]"},
        {"[2003 : 7: 5]"},
        {" [2003: 7: 5]"},
        {"2003: 7: 5]"},
        {"[2003: 7]"},
        {""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entry);
        const auto parsed = ParseTopicHeader(c.entry);
        ASSERT_EQ(parsed.has_value(), c.length > 0);
        const ParsedHeader p = parsed.value_or(ParsedHeader{});
        EXPECT_EQ(std::tie(p.year, p.month, p.day, p.length), std::tie(c.year, c.month, c.day, c.length));
    }
}

// Headers as the program writes them take a quicker path than other headers; every mix of
// digits, blanks and signs in the number fields must read as the header pattern reads it.
TEST(TopicHeader, QuickPathAgreesWithThePattern)
{
    const char alphabet[] = {' ', '0', '7', '-'};
    const std::size_t fields[] = {1, 2, 3, 4, 6, 7, 9, 10};
    std::string entry = "[0000:00:00]";
    for (int n = 0; n < 1 << 16; ++n) {
        for (std::size_t f = 0; f < 8; ++f)
            entry[fields[f]] = alphabet[(n >> (2 * f)) & 3];
        int y = 0, m = 0, d = 0, used = -1;
        const bool matched = std::sscanf(entry.c_str(), "[%4d:%2d:%2d%n", &y, &m, &d, &used) == 3 && used >= 0;
        const auto parsed = ParseTopicHeader(entry);
        ASSERT_EQ(parsed.has_value(), matched) << entry;
        if (matched) {
            ASSERT_EQ(std::tie(parsed->year, parsed->month, parsed->day), std::tie(y, m, d)) << entry;
        }
    }
}

TEST(TopicText, RemovesOnlyTheHeader)
{
    const struct { const char *entry, *text; } cases[] = {
        {"[2003: 7: 5]Hello", "Hello"},
        {"[2003: 7: 5]", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TopicText(c.entry, ParseTopicHeader(c.entry).value()), c.text) << c.entry;
}

TEST(LineBreaks, NormaliseToCrLf)
{
    const struct { const char *in, *out; } cases[] = {
        {"\r\r\n\n", "\r\n\r\n\r\n"}, // lone CR, CR LF, lone LF
        {"a\n\rb", "a\r\n\r\nb"}, // LF CR is two breaks
        {"\r", "\r\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NormalizeLineBreaks(c.in), c.out) << c.in;
}

TEST(LineBreaks, EscapeAndUnescape)
{
    const struct { const char *text, *saved, *readBack; } cases[] = {
        {"a\r\nb\r\n", "a<CR>b<CR>", "a\r\nb\r\n"},
        {"a\rb\nc<CR", "a\rb\nc<CR", "a\rb\nc<CR"}, // only full CR LF pairs and full markers
        // The saved form cannot tell a typed "<CR>" from a break; pin that it becomes one.
        {"type <CR>\r\nhere", "type <CR><CR>here", "type \r\n\r\nhere"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EscapeLineBreaks(c.text), c.saved) << c.text;
        EXPECT_EQ(UnescapeLineBreaks(c.saved), c.readBack) << c.text;
    }
}

} // namespace
