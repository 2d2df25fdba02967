// The Rate Library window with its explainer shown and the recent plays expanded, over a 100,000-row
// Rate Library and a full playback history (2000 plays): a search keystroke through to the
// repainted table, a new play arriving through to the repainted header, and the pointer moving
// between two recent plays. Figures go in bench/README.md.
//
// Runs on the offscreen platform; a frame is the posted layout and paint work the event loop
// runs, and each benchmark counts the paints and table resets it claims.

#include "BenchGui.h"
#include "BenchLibrary.h"
#include "BenchModel.h"
#include "RateLibrary/Explainer/LatestPlayStrip.h"
#include "RateLibrary/Explainer/PredictionExplainer.h"
#include "RateLibrary/Explainer/PredictionOrder.h"
#include "RateLibrary/Explainer/RecentPlaysTable.h"
#include "RateLibrary/FilterBar.h"
#include "RateLibrary/LearnedRatesTableModel.h"
#include "RateLibrary/LearnedRatesWindow.h"
#include "SwitcherModel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSettings>
#include <QTableView>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// Runs posted work until `counter` has seen a paint after `before`; false when none came.
bool paintedSince(const PaintCounter &counter, int before)
{
    for (int round = 0; round < 50 && counter.paints == before; ++round)
        QCoreApplication::processEvents();
    return counter.paints > before;
}

// Counts the paints of a widget and every widget inside it.
void countPaintsOf(QWidget *widget, PaintCounter &counter)
{
    widget->installEventFilter(&counter);
    for (QWidget *child : widget->findChildren<QWidget *>())
        child->installEventFilter(&counter);
}

