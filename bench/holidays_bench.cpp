// Timings of the holiday engine: one year computed from scratch, and the 42 cells of a six-week
// month grid classified as the painted calendar does (weekday and holiday) with the year cache warm.
#include <benchmark/benchmark.h>

#include <array>
#include <chrono>

#include "core/JapaneseHolidays.h"

namespace {

using namespace std::chrono;

void BM_HolidaysOfYear(benchmark::State& state)
{
    int y = jcal::kFirstHolidayYear;
    for (auto _ : state) {
        // HolidaysOfYear never reads the cache, so every call is a full computation.
        benchmark::DoNotOptimize(jcal::HolidaysOfYear(y));
        y = y == jcal::kLastHolidayYear ? jcal::kFirstHolidayYear : y + 1;
    }
}
BENCHMARK(BM_HolidaysOfYear);

enum class Cell : unsigned char { Plain, Saturday, Holiday };

// December 2026's grid: it runs into January 2027, so two cached years serve it.
void BM_GridDayStates(benchmark::State& state)
{
    const sys_days firstOfMonth{2026y / December / 1};
    const sys_days firstCell = firstOfMonth - (weekday{firstOfMonth} - Sunday);
    std::array<Cell, 42> cells{};
    benchmark::DoNotOptimize(jcal::HolidayOn(year_month_day{firstCell + days{41}}));
    for (auto _ : state) {
        for (int i = 0; i < 42; ++i) {
            const sys_days d = firstCell + days{i};
            const weekday wd{d};
            const bool red = wd == Sunday || jcal::HolidayOn(year_month_day{d}).has_value();
            cells[i] = red ? Cell::Holiday : wd == std::chrono::Saturday ? Cell::Saturday : Cell::Plain;
        }
        benchmark::DoNotOptimize(cells);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_GridDayStates);

} // namespace
