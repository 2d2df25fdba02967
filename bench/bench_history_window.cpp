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
#include <random>

namespace {

QList<PlaybackHistory::Entry> makePlays(int count)
{
    std::mt19937 rng(20260301);
    const double rates[] = {44100, 48000, 88200, 96000, 176400, 192000};
    const char *const sources[] = {"learned", "library/pinned",      "file",    "imported",
                                   "album",   "catalog/tags+ladder", "derived", "catalog/tags-guess"};
    const char *const tiers[] = {"hires", "lossless", "aac", "unknown"};
    const char *const outcomes[] = {"learned", "rewritten", "kept"};
    std::uniform_int_distribution<int> percent(0, 99);
    std::uniform_int_distribution<int> rate(0, int(std::size(rates)) - 1);
    std::uniform_int_distribution<int> source(0, int(std::size(sources)) - 1);
    std::uniform_int_distribution<int> tier(0, int(std::size(tiers)) - 1);
    std::uniform_int_distribution<int> outcome(0, int(std::size(outcomes)) - 1);
    std::uniform_int_distribution<int> load(300, 6000);
    const QDateTime start(QDate(2026, 1, 1), QTime(0, 0), Qt::UTC);

    QList<PlaybackHistory::Entry> plays;
    for (int i = 0; i < count; ++i) {
        PlaybackHistory::Entry entry;
        entry.at = start.addSecs(qint64(i) * 240);
        entry.title = BenchLibrary::phrase(rng, 1, 5);
        entry.artist = BenchLibrary::phrase(rng, 1, 3);
        entry.album = BenchLibrary::phrase(rng, 1, 4);
        entry.tier = QString::fromUtf8(tiers[tier(rng)]);
        if (percent(rng) < 85) {
            entry.predictedRate = rates[rate(rng)];
            entry.source = QString::fromUtf8(sources[source(rng)]);
        } else {
            entry.note = QStringLiteral("Corvane Mac Remote was not paired");
        }
        if (percent(rng) < 95)
            entry.playedRate =
                percent(rng) < 80 && entry.predictedRate ? *entry.predictedRate : rates[rate(rng)];
        if (percent(rng) < 60)
            entry.outcome = QString::fromUtf8(outcomes[outcome(rng)]);
        entry.corrected = percent(rng) < 3;
        if (percent(rng) < 70)
            entry.musicStartMs = load(rng);
        plays.append(entry);
    }
    return plays;
}

// A model over an engine whose store already holds `count` plays.
struct Fixture {
    explicit Fixture(int count)
    {
        settings =
            std::make_unique<QSettings>(dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
        settings->setValue(QStringLiteral("switcher.port"), freePort());
        auto engine = std::make_unique<RateSwitcher>(
            settings.get(), dir.filePath(QStringLiteral("History.json")), dir.path());
        for (const PlaybackHistory::Entry &entry : makePlays(count))
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
    const QList<PlaybackHistory::Entry> plays = makePlays(int(state.range(0)));
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