// The window at 1200 × 900 (so the table keeps some rows under the whole explainer), a
// companion paired over loopback, the benchmark's argument in rows of Rate Library and 2000 plays
// in the history. The table's resets are counted from the first frame on.
struct ExplainerWindow : SwitcherFolder {
    // False, with the benchmark skipped and told why, when the window could not be shown so.
    bool open(benchmark::State &state)
    {
        const int rows = int(state.range(0));
        auto engine = makeEngine();
        // The window keeps "History" expanded in the user's settings, which are in the temporary folder.
        QSettings().setValue(QLatin1String(RateLibrary::historyExpandedKey), true);
        for (const PlaybackHistory::Entry &entry : makeBenchPlays(PlaybackHistory::maximumEntries))
            engine->history().append(entry);
        model = std::make_unique<SwitcherModel>(PlatformServices{}, std::move(engine),
                                                std::make_unique<StillClock>());
        companion.connectToHost(QHostAddress::LocalHost, port);
        if (!waitUntilPaired(*model)) {
            state.SkipWithError("the loopback companion did not pair");
            return false;
        }
        window = std::make_unique<LearnedRatesWindow>(*model);
        window->resize(1200, 900);
        window->show();
        model->setLearnedRates(makeBenchLibrary(rows));
        window->setTierFilter(RateLibrary::TierFilter::all());
        // A library this large is prepared on a worker thread before the table shows it.
        QElapsedTimer waited;
        waited.start();
        while (window->tableModel()->rowCount() != rows && waited.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        for (int round = 0; round < 10; ++round)
            QCoreApplication::processEvents();
        if (!window->explainer()->recentPlaysCard()->isVisible() ||
            window->tableModel()->rowCount() != rows) {
            state.SkipWithError("the window does not show the recent plays and every row");
            return false;
        }
        QObject::connect(window->tableModel(), &QAbstractItemModel::modelReset, [this] { ++resets; });
        return true;
    }

    std::unique_ptr<SwitcherModel> model;
    QTcpSocket companion;
    std::unique_ptr<LearnedRatesWindow> window;
    int resets = 0;
};

// Typing and deleting "lo" and "ri", one keystroke per iteration, through to the table's paint.
// Every one of these keystrokes changes the rows (in this library "blu" and "blue" would not), so
// each iteration filters 100,000 rows, resets the table and repaints it.
void BM_KeystrokeWithExplainer(benchmark::State &state)
{
    ExplainerWindow shown;
    if (!shown.open(state))
        return;
    LearnedRatesWindow &window = *shown.window;
    QLineEdit *search = window.filterBar()->searchField();
    PaintCounter table;
    window.table()->viewport()->installEventFilter(&table);
    PaintCounter explainer;
    countPaintsOf(window.explainer(), explainer);
    const int &resets = shown.resets;
    const QStringList typing = {"l", "lo", "l", "", "r", "ri", "r", ""};
    qsizetype next = 0;
    bool painted = true;
    for (auto _ : state) {
        const int before = table.paints;
        search->setText(typing.at(next));
        next = (next + 1) % typing.size();
        painted = paintedSince(table, before) && painted;
    }
    state.counters["paints"] = benchmark::Counter(table.paints, benchmark::Counter::kAvgIterations);
    state.counters["resets"] = benchmark::Counter(resets, benchmark::Counter::kAvgIterations);
    state.counters["headerPaints"] = benchmark::Counter(explainer.paints, benchmark::Counter::kAvgIterations);
    state.counters["rowsOnShow"] =
        double(window.table()->viewport()->height() / window.table()->rowHeight(0));
    if (!painted || resets != int(state.iterations()))
        state.SkipWithError("a keystroke did not reset and repaint the table once");
    else if (explainer.paints != 0)
        state.SkipWithError("a keystroke repainted the explainer");
}

// One play arriving in a full history (the oldest drops out), through to the repainted header.
void BM_NewPlayArrives(benchmark::State &state)
{
    ExplainerWindow shown;
    if (!shown.open(state))
        return;
    LearnedRatesWindow &window = *shown.window;
    PaintCounter strip;
    window.explainer()->latestPlay()->installEventFilter(&strip);
    PaintCounter recent;
    window.explainer()->recentPlays()->rows()->installEventFilter(&recent);
    const int &resets = shown.resets;
    PlaybackHistory &history = shown.model->switcher().history();
    const QList<PlaybackHistory::Entry> arriving = makeBenchPlays(64);
    qsizetype next = 0;
    bool painted = true;
    for (auto _ : state) {
        const int before = recent.paints;
        PlaybackHistory::Entry play = arriving.at(next++ % arriving.size());
        play.id = QUuid::createUuid();
        history.append(std::move(play));
        painted = paintedSince(recent, before) && painted;
    }
    state.counters["plays"] = double(shown.model->history().size());
    state.counters["stripPaints"] = benchmark::Counter(strip.paints, benchmark::Counter::kAvgIterations);
    state.counters["rowsPaints"] = benchmark::Counter(recent.paints, benchmark::Counter::kAvgIterations);
    state.counters["resets"] = double(resets);
    if (!painted || strip.paints < int(state.iterations()))
        state.SkipWithError("a new play did not repaint the latest play line and the recent plays");
    else if (resets != 0)
        state.SkipWithError("a new play reset the table");
}

// The pointer moving from one recent play to the next: the lit step and the row tints change,
// the table is not repainted.
void BM_HoverRecentPlay(benchmark::State &state)
{
    ExplainerWindow shown;
    if (!shown.open(state))
        return;
    LearnedRatesWindow &window = *shown.window;
    RecentPlaysRows &rows = *window.explainer()->recentPlays()->rows();
    PaintCounter steps;
    window.explainer()->predictionOrder()->steps()->installEventFilter(&steps);
    PaintCounter table;
    window.table()->viewport()->installEventFilter(&table);
    const int &resets = shown.resets;
    const int filtered = window.filterPasses();
    // Two rows of different steps, neither the latest play's, so that every move lights another step.
    const auto step = [&](int row) { return PlaybackHistory::stepNumber(rows.plays()[row].source); };
    int first = -1;
    int second = -1;
    for (int r = 1; r < rows.plays().size(); ++r) {
        if (!step(r))
            continue;
        if (first < 0 && step(r) != step(0))
            first = r;
        else if (first >= 0 && second < 0 && step(r) != step(first))
            second = r;
    }
    if (first < 0 || second < 0) {
        state.SkipWithError("no two recent plays of different steps");
        return;
    }
    int k = 0;
    bool painted = true;
    for (auto _ : state) {
        const QPointF at = rows.rowRect(k++ % 2 ? second : first).center();
        QMouseEvent move(QEvent::MouseMove, at, rows.mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        const int before = steps.paints;
        QCoreApplication::sendEvent(&rows, &move);
        painted = paintedSince(steps, before) && painted;
    }
    state.counters["stepPaints"] = benchmark::Counter(steps.paints, benchmark::Counter::kAvgIterations);
    state.counters["tablePaints"] = double(table.paints);
    if (!painted)
        state.SkipWithError("a move did not repaint the prediction order");
    else if (table.paints != 0 || resets != 0 || window.filterPasses() != filtered)
        state.SkipWithError("hovering repainted, reset or filtered the table");
}

} // namespace

BENCHMARK(BM_KeystrokeWithExplainer)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NewPlayArrives)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HoverRecentPlay)->Arg(100000)->Unit(benchmark::kMillisecond);

CORVANE_BENCHMARK_MAIN_WITH_APPLICATION()
