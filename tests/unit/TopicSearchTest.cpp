// The search's matching: width, case and line breaks folded away, one date a topic (the one
// the calendar shows), latest first, and the line each date is listed with.
#include "topics/TopicSearch.h"

#include <gtest/gtest.h>

#include "topics/TopicIndex.h"

namespace {

struct Query {
    const char* query;
    const char* listed; // the lines found, " | " between them
};

constexpr Query kQueries[] = {
    {"忘年会", "2026/12/24(木) 忘年会"}, // the date's second entry and a date that cannot be are not searched
    {"abc", "2027/02/01(月) Meeting ＡＢＣ | 2026/12/24(木) 忘年会 | 2026/12/10(木) 歯医者 abc"},
    {"ＡＢＣ", "2027/02/01(月) Meeting ＡＢＣ | 2026/12/24(木) 忘年会 | 2026/12/10(木) 歯医者 abc"},
    {"meeting", "2027/02/01(月) Meeting ＡＢＣ"},
    {"ガイド", "2025/01/05(日) ｶﾞｲﾄﾞﾌﾞｯｸ"},
    {"ｶﾞｲﾄﾞ", "2025/01/05(日) ｶﾞｲﾄﾞﾌﾞｯｸ"},
    {"ｶｲ", ""}, // the voiced カ is another letter
    {"社", "2026/12/24(木) 忘年会"}, // on the second line
    {"会\nａｂｃ社", "2026/12/24(木) 忘年会"}, // across the line break
    {"会 ａｂｃ", ""},
    {"xyz", ""},
    {"", ""},
};

TEST(TopicSearch, QueriesFoldWidthCaseAndLineBreaks)
{
    CStringArray entries;
    for (const char* entry : {"[2026:12:24]忘年会\r\nＡＢＣ社", "[2026:12:10]歯医者 abc", "[2025: 1: 5]ｶﾞｲﾄﾞﾌﾞｯｸ",
                              "[2026:12:24]二つ目の忘年会", "[2026:11: 3]", "[2026:13:40]忘年会",
                              "[2027: 2: 1]\r\n \r\nMeeting ＡＢＣ"})
        entries.Add(CString(entry));
    TopicIndex index;
    index.Rebuild(entries);
    TopicSearch search;
    search.Build(entries, index);
    for (const Query& row : kQueries) {
        std::string listed;
        for (const int i : search.Find(row.query))
            listed += (listed.empty() ? "" : " | ") + search.Line(i);
        EXPECT_EQ(listed, row.listed) << row.query;
    }
}

} // namespace
