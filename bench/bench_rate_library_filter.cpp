// Rate Library filtering: what one keystroke in the search field costs at 10,000 and 100,000
// rows, the data work alone (filters, search, sort) and with the table's reset and repaint.
// Figures are recorded in bench/README.md.

#include "BenchGui.h"
#include "BenchModel.h"
#include "RateLibrary/LearnedRatesTableModel.h"
#include "RateLibrary/LearnedRatesView.h"
#include "RateLibrary/LibraryTableView.h"
#include "RateLibrary/RateLibraryIndex.h"

#include "RateLibrary/FilterBar.h"
#include "RateLibrary/LearnedRatesWindow.h"
#include "SwitcherModel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QSettings>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimeZone>

#include <benchmark/benchmark.h>

#include <map>

using namespace RateLibrary;

namespace {

// A library shaped like a real one: titles, artists and albums from a few hundred words, several
// tiers per track, a tenth pinned and a tenth local files.
SwitcherProtocol::LearnedRates makeLibrary(int rows)
{
    static const char *words[] = {
        "river",       "blue",      "night",    "echo",       "velvet",  "harbour", "glass",      "orchard",
        "static",      "avenue",    "winter",   "tide",       "morning", "paper",   "lantern",    "meridian",
        "caravan",     "silver",    "copper",   "signal",     "hollow",  "ashes",   "bright",     "northern",
        "lights",      "desert",    "letters",  "green",      "house",   "small",   "room",       "duets",
        "paradiso",    "fires",     "sur",      "guitarra",   "hours",   "trains",  "deluxe",     "edition",
        "roads",       "parallel",  "nattljus", "été",        "río",     "Björk",   "Åström",     "Sigur",
        "Rós",         "Kind",      "of",       "so",         "what",    "angel",   "teardrop",   "mezzanine",
        "hyperballad", "jóga",      "avril",    "clair",      "de",      "lune",    "gymnopédie", "takk",
        "amnesiac",    "pyramid",   "song",     "everything", "in",      "its",     "right",      "place",
        "post",        "homogenic", "marble",   "blur",       "tumble",  "blossom", "noble",      "fable",
        "bluff",       "bluebird"};
    const int wordCount = int(std::size(words));
    QRandomGenerator random(2026);
    auto phrase = [&](int count) {
        QString text;
        for (int i = 0; i < count; ++i) {
            if (i)
                text += QLatin1Char(' ');
            QString word = QString::fromUtf8(words[random.bounded(wordCount)]);
            if (i == 0)
                word[0] = word[0].toUpper();
            text += word;
        }
        return text;
    };
    static const char *tiers[] = {"lossless", "hires", "aac", "unknown", "any", "file"};
    static const double rates[] = {44100, 48000, 88200, 96000, 176400, 192000};
    const QDateTime start(QDate(2025, 1, 1), QTime(0, 0), QTimeZone::utc());

    SwitcherProtocol::LearnedRates library;
    library.rows.reserve(rows);
    for (int i = 0; i < rows; ++i) {
        SwitcherProtocol::LearnedRates::Row row;
        row.id = QString::number(1400000000 + i / 2);
        row.kind = i % 7 == 0 ? QStringLiteral("library") : QStringLiteral("catalog");
        row.tier = QString::fromLatin1(tiers[random.bounded(int(std::size(tiers)))]);
        row.title = phrase(1 + random.bounded(3));
        row.artist = phrase(2);
        if (random.bounded(20) != 0)
            row.album = phrase(1 + random.bounded(4));
        row.rate = rates[random.bounded(int(std::size(rates)))];
        row.pinned = random.bounded(10) == 0;
        row.source = random.bounded(10) == 0 ? QStringLiteral("file") : QStringLiteral("learned");
        row.confirmations = random.bounded(15);
        row.confirmedAt = start.addSecs(random.bounded(60 * 60 * 24 * 700));
        library.rows.append(row);
    }
    return library;
}

const SwitcherProtocol::LearnedRates &library(int rows)
{
    static std::map<int, SwitcherProtocol::LearnedRates> made;
    auto it = made.find(rows);
    if (it == made.end())
        it = made.emplace(rows, makeLibrary(rows)).first;
    return it->second;
}

// The Rate Library as the window holds it once it arrived: prepared, default order built.
LibraryInputs preparedInputs(int rows)
{
    LibraryInputs inputs;
    inputs.library = std::make_shared<const RateLibraryIndex>(library(rows));
    LearnedRatesWindowView view;
    view.tierFilter = TierFilter::all();
    benchmark::DoNotOptimize(visibleRowIndices(inputs, view));
    return inputs;
}

// Typing "blue" and deleting it again: one keystroke per iteration, broad and narrow alike.
const QStringList typing = {"b", "bl", "blu", "blue", "blu", "bl", "b", ""};

// Runs the posted work of one frame: the view's layout after the reset, then the repaint, as the
// screen's next refresh would.
void frame()
{
    QCoreApplication::processEvents();
}

void BM_PrepareLibrary(benchmark::State &state)
{
    const auto &rates = library(int(state.range(0)));
    for (auto _ : state) {
        RateLibraryIndex index(rates);
        LibraryInputs inputs;
        inputs.library = std::shared_ptr<const RateLibraryIndex>(&index, [](const RateLibraryIndex *) {});
        LearnedRatesWindowView view;
        benchmark::DoNotOptimize(visibleRowIndices(inputs, view)); // with the default order
    }
}

// The data work of one keystroke: tier, kind, rate and search filters, then the sort.
void BM_KeystrokeData(benchmark::State &state)
{
    const LibraryInputs inputs = preparedInputs(int(state.range(0)));
    LearnedRatesWindowView view;
    view.tierFilter = TierFilter::all();
    int k = 0;
    for (auto _ : state) {
        view.search = typing[k++ % typing.size()];
        const std::vector<int> rows = visibleRowIndices(inputs, view);
        benchmark::DoNotOptimize(rows.data());
    }
}

// The worst needles: one common letter, a hit in nearly every row, sorted by title.
void BM_KeystrokeDataCommonLetter(benchmark::State &state)
{
    const LibraryInputs inputs = preparedInputs(int(state.range(0)));
    LearnedRatesWindowView view;
    view.tierFilter = TierFilter::all();
    view.sortOrder = {{SortKey::track, false}};
    benchmark::DoNotOptimize(visibleRowIndices(inputs, view)); // the title order, built once
    int k = 0;
    for (auto _ : state) {
        view.search = (k++ % 2) ? QStringLiteral("e") : QStringLiteral(" A");
        benchmark::DoNotOptimize(visibleRowIndices(inputs, view).data());
    }
}

// One keystroke as the window handles it: the data work, one model reset and the table's repaint
// at 1200 × 800.
void BM_KeystrokeWithTable(benchmark::State &state)
{
    const LibraryInputs inputs = preparedInputs(int(state.range(0)));
    LearnedRatesTableModel model;
    LibraryTableView table(&model, {});
    table.resize(1200, 800);
    table.show();
    LearnedRatesWindowView view;
    view.tierFilter = TierFilter::all();
    const QList<double> pinRates = {44100, 48000, 88200, 96000, 176400, 192000};
    model.setRows(inputs.library, visibleRowIndices(inputs, view), pinRates);
    frame();
    PaintCounter counter;
    table.viewport()->installEventFilter(&counter);
    int k = 0;
    for (auto _ : state) {
        view.search = typing[k++ % typing.size()];
        model.setRows(inputs.library, visibleRowIndices(inputs, view), pinRates);
        if (!frameUntilPainted(counter, counter.paints)) {
            state.SkipWithError("a keystroke did not repaint the table");
            break;
        }
    }
    state.counters["paints"] = benchmark::Counter(counter.paints, benchmark::Counter::kAvgIterations);
}

// The same keystroke typed into the window's search field: the view state, the filter bar, the
// data work, the model reset, the layout and the repaint of a 1200 × 760 window, with a companion
// paired over the loopback link. Each keystroke must reset the table and be followed by its paint.
void BM_KeystrokeInWindow(benchmark::State &state)
{
    QTemporaryDir dir;
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    QSettings settings(dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
    settings.setValue(QStringLiteral("switcher.port"), port);
    auto engine =
        std::make_unique<RateSwitcher>(&settings, dir.filePath(QStringLiteral("history.json")), dir.path());
    SwitcherModel model(PlatformServices{}, std::move(engine));
    QTcpSocket companion;
    companion.connectToHost(QHostAddress::LocalHost, port);
    if (!waitUntilPaired(model)) {
        state.SkipWithError("the loopback companion did not pair");
        return;
    }
    LearnedRatesWindow window(model);
    window.resize(1200, 760);
    window.show();
    const int rows = int(state.range(0));
    model.setLearnedRates(library(rows));
    window.setTierFilter(TierFilter::all());
    // From 20,000 rows the library is prepared off the main thread: measure once the table shows
    // every row of it, or the keystrokes would only redraw "Loading…".
    QElapsedTimer waited;
    waited.start();
    while ((window.shownRegion() != MiddleRegion::table || window.tableModel()->rowCount() != rows) &&
           waited.elapsed() < 30000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    if (window.shownRegion() != MiddleRegion::table || window.tableModel()->rowCount() != rows) {
        state.SkipWithError("the table never showed the library");
        return;
    }
    QLineEdit *search = window.filterBar()->searchField();
    frame();
    PaintCounter counter;
    window.table()->viewport()->installEventFilter(&counter);
    int resets = 0;
    QObject::connect(window.tableModel(), &QAbstractItemModel::modelReset, [&resets] { ++resets; });
    int k = 0;
    for (auto _ : state) {
        const int resetsBefore = resets;
        search->setText(typing[k++ % typing.size()]);
        if (resets == resetsBefore) {
            state.SkipWithError("a keystroke did not reset the table");
            break;
        }
        if (!frameUntilPainted(counter, counter.paints)) {
            state.SkipWithError("a keystroke did not repaint the table");
            break;
        }
    }
    state.counters["paints"] = benchmark::Counter(counter.paints, benchmark::Counter::kAvgIterations);
    state.counters["resets"] = benchmark::Counter(resets, benchmark::Counter::kAvgIterations);
}

} // namespace

BENCHMARK(BM_PrepareLibrary)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KeystrokeData)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KeystrokeDataCommonLetter)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KeystrokeWithTable)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KeystrokeInWindow)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

CORVANE_BENCHMARK_MAIN_WITH_APPLICATION()
