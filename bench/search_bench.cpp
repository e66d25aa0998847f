// Time from a keystroke in the search box to the updated list, and the cost of opening the
// search (the folded copy of every topic), for the topics of a profile the user brings
// (OMBREL_BENCH_PROFILE, e.g. bench/make-topics-profile.py 100000 FILE).
#include <benchmark/benchmark.h>

#include "GuiBenchMain.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QTimer>

#include <cstdlib>

#include "clock/ClockApp.h"
#include "framework/qt/WndImpl.h"
#include "profile/ProfileStore.h"
#include "res/Resource.h"
#include "topics/SearchDialog.h"
#include "topics/TopicFile.h"
#include "topics/TopicIndex.h"

// The application object: the dialog's template and font come through it.
CClockApp theApp;

namespace {

struct Topics {
    CStringArray entries;
    TopicIndex index;
};

// The profile's topics, read as the clock reads them; null without a profile.
const Topics* GivenTopics()
{
    static const Topics* topics = [] () -> const Topics* {
        const char* given = std::getenv("OMBREL_BENCH_PROFILE");
        if (!given)
            return nullptr;
        auto* read = new Topics;
        ProfileStore store(given);
        ReadTopicEntries(store, read->entries);
        read->index.Rebuild(read->entries);
        return read;
    }();
    return topics;
}

void BM_SearchOpen(benchmark::State& state)
{
    const Topics* topics = GivenTopics();
    if (!topics) {
        state.SkipWithError("OMBREL_BENCH_PROFILE names no profile");
        return;
    }
    for (auto _ : state) {
        TopicSearch search;
        search.Build(topics->entries, topics->index);
        benchmark::DoNotOptimize(search.GetSize());
    }
    state.counters["topics"] = topics->entries.GetSize();
}

// What is in the box already, and the key then typed.
struct Keystroke {
    const char* before;
    const char* key;
};
// The words of make-topics-profile.py: "、" joins them (every topic has one), 会議 is one of ten.
constexpr Keystroke kKeystrokes[] = {
    {"", "、"}, // every topic listed
    {"", "会"}, // the first key: about a third of them
    {"会", "議"}, // narrowing
    {"会議", "ｘ"}, // to nothing
};

void SendKey(QWidget* box, int key, const QString& text)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(box, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(box, &release);
}

void BM_SearchKeystroke(benchmark::State& state)
{
    const Topics* topics = GivenTopics();
    if (!topics) {
        state.SkipWithError("OMBREL_BENCH_PROFILE names no profile");
        return;
    }
    const Keystroke& stroke = kKeystrokes[state.range(0)];
    state.SetLabel(std::string(stroke.before) + " + " + stroke.key);
    CSearchDialog dlg;
    dlg.m_search.Build(topics->entries, topics->index);
    QTimer::singleShot(0, [&] {
        QWidget* window = dlg.GetImpl() ? dlg.GetImpl()->widget.data() : nullptr;
        auto* box = window ? window->findChild<QLineEdit*>() : nullptr;
        auto* list = window ? window->findChild<QListView*>() : nullptr;
        if (!box || !list) {
            state.SkipWithError("no search dialog");
            dlg.EndDialog(IDCANCEL);
            return;
        }
        box->setText(QString::fromUtf8(stroke.before));
        int rows = 0;
        for (auto _ : state) {
            SendKey(box, Qt::Key_unknown, QString::fromUtf8(stroke.key));
            list->viewport()->repaint(); // the rows on show, painted
            rows = list->model()->rowCount();
            state.PauseTiming();
            SendKey(box, Qt::Key_Backspace, {});
            state.ResumeTiming();
        }
        state.counters["rows"] = rows;
        dlg.EndDialog(IDCANCEL);
    });
    dlg.DoModal();
}

} // namespace

BENCHMARK(BM_SearchOpen)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchKeystroke)->DenseRange(0, std::size(kKeystrokes) - 1)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    return RunGuiBenchmarks(argc, argv);
}
