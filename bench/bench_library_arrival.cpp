// What the user feels when the companion sends a 100,000-row Rate Library while the Rate Library
// window is open: the longest stretch the main thread is busy (and the interface frozen) between
// the first byte arriving and the table showing the new library. The decode runs on the link's
// own thread; what stays on the main thread is handing the rows over, preparing them for the
// window and freeing the previous library. Figures go in bench/README.md.

#include "BenchGui.h"
#include "BenchLibrary.h"
#include "BenchMeters.h"
#include "BenchModel.h"
#include "RateLibrary/LearnedRatesWindow.h"
#include "RateLibrary/RateLibraryIndex.h"
#include "RateSwitcher.h"
#include "SwitcherModel.h"
#include "WindowFactories.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QSettings>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int rowCount = 100000;

void BM_LibraryArrivesWithWindowOpen(benchmark::State &state)
{
    QTemporaryDir dir;
    QSettings settings(dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
    const quint16 port = freePort();
    settings.setValue(QStringLiteral("switcher.port"), port);
    auto switcher =
        std::make_unique<RateSwitcher>(&settings, dir.filePath(QStringLiteral("history.json")), dir.path());
    SwitcherModel model(PlatformServices{}, std::move(switcher));
    model.switcher().start();

    QTcpSocket companion;
    companion.connectToHost(QHostAddress::LocalHost, port);
    companion.waitForConnected(5000);
    std::unique_ptr<QWidget> window = openLibraryWindowWhenPaired(model);

    // Two libraries that differ in one row's rate, sent in turn as the companion answers a pin:
    // every arrival replaces the library the window shows.
    SwitcherProtocol::LearnedRates library = makeBenchLibrary(rowCount);
    library.rows[0].rate = 44100;
    const QByteArray first =
        SwitcherProtocol::encodeEnvelope(QStringLiteral("learnedRates"), library.toJson());
    library.rows[0].rate = 48000;
    const QByteArray second =
        SwitcherProtocol::encodeEnvelope(QStringLiteral("learnedRates"), library.toJson());

    auto *shownWindow = static_cast<LearnedRatesWindow *>(window.get());
    const auto shows = [&](double rate) {
        const auto &rates = model.learnedRates();
        if (!rates || rates->rows.size() != rowCount || rates->rows.first().rate != rate)
            return false;
        const auto &index = shownWindow->inputs().library;
        return index && index->rates().rows.isSharedWith(rates->rows);
    };
    const auto sendAndWait = [&](const QByteArray &line, double rate) {
        QElapsedTimer waited;
        waited.start();
        companion.write(line);
        companion.flush();
        while (!shows(rate) && waited.elapsed() < 30000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        // Let the window finish what the arrival set in motion (layout, paint).
        QCoreApplication::processEvents();
        return shows(rate);
    };
    sendAndWait(second, 48000);

    StallMeter meter;
    double worstStall = 0;
    double totalStall = 0;
    bool odd = false;
    for (auto _ : state) {
        odd = !odd;
        QElapsedTimer arrival;
        meter.start();
        arrival.start();
        const bool shown = odd ? sendAndWait(first, 44100) : sendAndWait(second, 48000);
        const double stall = meter.stopMs();
        state.SetIterationTime(double(arrival.nsecsElapsed()) / 1e9);
        worstStall = std::max(worstStall, stall);
        totalStall += stall;
        if (!shown) {
            state.SkipWithError("the window never showed the library");
            break;
        }
    }
    state.counters["longest_main_thread_stall_ms"] = worstStall;
    state.counters["mean_longest_stall_ms"] = totalStall / double(std::max<int64_t>(1, state.iterations()));
    state.SetBytesProcessed(int64_t(state.iterations()) * first.size());
}
BENCHMARK(BM_LibraryArrivesWithWindowOpen)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(6);

} // namespace

CORVANE_BENCHMARK_MAIN_WITH_APPLICATION()
