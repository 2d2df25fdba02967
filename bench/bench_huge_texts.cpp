// Texts of millions of characters where the windows show one line of them: a Rate Library row
// whose title, artist and album are each three million characters long, a notice as long, an
// import warning and note as long in the preview sheet, a play whose title is thirty million
// characters long in PlaybackHistory.json (the Playback History window, and the Rate Library's
// latest play line and recent plays), and an output device whose name is three million
// characters long. Measured: the paint of each, and the longest stretch the main thread could not
// run its event loop while the text arrived and was painted. Figures go in bench/README.md.
//
// Runs on the offscreen platform; every benchmark counts the paints it claims and the rows it
// shows, and stops with an error when they are wrong.

#include "BenchGui.h"
#include "BenchLibrary.h"
#include "BenchMeters.h"
#include "BenchModel.h"
#include "HugeText.h"
#include "PlaybackHistory/PlaybackHistoryWindow.h"
#include "RateLibrary/Explainer/ExplainerModel.h"
#include "RateLibrary/Explainer/LatestPlayStrip.h"
#include "RateLibrary/Explainer/OutputCondition.h"
#include "RateLibrary/Explainer/PredictionExplainer.h"
#include "RateLibrary/Explainer/RecentPlaysTable.h"
#include "RateLibrary/Explainer/TextSymbolButton.h"
#include "RateLibrary/FooterBar.h"
#include "RateLibrary/ImportPreviewSheet.h"
#include "RateLibrary/LearnedRatesTableModel.h"
#include "RateLibrary/LearnedRatesWindow.h"
#include "SwitcherModel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QLineEdit>
#include <QSettings>
#include <QTableView>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int rowCount = 1000;
constexpr qsizetype hugeLength = 3'000'000;
constexpr qsizetype hugeHistoryTitleLength = 30'000'000;

// Words over and over, `length` characters of them, starting with `first`; some not ASCII,
// unless the text is to fit a file of bounded bytes.
QString hugeText(const QString &first, qsizetype length, bool ascii = false)
{
    return hugeTextOf(ascii ? QStringLiteral("Blue Moon River Night Song Dream Light Cafe Muller ")
                            : QStringLiteral("Blue Moon River Night Song Dream Light Café Müller 東京 "),
                      first, length);
}

class FixedDevice final : public OutputDeviceSource {
public:
    std::optional<OutputDevice> device;
    std::optional<OutputDevice> defaultOutputDevice() override { return device; }
};

// The switcher over a history file whose newest play has the thirty-million-character title, an
// output whose name is three million characters long, a companion on loopback, and the Rate
// Library window (1200 × 900, the recent plays expanded) with every setting's rows.
struct HugeScene : SwitcherFolder {
    // With `hugeHistory`, the newest play's title is the thirty-million-character one; with
    // `withWindow`, the Rate Library window is made and shown.
    bool open(benchmark::State &state, bool hugeHistory, bool withWindow = true)
    {
        const QString historyPath = dir.filePath(QStringLiteral("PlaybackHistory.json"));
        {
            PlaybackHistory store(historyPath);
            QList<PlaybackHistory::Entry> plays = makeBenchPlays(PlaybackHistory::maximumEntries);
            if (hugeHistory)
                plays.last().title = hugeText(QStringLiteral("Newest"), hugeHistoryTitleLength, true);
            for (PlaybackHistory::Entry &play : plays)
                store.append(std::move(play));
            if (!store.saveNow()) {
                state.SkipWithError("the history file could not be written");
                return false;
            }
        }
        OutputDevice dac;
        dac.uid = QStringLiteral("bench-dac");
        dac.name = hugeText(QStringLiteral("DAC"), hugeLength);
        dac.nominalSampleRate = 44100;
        dac.availableSampleRates = {{44100, 44100}, {48000, 48000}, {96000, 96000}};
        devices.device = dac;

        auto engine = makeEngine(historyPath);
        // The recent plays expanded, in the user's settings, which are in the temporary folder.
        QSettings().setValue(QLatin1String(RateLibrary::historyExpandedKey), true);
        PlatformServices platform;
        platform.outputDevices = &devices;
        model = std::make_unique<SwitcherModel>(platform, std::move(engine), std::make_unique<StillClock>());
        if (model->history().size() != PlaybackHistory::maximumEntries ||
            (model->history().last().title.size() == hugeHistoryTitleLength) != hugeHistory) {
            state.SkipWithError("the history file did not load with its huge title");
            return false;
        }
        companion.connectToHost(QHostAddress::LocalHost, port);
        if (!waitUntilPaired(*model)) {
            state.SkipWithError("the companion did not pair");
            return false;
        }
        model->pollPlatform();
        if (!model->device() || model->device()->name->size() != hugeLength) {
            state.SkipWithError("the output with the huge name is not attached");
            return false;
        }
        if (withWindow) {
            makeWindow();
            for (int round = 0; round < 5; ++round)
                QCoreApplication::processEvents();
        }
        return true;
    }

