// Time to export a large date book as iCalendar: 100,000 topics of 20 to 60 Japanese
// characters, some over two lines, one per day.
#include <benchmark/benchmark.h>

#include <chrono>
#include <random>
#include <string>
#include <vector>

#include "topics/CalendarExport.h"

namespace {

using namespace std::chrono;

// Phrases of the kind people jot on a date, in UTF-8, with their length in characters.
struct Phrase {
    const char* text;
    int characters;
};
constexpr Phrase kPhrases[] = {
    {"歯医者の予約、", 7},       {"午後三時から会議室Ｂで打ち合わせ。", 17},
    {"母の誕生日", 5},           {"プレゼントを買う", 8},
    {"燃えないごみの日", 8},     {"資料を印刷して持っていく", 12},
    {"田中さんと昼食（駅前）", 11}, {"振込期限：家賃と電気代", 11},
    {"新幹線 のぞみ 8:10 東京発", 16}, {"忘れずに傘を持つこと。", 11},
};

std::string RandomTopic(std::mt19937& random)
{
    std::uniform_int_distribution<int> length(20, 60), phrase(0, std::size(kPhrases) - 1);
    std::bernoulli_distribution lineBreak(0.2);
    const int target = length(random);
    std::string text;
    for (int characters = 0; characters < target;) {
        const Phrase& p = kPhrases[phrase(random)];
        if (characters > 0 && lineBreak(random))
            text += "\r\n";
        text += p.text;
        characters += p.characters;
    }
    return text;
}

std::vector<DatedTopic> MakeTopics(int count)
{
    std::mt19937 random(20261224);
    std::vector<DatedTopic> topics;
    topics.reserve(count);
    sys_days day = sys_days{2000y / January / 1};
    for (int i = 0; i < count; ++i, day += days{1}) {
        const year_month_day date{day};
        topics.push_back({static_cast<int>(date.year()), static_cast<int>(unsigned(date.month())),
                          static_cast<int>(unsigned(date.day())), RandomTopic(random)});
    }
    return topics;
}

void BM_Export100k(benchmark::State& state)
{
    const std::vector<DatedTopic> topics = MakeTopics(100'000);
    const auto stamp = system_clock::now();
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::string ics = ExportICalendar(topics, stamp);
        bytes = ics.size();
        benchmark::DoNotOptimize(ics.data());
    }
    state.counters["bytes"] = static_cast<double>(bytes);
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(topics.size()));
}
BENCHMARK(BM_Export100k)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
