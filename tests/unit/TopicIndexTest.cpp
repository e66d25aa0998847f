// The date index must always answer like a scan of the list from the front.
#include "topics/TopicIndex.h"

#include <random>

#include <gtest/gtest.h>

#include "topics/TopicEntry.h"

namespace {

int LinearFind(const CStringArray& list, int y, int m, int d)
{
    for (int i = 0; i < list.GetSize(); ++i) {
        const auto h = ParseTopicHeader(list[i].view());
        if (h && h->year == y && h->month == m && h->day == d)
            return i;
    }
    return -1;
}

struct Day {
    int y, m, d;
};
constexpr Day kDays[] = {{2003, 7, 5}, {2003, 7, 6}, {2004, 1, 1}, {-1, 2, 3}};

void ExpectMatchesScan(const TopicIndex& index, const CStringArray& list)
{
    for (const auto& day : kDays)
        ASSERT_EQ(index.Find(day.y, day.m, day.d), LinearFind(list, day.y, day.m, day.d))
            << day.y << '-' << day.m << '-' << day.d;
    ASSERT_EQ(index.Find(1999, 1, 1), -1);
}

TEST(TopicIndex, RandomEditsAgreeWithLinearScan)
{
    std::mt19937 rng(20030705);
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    // Padded headers, short hand-written ones (same date, different bytes) and junk.
    auto randomEntry = [&]() -> CString {
        if (pick(5) == 0)
            return CString("garbage");
        const Day& day = kDays[pick(static_cast<int>(std::size(kDays)))];
        if (pick(2))
            return FormatTopicHeader(day.y, day.m, day.d) + "t";
        CString shortForm;
        shortForm.Format("[%d:%d:%d]", day.y, day.m, day.d);
        return shortForm;
    };

    for (int run = 0; run < 50; ++run) {
        CStringArray list;
        TopicIndex index;
        for (int step = 0; step < 60; ++step) {
            const int op = pick(10);
            if (op < 4 || list.GetSize() == 0) {
                const int i = list.Add(randomEntry());
                index.Stored(i, list[i].view());
            } else if (op < 9) {
                const int i = pick(list.GetSize());
                list.SetAt(i, randomEntry());
                index.Stored(i, list[i].view());
            } else if (pick(3)) {
                index.Rebuild(list);
            } else { // the list emptied, as before a load
                list.RemoveAll();
                index.Clear();
            }
            ExpectMatchesScan(index, list);
            if (HasFatalFailure())
                return;
        }
    }
}

} // namespace