    void makeWindow()
    {
        window = std::make_unique<LearnedRatesWindow>(*model);
        window->resize(1200, 900);
        window->show();
        window->setTierFilter(RateLibrary::TierFilter::all());
    }

    // The library with its first row's texts and its notice huge.
    static SwitcherProtocol::LearnedRates hugeLibrary()
    {
        SwitcherProtocol::LearnedRates library = makeBenchLibrary(rowCount);
        SwitcherProtocol::LearnedRates::Row &row = library.rows[0];
        row.title = hugeText(QStringLiteral("Title"), hugeLength);
        row.artist = hugeText(QStringLiteral("Artist"), hugeLength);
        row.album = hugeText(QStringLiteral("Album"), hugeLength);
        row.confirmations = 3;
        row.confirmedAt = QDateTime(QDate(2030, 1, 1), QTime(0, 0), Qt::UTC); // the newest: on top
        library.notice = hugeText(QStringLiteral("Notice"), hugeLength);
        return library;
    }

    // `library` reaching the window; false when the window does not come to show every row.
    bool libraryArrives(SwitcherProtocol::LearnedRates library)
    {
        model->setLearnedRates(std::move(library));
        // Texts this long are prepared for the search off the main thread.
        QElapsedTimer waited;
        waited.start();
        while (window->tableModel()->rowCount() != rowCount && waited.elapsed() < 60000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        return window->tableModel()->rowCount() == rowCount;
    }

    FixedDevice devices;
    std::unique_ptr<SwitcherModel> model;
    QTcpSocket companion;
    std::unique_ptr<LearnedRatesWindow> window;
};

// The text arrives (`arrive` returns the widget that shows it, null when it did not arrive), then
// the widget is repainted each iteration and the event loop runs until it has painted. The stall
// is the longest of the whole run, the arrival and its first paint included.
template <class Arrive> void measureRepaints(benchmark::State &state, Arrive arrive, const char *what)
{
    PaintCounter counter;
    StallMeter meter;
    meter.start();
    QElapsedTimer clock;
    clock.start();
    QWidget *widget = arrive();
    if (widget) {
        // Whatever the arrival painted, once more with the text on show.
        widget->installEventFilter(&counter);
        widget->update();
    }
    const bool firstPaint = widget && frameUntilPainted(counter, 0, 600000);
    const double arrivalMs = double(clock.nsecsElapsed()) / 1e6;
    if (!firstPaint) {
        meter.stopMs();
        state.SkipWithError(
            qPrintable(QStringLiteral("%1 did not arrive and paint").arg(QLatin1String(what))));
        return;
    }
    bool painted = true;
    const int before = counter.paints;
    for (auto _ : state) {
        const int paints = counter.paints;
        widget->update();
        painted = frameUntilPainted(counter, paints, 600000) && painted;
    }
    state.counters["arrival_to_paint_ms"] = arrivalMs;
    state.counters["longest_main_thread_stall_ms"] = meter.stopMs();
    state.counters["paints"] =
        benchmark::Counter(counter.paints - before, benchmark::Counter::kAvgIterations);
    if (!painted || counter.paints - before != int(state.iterations()))
        state.SkipWithError(
            qPrintable(QStringLiteral("%1 was not painted once per repaint").arg(QLatin1String(what))));
}

// The table with the row of huge title, artist and album on top.
void BM_PaintHugeRow(benchmark::State &state)
{
    HugeScene scene;
    if (!scene.open(state, false))
        return;
    QWidget *viewport = scene.window->table()->viewport();
    SwitcherProtocol::LearnedRates library = HugeScene::hugeLibrary();
    measureRepaints(
        state, [&] { return scene.libraryArrives(std::move(library)) ? viewport : nullptr; }, "the table");
    state.counters["rows_shown"] = scene.window->tableModel()->rowCount();
    const auto *top = scene.window->tableModel()->rowAt(0);
    if (!top || !top->title || top->title->size() != hugeLength)
        state.SkipWithError("the huge row is not on top");
}

// The footer's notice of three million characters.
void BM_PaintHugeNotice(benchmark::State &state)
{
    HugeScene scene;
    if (!scene.open(state, false))
        return;
    FooterBar *footer = scene.window->footerBar();
    SwitcherProtocol::LearnedRates library = HugeScene::hugeLibrary();
    measureRepaints(
        state,
        [&]() -> QWidget * {
            return scene.libraryArrives(std::move(library)) && footer->showsNotice() ? footer : nullptr;
        },
        "the notice");
    if (footer->noticeText().size() < 100)
        state.SkipWithError("the footer does not show the notice");
}

// The import preview sheet with a warning and a note of three million characters each: made,
// shown and painted in every iteration.
void BM_ShowHugeImportWarning(benchmark::State &state)
{
    HugeScene scene;
    if (!scene.open(state, false))
        return;
    SwitcherModel::ImportPreview preview;
    preview.url = scene.dir.filePath(QStringLiteral("Shared.corvanerates"));
    preview.result.flavour = QStringLiteral("share");
    preview.result.warning = hugeText(QStringLiteral("Warning"), hugeLength);
    preview.result.note = hugeText(QStringLiteral("Note"), hugeLength);
    StallMeter meter;
    meter.start();
    int paints = 0;
    for (auto _ : state) {
        auto *sheet = new ImportPreviewSheet(*scene.model, preview, scene.window.get());
        PaintCounter counter;
        sheet->installEventFilter(&counter);
        sheet->show();
        const bool painted = frameUntilPainted(counter, 0, 600000);
        paints += counter.paints;
        state.PauseTiming();
        delete sheet;
        QCoreApplication::processEvents();
        state.ResumeTiming();
        if (!painted) {
            state.SkipWithError("the sheet did not paint");
            return;
        }
    }
    state.counters["longest_main_thread_stall_ms"] = meter.stopMs();
    state.counters["paints"] = benchmark::Counter(paints, benchmark::Counter::kAvgIterations);
    if (paints != int(state.iterations()))
        state.SkipWithError("the sheet was not painted once per showing");
}

// The Playback History window opened over the thirty-million-character title on its newest
// play, which shows in its first row.
void BM_PaintHugeHistoryTitle(benchmark::State &state)
{
    HugeScene scene;
    if (!scene.open(state, true, false))
        return;
    std::unique_ptr<PlaybackHistoryWindow> history;
    measureRepaints(
        state,
        [&] {
            history = std::make_unique<PlaybackHistoryWindow>(*scene.model);
            history->resize(960, 520);
            history->show();
            return history->table()->viewport();
        },
        "the history table");
    state.counters["rows_shown"] = history->tableModel()->rowCount();
    if (history->tableModel()->rowCount() != PlaybackHistory::maximumEntries ||
        history->tableModel()->entries().first().title.size() != hugeHistoryTitleLength)
        state.SkipWithError("the history window does not show every play, the huge title first");
}

// A keystroke in the Playback History window's search field with the thirty-million-character
// title among its plays: the plays filtered (the search reads every title whole), the table reset
// and painted.
void BM_SearchHugeHistoryTitle(benchmark::State &state)
{
    HugeScene scene;
    if (!scene.open(state, true, false))
        return;
    PlaybackHistoryWindow history(*scene.model);
    history.resize(960, 520);
    history.show();
    for (int round = 0; round < 5; ++round)
        QCoreApplication::processEvents();
    PaintCounter table;
    history.table()->viewport()->installEventFilter(&table);
    // "newest" is in the huge title only; "blue" in it and in other plays.
    const QStringList typing = {"n", "ne", "newest", "", "b", "blue", ""};
    const QList<int> expected = {-1, -1, 1, PlaybackHistory::maximumEntries, -1, -1,
                                 PlaybackHistory::maximumEntries};
    qsizetype next = 0;
    bool painted = true;
    bool counted = true;
    StallMeter meter;
    double worstStall = 0;
    for (auto _ : state) {
        const int before = table.paints;
        meter.start();
        history.searchField()->setText(typing.at(next));
        painted = (history.tableModel()->rowCount() == 0 || frameUntilPainted(table, before, 600000)) && painted;
        worstStall = std::max(worstStall, meter.stopMs());
        counted = (expected.at(next) < 0 || history.tableModel()->rowCount() == expected.at(next)) && counted;
        next = (next + 1) % typing.size();
    }
    state.counters["longest_main_thread_stall_ms"] = worstStall;
    if (!painted || !counted)
        state.SkipWithError("a keystroke did not show the plays it finds");
}

// The Rate Library window opened over the same history: its latest play line and its recent
// plays show the huge title; the repaint is the latest play line's.
void BM_PaintHugeLatestPlay(benchmark::State &state)
{
    HugeScene scene;
    if (!scene.open(state, true, false))
        return;
    measureRepaints(
        state,
        [&] {
            scene.makeWindow();
            return scene.window->explainer()->latestPlay();
        },
        "the latest play line");
    const RecentPlaysRows &recent = *scene.window->explainer()->recentPlays()->rows();
    state.counters["recent_plays_shown"] = double(recent.plays().size());
    if (recent.plays().size() != RateLibrary::recentPlayCount || !recent.isVisible() ||
        recent.plays().first().title.size() != hugeHistoryTitleLength)
        state.SkipWithError("the recent plays do not show the huge title first");
}

// The output card, whose output is named by three million characters.
void BM_PaintHugeDeviceName(benchmark::State &state)
{
    HugeScene scene;
    if (!scene.open(state, false))
        return;
    OutputCondition *card = scene.window->explainer()->outputCondition();
    // A library that knows other outputs too: the control is the output menu, named after the
    // attached one.
    SwitcherProtocol::LearnedRates library = makeBenchLibrary(rowCount);
    measureRepaints(
        state,
        [&]() -> QWidget * {
            scene.model->setLearnedRates(std::move(library));
            return card->outputMenuButton()->isVisible() ? card : nullptr;
        },
        "the output card");
    state.counters["outputs_offered"] = double(card->state().control.choices.size());
    if (card->state().control.choices.size() != 6)
        state.SkipWithError("the menu does not offer the attached output and the library's five");
}

} // namespace

BENCHMARK(BM_PaintHugeRow)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_PaintHugeNotice)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_ShowHugeImportWarning)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_PaintHugeHistoryTitle)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_SearchHugeHistoryTitle)->Unit(benchmark::kMillisecond)->Iterations(21);
BENCHMARK(BM_PaintHugeLatestPlay)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_PaintHugeDeviceName)->Unit(benchmark::kMillisecond)->Iterations(20);

CORVANE_BENCHMARK_MAIN_WITH_APPLICATION()
