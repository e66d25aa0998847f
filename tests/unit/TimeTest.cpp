// The clock title's formatting and the minute timer's wall-clock alignment.
#include <gtest/gtest.h>

#include <clocale>
#include <tuple>

#include "core/Time.h"
#include "core/WallClock.h"

namespace {

using std::chrono::milliseconds;
using std::chrono::system_clock;

struct TitleCase { int year, month, day, hour, minute; const char* expected; };

class TitleTest : public testing::TestWithParam<TitleCase> {};

TEST_P(TitleTest, ReadsInTheCLocaleWhateverTheUsersLocale)
{
    const TitleCase& c = GetParam();
    // Qt puts the process into the user's locale; a Japanese one must not leak into the title.
    const char* japanese = std::setlocale(LC_ALL, "ja_JP.UTF-8");
    const CTime set(c.year, c.month, c.day, c.hour, c.minute, 0);
    ScopedClock clock([&] { return system_clock::from_time_t(set.GetTime()); });
    const CTime now = CTime::GetCurrentTime();
    EXPECT_EQ(now.Format("%H:%M  %m/%d %a"), c.expected) << (japanese ? japanese : "(no ja_JP locale)");
    EXPECT_EQ(std::tuple(now.GetYear(), now.GetMonth(), now.GetDay()), std::tuple(c.year, c.month, c.day));
    std::setlocale(LC_ALL, "C");
}

INSTANTIATE_TEST_SUITE_P(Times, TitleTest,
    testing::Values(
        TitleCase{2003, 8, 3, 9, 3, "09:03  08/03 Sun"},
        TitleCase{2026, 12, 31, 23, 59, "23:59  12/31 Thu"}, // 24-hour hours, last minute of the year
        TitleCase{2027, 1, 1, 0, 0, "00:00  01/01 Fri"}, // New Year's midnight
        TitleCase{2024, 2, 29, 12, 30, "12:30  02/29 Thu"})); // leap day

struct DelayCase { long long nowMs, expectedMs; };

class MinuteDelayTest : public testing::TestWithParam<DelayCase> {};

TEST_P(MinuteDelayTest, LandsOnTheNextMinute)
{
    const auto now = system_clock::time_point(milliseconds(GetParam().nowMs));
    EXPECT_EQ(DelayToNextBoundary(now, milliseconds(60000)), milliseconds(GetParam().expectedMs));
}

INSTANTIATE_TEST_SUITE_P(Instants, MinuteDelayTest,
    testing::Values(
        DelayCase{60000LL * 1000, 60000}, // exactly on a minute: the next one
        DelayCase{60000LL * 1000 + 1, 59999},
        DelayCase{60000LL * 1000 + 59999, 1},
        DelayCase{-1, 1}, // before the epoch still rounds towards the future
        DelayCase{-60000, 60000}));

} // namespace
