// The exported calendar must read back as the topics the date book shows, in a form other
// calendar programs accept: CR LF ends, 75-octet lines cut between characters, escaped text.
#include "topics/CalendarExport.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

using namespace std::chrono;
using namespace std::chrono_literals;

const system_clock::time_point kStamp = sys_days{2026y / 12 / 7} + 3h + 8min + 14s;

// An event as read back: name with parameters -> value, still escaped.
using Event = std::map<std::string, std::string>;

std::vector<std::string> SplitCrLf(const std::string& text)
{
    std::vector<std::string> lines;
    for (std::size_t start = 0, end; start < text.size(); start = end + 2) {
        end = text.find("\r\n", start);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

std::vector<Event> ReadEvents(std::string ics)
{
    for (std::size_t fold; (fold = ics.find("\r\n ")) != std::string::npos;)
        ics.erase(fold, 3);
    std::vector<Event> events;
    for (const std::string& line : SplitCrLf(ics)) {
        if (line == "BEGIN:VEVENT")
            events.emplace_back();
        else if (!events.empty() && line != "END:VEVENT" && line != "END:VCALENDAR")
            events.back()[line.substr(0, line.find(':'))] = line.substr(line.find(':') + 1);
    }
    return events;
}

std::vector<Event> ExportAndRead(const std::vector<DatedTopic>& topics)
{
    return ReadEvents(ExportICalendar(topics, kStamp));
}

std::string Repeat(const std::string& piece, int times)
{
    std::string text;
    while (times-- > 0)
        text += piece;
    return text;
}

const std::string kLong = Repeat("年末の大掃除と買い物", 30); // 300 characters, 900 octets

struct TextCase {
    std::string text, summary, description; // the last two as written in the file
};
const TextCase kTexts[] = {
    {"クリスマスイブ\r\nケーキを受け取る", "クリスマスイブ", "クリスマスイブ\\nケーキを受け取る"},
    {"会議, 資料; 準備", "会議\\, 資料\\; 準備", "会議\\, 資料\\; 準備"},
    {"C:\\new \\\\二重", "C:\\\\new \\\\\\\\二重", "C:\\\\new \\\\\\\\二重"},
    {"\r\n\u3000 \r\n二行目が題名\r\n", "二行目が題名", "\\n\u3000 \\n二行目が題名\\n"},
    {"行1\r行2\n行3", "行1", "行1\\n行2\\n行3"},
    {"ベル\x07と\tタブ\x7f", "ベルと\tタブ", "ベルと\tタブ"},
    {"欠け\xE3\x81と\xFF\xC0\xAF", "欠け\uFFFD\uFFFDと\uFFFD\uFFFD\uFFFD",
     "欠け\uFFFD\uFFFDと\uFFFD\uFFFD\uFFFD"},
    {kLong, kLong, kLong},
};

TEST(CalendarExportTest, TextIsEscapedAndTitledByItsFirstFilledLine)
{
    for (const TextCase& c : kTexts) {
        SCOPED_TRACE(c.text);
        const std::vector<Event> events = ExportAndRead({{2026, 12, 24, c.text}});
        ASSERT_EQ(events.size(), 1u);
        EXPECT_EQ(events[0].at("SUMMARY"), c.summary);
        EXPECT_EQ(events[0].at("DESCRIPTION"), c.description);
    }
}

TEST(CalendarExportTest, EveryLineIsCrLfEndedUtf8OfAtMost75Octets)
{
    // Long lines of 3- and 4-octet characters behind 0 to 3 ASCII octets meet the fold column
    // at every offset within a character.
    std::vector<DatedTopic> topics;
    for (const TextCase& c : kTexts)
        topics.push_back({2026, 1, static_cast<int>(topics.size()) + 1, c.text});
    for (const std::string lead : {"", "a", "ab", "abc"}) {
        topics.push_back({2026, 2, static_cast<int>(topics.size()), lead + kLong});
        topics.push_back({2026, 2, static_cast<int>(topics.size()), lead + Repeat("😀", 60)});
    }
    const std::string ics = ExportICalendar(topics, kStamp);
    ASSERT_EQ(ics.substr(ics.size() - 2), "\r\n");
    for (const std::string& line : SplitCrLf(ics)) {
        EXPECT_LE(line.size(), 75u) << line;
        EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << line;
        // Cleaned topics are well-formed UTF-8 (first test), so a character cut by a fold
        // would show as a line that goes on with a continuation byte.
        const std::size_t first = line.starts_with(' ') ? 1 : 0;
        const auto lead = static_cast<unsigned char>(line.size() > first ? line[first] : ' ');
        EXPECT_NE(lead & 0xC0, 0x80) << line;
    }
    EXPECT_EQ(ReadEvents(ics).size(), topics.size());
}

struct DateCase {
    int year, month, day;
    const char *start, *end;
};
const DateCase kDates[] = {
    {2026, 12, 24, "20261224", "20261225"}, {2026, 1, 31, "20260131", "20260201"},
    {2026, 4, 30, "20260430", "20260501"},  {2026, 12, 31, "20261231", "20270101"},
    {2024, 2, 28, "20240228", "20240229"},  {2024, 2, 29, "20240229", "20240301"},
    {2023, 2, 28, "20230228", "20230301"},  {2000, 2, 29, "20000229", "20000301"},
    {1900, 2, 28, "19000228", "19000301"},  {1, 1, 1, "00010101", "00010102"},
    {3000, 12, 30, "30001230", "30001231"},
};

TEST(CalendarExportTest, AllDayEventEndsOnTheNextDay)
{
    for (const DateCase& c : kDates) {
        SCOPED_TRACE(c.start);
        const std::vector<Event> events = ExportAndRead({{c.year, c.month, c.day, "予定"}});
        ASSERT_EQ(events.size(), 1u);
        EXPECT_EQ(events[0].at("DTSTART;VALUE=DATE"), c.start);
        EXPECT_EQ(events[0].at("DTEND;VALUE=DATE"), c.end);
        EXPECT_EQ(events[0].at("UID"), std::string(c.start) + "@ombrelclock.invalid");
    }
}

const DatedTopic kSkipped[] = {
    {2026, 13, 1, "13月"},  {2026, 4, 31, "4月31日"}, {2023, 2, 29, "平年の29日"},
    {1900, 2, 29, "1900"}, {0, 1, 1, "0年"},         {-1, 2, 3, "負の年"},
    {2026, 0, 10, "0月"},   {2026, 1, 0, "0日"},      {2026, 257, 1, "257月"},
    {2026, 1, 257, "257日"}, {3001, 1, 1, "3001年"}, {3000, 12, 31, "翌日が書けない"},
    {2026, 7, 1, ""},      {2026, 7, 2, "\r\n"},      {2026, 7, 3, " \t\u3000\r\n"},
};

TEST(CalendarExportTest, InvalidDatesAndBlankTopicsAreSkipped)
{
    for (const DatedTopic& skipped : kSkipped) {
        SCOPED_TRACE(skipped.text);
        const std::vector<Event> events = ExportAndRead({skipped, {2026, 6, 1, "残る"}});
        ASSERT_EQ(events.size(), 1u);
        EXPECT_EQ(events[0].at("SUMMARY"), "残る");
        EXPECT_EQ(ExportICalendar({skipped}, kStamp), "");
    }
}

TEST(CalendarExportTest, FirstEntryOfADateWinsAndExportsRepeatExactly)
{
    // An empty first entry hides the later one, as on the calendar.
    const std::vector<DatedTopic> topics = {{2026, 12, 24, "最初"}, {2025, 1, 1, "元日"},
                                            {2026, 12, 24, "二番目"}, {2026, 3, 3, ""},
                                            {2026, 3, 3, "隠れる"}};
    const std::string first = ExportICalendar(topics, kStamp);
    const std::vector<Event> events = ReadEvents(first);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].at("UID"), "20250101@ombrelclock.invalid");
    EXPECT_EQ(events[1].at("UID"), "20261224@ombrelclock.invalid");
    EXPECT_EQ(events[1].at("SUMMARY"), "最初");
    EXPECT_EQ(events[1].at("DTSTAMP"), "20261207T030814Z");

    std::string second = ExportICalendar(topics, kStamp + 24h);
    ASSERT_NE(second.find("DTSTAMP:20261208T030814Z"), std::string::npos);
    for (std::size_t at; (at = second.find("20261208T030814Z")) != std::string::npos;)
        second.replace(at, 16, "20261207T030814Z");
    EXPECT_EQ(second, first);

    EXPECT_NE(first.find("\r\nVERSION:2.0\r\n"), std::string::npos);
}

} // namespace
