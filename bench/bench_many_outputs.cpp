// A Rate Library that lists 100,000 distinct outputs (a 2.4 MB "outputs" list) reaching the Rate
// Library window over the real link, the window's refresh that follows a keystroke while it is
// on show, and the explainer's output menu opened over it. Figures go in bench/README.md.
//
// Runs on the offscreen platform. The companion is a plain socket written from a thread of its
// own, so that the main thread does only the switcher's work; the stall timer of BenchMeters.h
// measures the longest stretch the main thread's event loop could not run.

#include "BenchGui.h"
#include "BenchLibrary.h"
#include "BenchMeters.h"
#include "BenchModel.h"
#include "RateLibrary/Explainer/OutputCondition.h"
#include "RateLibrary/Explainer/PredictionExplainer.h"
#include "RateLibrary/Explainer/TextSymbolButton.h"
#include "RateLibrary/FilterBar.h"
#include "RateLibrary/LearnedRatesTableModel.h"
#include "RateLibrary/LearnedRatesWindow.h"
#include "SwitcherModel.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMenu>
#include <QSettings>
#include <QTableView>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <future>
#include <memory>
#include <vector>

namespace {

constexpr int rowCount = 1000;

// `count` distinct outputs, each uid told apart by `tag` so that two libraries differ.
SwitcherProtocol::LearnedRates libraryWithOutputs(int count, char tag)
{
    SwitcherProtocol::LearnedRates library = makeBenchLibrary(rowCount);
    library.outputs.clear();
    library.outputs.reserve(count);
    for (int i = 0; i < count; ++i)
        library.outputs.append({QStringLiteral("%1%2").arg(QLatin1Char(tag)).arg(i, 7, 10, QLatin1Char('0')),
                                std::nullopt, std::nullopt});
    return library;
}

QString firstUid(char tag)
{
    return QStringLiteral("%1%2").arg(QLatin1Char(tag)).arg(0, 7, 10, QLatin1Char('0'));
}

// A companion that only writes: a blocking socket, written from another thread.
class WritingCompanion {
public:
    bool connectTo(quint16 port)
    {
        m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        return m_fd >= 0 && ::connect(m_fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    }
    ~WritingCompanion()
    {
        if (m_writing.valid())
            m_writing.wait();
        if (m_fd >= 0)
            ::close(m_fd);
    }
    void send(const QByteArray &line)
    {
        if (m_writing.valid())
            m_writing.wait();
        m_writing = std::async(std::launch::async, [fd = m_fd, line] {
            for (qsizetype sent = 0; sent < line.size();) {
                const ssize_t n =
                    ::send(fd, line.constData() + sent, std::size_t(line.size() - sent), MSG_NOSIGNAL);
                if (n <= 0)
                    return;
                sent += n;
            }
        });
    }

private:
    int m_fd = -1;
    std::future<void> m_writing;
};

QByteArray lineOf(const SwitcherProtocol::LearnedRates &library)
{
    return SwitcherProtocol::encodeEnvelope(QStringLiteral("learnedRates"), library.toJson());
}

// The switcher with its link on loopback, the companion paired, and the Rate Library window
// shown at 1200 × 800 with every setting's rows.
struct ShownWindow : SwitcherFolder {
    bool open(benchmark::State &state)
    {
        model =
            std::make_unique<SwitcherModel>(PlatformServices{}, makeEngine(), std::make_unique<StillClock>());
        if (!companion.connectTo(port)) {
            state.SkipWithError("the companion could not connect");
            return false;
        }
        if (!waitUntilPaired(*model)) {
            state.SkipWithError("the companion did not pair");
            return false;
        }
        window = std::make_unique<LearnedRatesWindow>(*model);
        window->resize(1200, 800);
        window->show();
        window->setTierFilter(RateLibrary::TierFilter::all());
        for (int round = 0; round < 10; ++round)
            QCoreApplication::processEvents();
        return true;
    }

    OutputCondition &condition() const { return *window->explainer()->outputCondition(); }
    qsizetype outputsOffered() const { return condition().state().control.choices.size(); }

