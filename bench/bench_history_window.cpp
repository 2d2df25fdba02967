// The Playback History window with a full store (2000 plays, the store's cap): opening it to its
// first painted frame, and one keystroke in the search field through to the repainted table.
// Both should fit in one 60 Hz frame (16.7 ms). Figures go in bench/README.md.
//
// Runs on the offscreen platform, whose windows have a real backing store: a frame is the posted
// layout and paint work that the event loop runs, counted by the table's paint events.

#include "BenchGui.h"
#include "BenchLibrary.h"
#include "BenchModel.h"
#include "PlaybackHistory/PlaybackHistoryWindow.h"
#include "SwitcherModel.h"

#include <QApplication>
#include <QEvent>
#include <QHostAddress>
#include <QLineEdit>
#include <QSettings>
#include <QTableView>
#include <QTcpServer>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// A model over an engine whose store already holds `count` plays.
struct Fixture {
    explicit Fixture(int count)
    {
        settings =
            std::make_unique<QSettings>(dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
        settings->setValue(QStringLiteral("switcher.port"), freePort());
        auto engine = std::make_unique<RateSwitcher>(
            settings.get(), dir.filePath(QStringLiteral("History.json")), dir.path());
        for (const PlaybackHistory::Entry &entry : makeBenchPlays(count))
            engine->history().append(entry);
        model = std::make_unique<SwitcherModel>(PlatformServices{}, std::move(engine),
                                                std::make_unique<StillClock>());
    }

    QTemporaryDir dir;
    std::unique_ptr<QSettings> settings;
    std::unique_ptr<SwitcherModel> model;
};

// Runs the posted work of one frame: the layout, then the repaint of the window's backing
// store, as the screen's next refresh would.
void frame()
{
    QCoreApplication::processEvents();
}

// The window shown at its bench size after its first frame, its table's paints counted from then.
struct ShownWindow {
    explicit ShownWindow(SwitcherModel &model) : window(model)
    {
        window.resize(960, 520);
        window.show();
        frame();
        window.table()->viewport()->installEventFilter(&counter);
    }
    PlaybackHistoryWindow window;
    PaintCounter counter;
};

void BM_OpenWindow(benchmark::State &state)
{
    Fixture fixture(int(state.range(0)));
    PaintCounter counter;
    for (auto _ : state) {
        PlaybackHistoryWindow window(*fixture.model);
        window.resize(960, 520);
        window.table()->viewport()->installEventFilter(&counter);
        window.show();
        frame();
    }
    state.counters["plays"] = double(fixture.model->history().size());
    state.counters["paints"] = benchmark::Counter(counter.paints, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_OpenWindow)->Arg(2000)->Unit(benchmark::kMillisecond);

// Typing "blue" one letter at a time and deleting it again: broad and narrow queries alike.
void BM_SearchKeystroke(benchmark::State &state)
{
    Fixture fixture(int(state.range(0)));
    ShownWindow shown(*fixture.model);
    PlaybackHistoryWindow &window = shown.window;
    const QStringList typed = {"b", "bl", "blu", "blue", "blu", "bl", "b", ""};
    qsizetype next = 0;
    for (auto _ : state) {
        window.searchField()->setText(typed.at(next));
        next = (next + 1) % typed.size();
        frame();
    }
    state.counters["paints"] = benchmark::Counter(shown.counter.paints, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_SearchKeystroke)->Arg(2000)->Unit(benchmark::kMillisecond);

// A repaint with nothing changed: the floor under every keystroke.
void BM_RepaintOnly(benchmark::State &state)
{
    Fixture fixture(int(state.range(0)));
    ShownWindow shown(*fixture.model);
    PlaybackHistoryWindow &window = shown.window;
    for (auto _ : state) {
        window.update();
        window.table()->viewport()->update();
        frame();
    }
    state.counters["paints"] = benchmark::Counter(shown.counter.paints, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_RepaintOnly)->Arg(2000)->Unit(benchmark::kMillisecond);

// The same keystrokes without the widgets: the rows alone.
void BM_VisibleEntries(benchmark::State &state)
{
    const QList<PlaybackHistory::Entry> plays = makeBenchPlays(int(state.range(0)));
    const QStringList typed = {"b", "bl", "blu", "blue", "blu", "bl", "b", ""};
    PlaybackHistoryWindowView view;
    qsizetype next = 0;
    for (auto _ : state) {
        view.search = typed.at(next);
        next = (next + 1) % typed.size();
        benchmark::DoNotOptimize(view.visibleEntries(plays));
    }
}
BENCHMARK(BM_VisibleEntries)->Arg(2000)->Unit(benchmark::kMicrosecond);

} // namespace

CORVANE_BENCHMARK_MAIN_WITH_APPLICATION()
