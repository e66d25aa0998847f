// Timings of the topic list at 1,000 to 100,000 entries: loading at start-up, one edit and its
// save (one file replace), and the 93 date lookups of one three-month bold-date refresh.
#include <benchmark/benchmark.h>

#include "GuiBenchMain.h"

#include <QApplication>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "profile/AtomicFile.h"
#include "clock/ClockApp.h"
#include "profile/ProfileStore.h"
#include "core/WinTypes.h"
#include "clock/ClockDialog.h"
#include "res/Resource.h"

// The application object the clock window and the profile operations expect.
CClockApp theApp;

namespace {

namespace fs = std::filesystem;

struct Date {
    int year, month, day;
};

int DaysIn(int year, int month)
{
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

// n distinct dates, shuffled, from a span of years wide enough to hold them: a date book kept
// for decades, with the largest lists reaching back centuries.
std::vector<Date> DistinctDates(int n, std::mt19937& rng)
{
    std::vector<Date> all;
    for (int year = 2030 - std::max(10, n / 300);; --year) {
        for (int month = 1; month <= 12; ++month)
            for (int day = 1; day <= DaysIn(year, month); ++day)
                all.push_back({year, month, day});
        if (static_cast<int>(all.size()) >= n * 3 / 2 || year < 1)
            break;
    }
    std::shuffle(all.begin(), all.end(), rng);
    all.resize(static_cast<std::size_t>(n));
    return all;
}

// 10-40 bytes of Japanese text, now and then over two lines.
CString TopicText(std::mt19937& rng)
{
    static const char* const kWords[] = {"会議", "忘年会", "誕生日", "歯医者", "打ち合わせ", "締め切り", "買い物",
                                         "旅行", "新年会", "引っ越し", "健康診断", "発表", "納品", "出張"};
    std::uniform_int_distribution<int> word(0, static_cast<int>(std::size(kWords)) - 1);
    std::uniform_int_distribution<int> length(10, 40);
    const std::size_t target = static_cast<std::size_t>(length(rng));
    std::string text;
    while (text.size() < target) {
        const std::string next = kWords[word(rng)];
        if (text.size() + next.size() > 40)
            break;
        if (!text.empty() && rng() % 5 == 0 && text.size() + next.size() + 2 <= 40)
            text += "\r\n";
        text += next;
    }
    return CString(std::move(text));
}

// One list size: the clock window holding it, and two identical profile files so that every
// load starts from a file the store has not read yet, as at start-up.
struct Fixture {
    fs::path folder;
    std::string fileA;
    std::string fileB;
    Date busiest{}; // the first month of the three refreshed
    std::unique_ptr<CClockDialog> dlg;

    ~Fixture()
    {
        std::error_code ec;
        fs::remove_all(folder, ec);
    }
};

std::map<int, std::unique_ptr<Fixture>>& Fixtures()
{
    static std::map<int, std::unique_ptr<Fixture>> fixtures;
    return fixtures;
}

bool g_writeFailed = false;

// Selects a profile file; a failed write is recorded here rather than shown in a message box.
ProfileStore& UseProfile(const std::string& path)
{
    theApp.SetProfilePath(path.c_str());
    ProfileStore& store = theApp.Profile();
    store.SetErrorHandler([](const ProfileError& error) {
        std::fprintf(stderr, "write failed: %s: %s\n", error.file.c_str(), error.reason.c_str());
        g_writeFailed = true;
    });
    return store;
}

Fixture& FixtureFor(int n)
{
    auto& slot = Fixtures()[n];
    if (slot)
        return *slot;
    slot = std::make_unique<Fixture>();
    Fixture& f = *slot;
    std::string pattern = (fs::temp_directory_path() / "topics_bench.XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        std::perror("mkdtemp");
        std::exit(1);
    }
    f.folder = pattern;
    f.fileA = (f.folder / "a.ini").string();
    f.fileB = (f.folder / "b.ini").string();

    std::mt19937 rng(20261224u + static_cast<unsigned>(n));
    f.dlg = std::make_unique<CClockDialog>();
    const std::vector<Date> dates = DistinctDates(n, rng);
    for (const Date& d : dates)
        f.dlg->StoreTopic(TopicText(rng), d.year, d.month, d.day);
    f.busiest = dates.front();
    UseProfile(f.fileA);
    f.dlg->SaveTopics();
    fs::copy_file(f.fileA, f.fileB, fs::copy_options::overwrite_existing);
    if (g_writeFailed || f.dlg->m_topics.GetSize() != n) {
        std::fprintf(stderr, "could not prepare %d topics\n", n);
        std::exit(1);
    }
    return f;
}

void BM_LoadTopics(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    Fixture& f = FixtureFor(n);
    CClockDialog dlg;
    for (auto _ : state) {
        // A store for the file not read last: the load reads and parses it, as at start-up.
        const bool onA = theApp.Profile().path() == f.fileA;
        theApp.SetProfilePath((onA ? f.fileB : f.fileA).c_str());
        dlg.LoadTopics();
        benchmark::DoNotOptimize(dlg.m_topics.GetSize());
    }
    if (dlg.m_topics.GetSize() != n)
        state.SkipWithError("the load did not give every entry");
    state.SetComplexityN(n);
    state.SetItemsProcessed(state.iterations() * n);
}

void BM_SaveTopics(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    Fixture& f = FixtureFor(n);
    CClockDialog& dlg = *f.dlg;
    ProfileStore& store = UseProfile(f.fileA);
    g_writeFailed = false;

    // Untimed: one save with every replace step counted, and the file's identity compared.
    int renames = 0;
    int temps = 0;
    store.SetReplaceHook([&](ReplaceStep step) {
        renames += step == ReplaceStep::Rename;
        temps += step == ReplaceStep::CreateTemp;
        return 0;
    });
    const FileStamp before = StampFile(f.fileA);
    // One edit of the busiest date, then its save: what closing the editor with Enter costs. A
    // new text every time (the benchmark runs this function more than once), or nothing is saved.
    static int edit = 0;
    const auto editAndSave = [&] {
        CString text;
        text.Format("会議の資料を送る (%d)", ++edit);
        dlg.StoreTopic(text, f.busiest.year, f.busiest.month, f.busiest.day);
        dlg.SaveTopics();
    };
    editAndSave();
    const FileStamp after = StampFile(f.fileA);
    store.SetReplaceHook({});
    state.counters["renames_per_save"] = renames;
    state.counters["temps_per_save"] = temps;
    state.counters["inode_changed"] = before.inode != after.inode;
    state.counters["file_MB"] = static_cast<double>(after.size) / 1e6;
    if (renames != 1 || temps != 1 || before.inode == after.inode)
        state.SkipWithError("the save was not exactly one file replace");

    for (auto _ : state)
        editAndSave();
    if (g_writeFailed)
        state.SkipWithError("a save failed");
    state.SetComplexityN(n);
    state.SetItemsProcessed(state.iterations() * n);
}

// One edit and its save in a profile the user brings (OMBREL_BENCH_PROFILE, e.g. a CP932 file
// from bench/make-topics-profile.py), loaded the way the clock loads it at start.
void BM_SaveTopicsInGivenFile(benchmark::State& state)
{
    const char* given = std::getenv("OMBREL_BENCH_PROFILE");
    if (!given) {
        state.SkipWithError("OMBREL_BENCH_PROFILE names no profile");
        return;
    }
    const fs::path copy = fs::temp_directory_path() / "topics_bench_given.ini";
    fs::copy_file(given, copy, fs::copy_options::overwrite_existing);
    UseProfile(copy.string());
    g_writeFailed = false;
    CClockDialog dlg;
    dlg.LoadTopics();
    int edit = 0;
    for (auto _ : state) {
        CString text;
        text.Format("会議の資料を送る (%d)", ++edit);
        dlg.StoreTopic(text, 2026, 12, 24);
        dlg.SaveTopics();
    }
    if (g_writeFailed)
        state.SkipWithError("a save failed");
    state.counters["topics"] = dlg.m_topics.GetSize();
    state.counters["file_MB"] = static_cast<double>(fs::file_size(copy)) / 1e6;
    fs::remove(copy);
}

void BM_DayMarkRefresh(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    Fixture& f = FixtureFor(n);
    CClockDialog& dlg = *f.dlg;
    // The calendar's request for three months' masks, handled by the window's real handler:
    // 3 x 31 date lookups.
    NMDAYSTATE request{};
    request.nmhdr.idFrom = IDC_CALENDAR;
    request.nmhdr.code = MCN_GETDAYSTATE;
    request.stStart.wYear = static_cast<WORD>(f.busiest.year);
    request.stStart.wMonth = static_cast<WORD>(f.busiest.month);
    request.stStart.wDay = 1;
    request.cDayState = 3;
    MONTHDAYSTATE first = 0;
    for (auto _ : state) {
        request.prgDayState = nullptr;
        dlg.SendMessage(WM_NOTIFY, IDC_CALENDAR, reinterpret_cast<LPARAM>(&request));
        first = request.prgDayState ? request.prgDayState[0] : 0;
        benchmark::DoNotOptimize(first);
    }
    // The month the window starts at holds a topic, so a refresh that found nothing is wrong.
    if (!(first & (MONTHDAYSTATE{1} << (f.busiest.day - 1))))
        state.SkipWithError("the refresh did not mark a stored date");
    state.SetComplexityN(n);
    state.counters["lookups"] = 93;
}

void Sizes(benchmark::internal::Benchmark* b)
{
    b->Arg(1000)->Arg(10000)->Arg(100000);
}

} // namespace

BENCHMARK(BM_LoadTopics)->Apply(Sizes)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);
BENCHMARK(BM_SaveTopics)->Apply(Sizes)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);
BENCHMARK(BM_SaveTopicsInGivenFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DayMarkRefresh)->Apply(Sizes)->Unit(benchmark::kMicrosecond)->Complexity(benchmark::o1);

int main(int argc, char** argv)
{
    return RunGuiBenchmarks(argc, argv, [] { Fixtures().clear(); });
}