    // Runs the event loop until the window shows the library whose first output is `uid`, all
    // its rows in the table and its outputs in the menu, and the output's card has painted.
    bool waitUntilShown(const QString &uid, qsizetype outputs, const PaintCounter &card, int paintsBefore)
    {
        QElapsedTimer waited;
        waited.start();
        const auto shown = [&] {
            return condition().outputMenuButton()->text() == uid &&
                   window->tableModel()->rowCount() == rowCount && outputsOffered() == outputs &&
                   card.paints > paintsBefore;
        };
        while (!shown() && waited.elapsed() < 600000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        return shown();
    }

    // open(), then a library of `outputs` outputs tagged 'a' shown; false, with the benchmark
    // skipped and told why, when either did not come.
    bool openWithOutputs(benchmark::State &state, int outputs)
    {
        if (!open(state))
            return false;
        PaintCounter card;
        condition().installEventFilter(&card);
        companion.send(lineOf(libraryWithOutputs(outputs, 'a')));
        if (!waitUntilShown(firstUid('a'), outputs, card, card.paints)) {
            state.SkipWithError("the library never showed");
            return false;
        }
        return true;
    }

    std::unique_ptr<SwitcherModel> model;
    WritingCompanion companion;
    std::unique_ptr<LearnedRatesWindow> window;
};

// Keystrokes in the search field of the window, one an iteration, each through to the table's
// paint. The table's paints and resets are counted for as long as this lives.
class SearchTyping final {
public:
    explicit SearchTyping(LearnedRatesWindow &window) : m_search(window.filterBar()->searchField())
    {
        window.table()->viewport()->installEventFilter(&table);
        m_counting =
            QObject::connect(window.tableModel(), &QAbstractItemModel::modelReset, [this] { ++resets; });
    }
    ~SearchTyping() { QObject::disconnect(m_counting); }

    // Types through the benchmark's iterations; false when a keystroke was not followed by a paint.
    bool type(benchmark::State &state, StallMeter &meter, double &worstStall)
    {
        const QStringList typing = {"l", "lo", "l", ""};
        qsizetype next = 0;
        bool painted = true;
        for (auto _ : state) {
            const int before = table.paints;
            meter.start();
            m_search->setText(typing.at(next));
            next = (next + 1) % typing.size();
            painted = frameUntilPainted(table, before, 600000) && painted;
            worstStall = std::max(worstStall, meter.stopMs());
        }
        return painted;
    }

