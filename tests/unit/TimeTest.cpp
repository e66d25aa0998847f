// The clock title's formatting and the minute timer's wall-clock alignment.
#include <gtest/gtest.h>

#include <clocale>

#include "core/Time.h"
#include "core/WallClock.h"

namespace {

using std::chrono::milliseconds;
using std::chrono::system_clock;

TEST(Time, TitleReadsInTheCLocaleWhateverTheUsersLocale)
{
    // Qt puts the process into the user's locale; a Japanese one must not leak into the title.
    const char* japanese = std::setlocale(LC_ALL, "ja_JP.UTF-8");
    const struct { CTime now; const char* expected; } cases[] = {
        {CTime(2003, 8, 3, 9, 3, 0), "09:03  08/03 Sun"}, // padded with zeros
        {CTime(2026, 12, 31, 23, 59, 0), "23:59  12/31 Thu"}}; // 24-hour hours
    for (const auto& c : cases) {
        ScopedClock clock([&] { return system_clock::from_time_t(c.now.GetTime()); });
        EXPECT_EQ(CTime::GetCurrentTime().Format("%H:%M  %m/%d %a"), c.expected) << (japanese ? japanese : "(no ja_JP)");
    }
    std::setlocale(LC_ALL, "C");
}

TEST(WallClock, DelayLandsOnTheNextMinute)
{
    const struct { long long nowMs, expectedMs; } cases[] = {
        {60000LL * 1000, 60000}, // exactly on a minute: the next one
        {60000LL * 1000 + 59999, 1},
        {-1, 1}, {-60000, 60000}}; // before the epoch still rounds towards the future
    for (const auto& c : cases) {
        EXPECT_EQ(DelayToNextBoundary(system_clock::time_point(milliseconds(c.nowMs)), milliseconds(60000)),
                  milliseconds(c.expectedMs)) << c.nowMs;
    }
}

} // namespace