    PaintCounter table;
    int resets = 0;

private:
    QLineEdit *m_search;
    QMetaObject::Connection m_counting;
};

// One library after another, each with as many distinct outputs as the argument, from the
// companion's first byte to the window's repainted output card; the libraries alternate so
// that each one is new.
void BM_ManyOutputsArrive(benchmark::State &state)
{
    const int outputs = int(state.range(0));
    ShownWindow shown;
    if (!shown.open(state))
        return;
    const char tags[] = {'a', 'b'};
    const QByteArray lines[] = {lineOf(libraryWithOutputs(outputs, tags[0])),
                                lineOf(libraryWithOutputs(outputs, tags[1]))};
    PaintCounter card;
    shown.condition().installEventFilter(&card);
    shown.condition().outputMenuButton()->installEventFilter(&card);
    StallMeter meter;
    double worstStall = 0;
    int sent = 0;
    for (auto _ : state) {
        const int which = sent++ % 2;
        const int before = card.paints;
        meter.start();
        shown.companion.send(lines[which]);
        const bool ok = shown.waitUntilShown(firstUid(tags[which]), outputs, card, before);
        const double stall = meter.stopMs();
        if (!ok) {
            state.SkipWithError(qPrintable(QStringLiteral("not shown: %1 rows, %2 outputs offered, %3 paints")
                                               .arg(shown.window->tableModel()->rowCount())
                                               .arg(shown.outputsOffered())
                                               .arg(card.paints - before)));
            return;
        }
        if (sent > 1) // the first includes the window's first paint of a table
            worstStall = std::max(worstStall, stall);
    }
    state.counters["line_MB"] = double(lines[0].size()) / 1e6;
    state.counters["outputs_offered"] = double(shown.outputsOffered());
    state.counters["rows_shown"] = shown.window->tableModel()->rowCount();
    state.counters["longest_main_thread_stall_ms"] = worstStall;
}

// A keystroke in the search field with such a library on show: the window's refresh, one table
// reset and the table's paint.
void BM_RefreshWithManyOutputs(benchmark::State &state)
{
    const int outputs = int(state.range(0));
    ShownWindow shown;
    if (!shown.openWithOutputs(state, outputs))
        return;
    SearchTyping typing(*shown.window);
    StallMeter meter;
    double worstStall = 0;
    const bool painted = typing.type(state, meter, worstStall);
    state.counters["outputs_offered"] = double(shown.outputsOffered());
    state.counters["resets"] = benchmark::Counter(typing.resets, benchmark::Counter::kAvgIterations);
    state.counters["paints"] = benchmark::Counter(typing.table.paints, benchmark::Counter::kAvgIterations);
    state.counters["longest_main_thread_stall_ms"] = worstStall;
    if (!painted || typing.resets != int(state.iterations()))
        state.SkipWithError("a keystroke did not reset and repaint the table once");
    else if (shown.outputsOffered() != outputs)
        state.SkipWithError("the menu does not offer every output");
}

// The output menu opened over such a library, shown and painted, then closed.
void BM_OpenOutputMenu(benchmark::State &state)
{
    const int outputs = int(state.range(0));
    ShownWindow shown;
    if (!shown.openWithOutputs(state, outputs))
        return;
    StallMeter meter;
    double worstStall = 0;
    qsizetype entries = 0;
    int paints = 0;
    for (auto _ : state) {
        meter.start();
        shown.condition().outputMenuButton()->click();
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        PaintCounter painted;
        if (menu)
            menu->installEventFilter(&painted);
        for (int round = 0; menu && round < 50 && painted.paints == 0; ++round)
            QCoreApplication::processEvents();
        worstStall = std::max(worstStall, meter.stopMs());
        if (!menu || painted.paints == 0) {
            state.SkipWithError("the menu did not open and paint");
            return;
        }
        paints += painted.paints;
        // An item per output, or past a few dozen one list of them.
        const auto *list = menu->findChild<QAbstractItemView *>();
        entries = list ? list->model()->rowCount() : menu->actions().size();
        state.PauseTiming();
        menu->close();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["menu_entries"] = double(entries);
    state.counters["paints"] = benchmark::Counter(paints, benchmark::Counter::kAvgIterations);
    state.counters["longest_main_thread_stall_ms"] = worstStall;
    if (entries != outputs)
        state.SkipWithError("the menu does not hold every output");
}

// A library of as many rows as the argument, every one at a rate of its own, arriving, then
// keystrokes in the search field, then the rate menu opened: it offers each distinct rate.
void BM_ManyRatesArriveAndRefresh(benchmark::State &state)
{
    const int rows = int(state.range(0));
    ShownWindow shown;
    if (!shown.open(state))
        return;
    SwitcherProtocol::LearnedRates library = makeBenchLibrary(rows);
    for (int i = 0; i < rows; ++i)
        library.rows[i].rate = 44100 + 0.5 * i;
    const QByteArray line = lineOf(library);
    StallMeter meter;
    meter.start();
    shown.companion.send(line);
    QElapsedTimer waited;
    waited.start();
    while (shown.window->tableModel()->rowCount() != rows && waited.elapsed() < 600000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    for (int round = 0; round < 10; ++round)
        QCoreApplication::processEvents();
    const double arrivalStall = meter.stopMs();
    if (shown.window->tableModel()->rowCount() != rows) {
        state.SkipWithError("the library never showed");
        return;
    }
    SearchTyping typing(*shown.window);
    double worstStall = 0;
    const bool painted = typing.type(state, meter, worstStall);
    // The menu opened five times, each until its list has painted: Qt's own list or the menu's,
    // whichever it opens, holding every rate.
    QComboBox *menu = shown.window->filterBar()->rateMenu();
    const int rates = int(RateLibrary::rateChoices(shown.window->inputs(), shown.window->view()).size());
    std::vector<double> openings;
    double openStall = 0;
    for (int opening = 0; opening < 5; ++opening) {
        meter.start();
        QElapsedTimer clock;
        clock.start();
        menu->showPopup();
        QWidget *popup = QApplication::activePopupWidget();
        QAbstractItemView *list = popup ? popup->findChild<QAbstractItemView *>() : nullptr;
        PaintCounter listPaints;
        if (list)
            list->viewport()->installEventFilter(&listPaints);
        const bool opened = list && list->isVisible() && frameUntilPainted(listPaints, 0, 60000);
        openings.push_back(double(clock.nsecsElapsed()) / 1e6);
        openStall = std::max(openStall, meter.stopMs());
        const int entries = list ? list->model()->rowCount() : 0;
        menu->hidePopup();
        for (int round = 0; round < 10; ++round)
            QCoreApplication::processEvents();
        if (!opened || entries != rates + 1) {
            state.SkipWithError(
                qPrintable(QStringLiteral("the rate menu did not open and paint with every rate "
                                          "(%1 entries for %2 rates)")
                               .arg(entries)
                               .arg(rates)));
            return;
        }
        if (QApplication::activePopupWidget()) {
            state.SkipWithError("the rate menu did not close");
            return;
        }
    }
    std::sort(openings.begin(), openings.end());
    state.counters["menu_open_ms"] = openings[openings.size() / 2];
    state.counters["menu_open_slowest_ms"] = openings.back();
    state.counters["menu_open_stall_ms"] = openStall;
    state.counters["menu_entries"] = rates + 1;
    state.counters["rates_offered"] = rates;
    state.counters["arrival_longest_stall_ms"] = arrivalStall;
    state.counters["longest_main_thread_stall_ms"] = worstStall;
    state.counters["resets"] = benchmark::Counter(typing.resets, benchmark::Counter::kAvgIterations);
    if (!painted || typing.resets != int(state.iterations()))
        state.SkipWithError("a keystroke did not reset and repaint the table once");
    else if (rates != rows)
        state.SkipWithError("the rate menu does not offer every rate");
}

} // namespace

BENCHMARK(BM_ManyRatesArriveAndRefresh)->Arg(20000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ManyOutputsArrive)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(6);
BENCHMARK(BM_RefreshWithManyOutputs)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenOutputMenu)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);

CORVANE_BENCHMARK_MAIN_WITH_APPLICATION()
