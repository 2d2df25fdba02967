// A 100,000-row Rate Library (a 28 MB line) arriving again and again while the Rate Library
// window is open, as the companion sends it after every change, in a switcher that stays open
// all day. Ten arrivals over the real link: the first answers the window's subscription when
// the companion pairs, each of the others a pin. The companion runs in a process of its own
// (this program started with "--companion"), so that what it holds is not counted; it tells on
// its standard output when it starts writing each line.
//
// Measured: resident memory once the work of an arrival has ended, after the first arrival and
// after the last (and the most after any); the high-water mark over all ten; the time from the
// companion's first byte to the table showing the new library, beside the decode of the same
// line in this process; and the longest stretch the main thread could not run its event loop.
// Figures go in bench/README.md.

#include "BenchGui.h"
#include "BenchLibrary.h"
#include "BenchMemory.h"
#include "BenchMeters.h"
#include "BenchModel.h"
#include "HeapMemory.h"
#include "RateLibrary/LearnedRatesTableModel.h"
#include "RateLibrary/LearnedRatesWindow.h"
#include "RateLibrary/RateLibraryIndex.h"
#include "RateSwitcher.h"
#include "SwitcherModel.h"
#include "WindowFactories.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QJsonDocument>
#include <QProcess>
#include <QSettings>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QThreadPool>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <memory>

#include <poll.h>
#include <sys/socket.h>

namespace {

constexpr int rowCount = 100000;
constexpr int arrivals = 10;
// The first row's rate in each library the companion sends: the pin the user made.
constexpr double firstRates[] = {44100, 48000};

SwitcherProtocol::LearnedRates libraryWithFirstRate(double rate)
{
    SwitcherProtocol::LearnedRates library = makeBenchLibrary(rowCount);
    library.rows[0].rate = rate;
    return library;
}

// The same clock in both processes (the system's monotonic clock).
qint64 nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// The companion: answers the subscription with its library and every pin with the library
// whose first row has the pinned rate. Before writing a line it prints the time.
class Companion final : public QObject {
public:
    explicit Companion(quint16 port)
    {
        for (const double rate : firstRates)
            m_lines.append(SwitcherProtocol::encodeEnvelope(QStringLiteral("learnedRates"),
                                                            libraryWithFirstRate(rate).toJson()));
        connect(&m_socket, &QTcpSocket::readyRead, this, [this] { read(); });
        connect(&m_socket, &QTcpSocket::disconnected, qApp, &QCoreApplication::quit);
        m_socket.connectToHost(QHostAddress::LocalHost, port);
    }

private:
    void read()
    {
        m_buffer += m_socket.readAll();
        qsizetype start = 0;
        for (qsizetype end; (end = m_buffer.indexOf('\n', start)) >= 0; start = end + 1) {
            const QJsonObject envelope = QJsonDocument::fromJson(m_buffer.mid(start, end - start)).object();
            const QString type = envelope.value("type").toString();
            const QJsonObject payload = envelope.value("payload").toObject();
            if (type == QLatin1String("learnedRatesRequest") && payload.value("subscribe").toBool())
                send(0);
            else if (type == QLatin1String("pinLearnedRate"))
                send(payload.value("rate").toDouble() == firstRates[0] ? 0 : 1);
        }
        m_buffer.remove(0, start);
    }

    // Straight into the system's socket, as fast as the switcher takes it: what is measured is
    // the switcher's side of the link, not this process's event loop.
    void send(int line)
    {
        std::printf("%lld\n", nowNs());
        std::fflush(stdout);
        const QByteArray &bytes = m_lines.at(line);
        const int socket = int(m_socket.socketDescriptor());
        for (qsizetype sent = 0; sent < bytes.size();) {
            const ssize_t n =
                ::send(socket, bytes.constData() + sent, std::size_t(bytes.size() - sent), MSG_NOSIGNAL);
            if (n > 0) {
                sent += n;
            } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
                pollfd writable{socket, POLLOUT, 0};
                ::poll(&writable, 1, 1000);
            } else {
                return; // the switcher went away
            }
        }
    }

    QTcpSocket m_socket;
    QByteArray m_buffer;
    QList<QByteArray> m_lines;
};

// Waits until the window's table shows, in all its rows, the model's library with `firstRate`
// in the first row.
bool waitUntilShown(const SwitcherModel &model, const LearnedRatesWindow &window, double firstRate)
{
    const auto shown = [&] {
        const auto &rates = model.learnedRates();
        if (!rates || rates->rows.size() != rowCount || rates->rows.first().rate != firstRate)
            return false;
        const LearnedRatesTableModel *table = window.tableModel();
        return table->library() && table->library()->rates().rows.isSharedWith(rates->rows) &&
               table->rowCount() == rowCount;
    };
    QElapsedTimer waited;
    waited.start();
    // The stall meter's ticks wake the loop at least every millisecond.
    while (!shown() && waited.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return shown();
}

// When the companion started writing its latest line; -1 when it did not say.
qint64 sentAt(QProcess &companion)
{
    if (!companion.canReadLine())
        companion.waitForReadyRead(1000);
    qint64 at = -1;
    while (companion.canReadLine())
        at = companion.readLine().trimmed().toLongLong();
    return at;
}

// Resident memory once what an arrival set off has ended (the layout and paint, the replaced
// library freed on a worker), as in a switcher left alone.
double settledResidentMb()
{
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::processEvents();
        QThreadPool::globalInstance()->waitForDone();
        QThread::msleep(20);
    }
    return double(BenchMemory::statusKb("VmRSS:")) / 1024;
}

// The median of three decodes of the line here, as the link's thread decodes it.
double decodeMs(double firstRate)
{
    const Line line = libraryLine(libraryWithFirstRate(firstRate));
    std::vector<double> times;
    for (int i = 0; i < 3; ++i) {
        QElapsedTimer clock;
        clock.start();
        SwitcherProtocol::JsonScratch scratch;
        const auto decoded = decodeAsTheLinkDoes(line, scratch);
        times.push_back(double(clock.nsecsElapsed()) / 1e6);
        if (!decoded || decoded.value->rows.size() != rowCount)
            return -1;
    }
    std::sort(times.begin(), times.end());
    return times[1];
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

void BM_TenLibraryArrivals(benchmark::State &state)
{
    QTemporaryDir dir;
    QSettings settings(dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
    const quint16 port = freePort();
    settings.setValue(QStringLiteral("switcher.port"), port);
    auto switcher =
        std::make_unique<RateSwitcher>(&settings, dir.filePath(QStringLiteral("history.json")), dir.path());
    SwitcherModel model(PlatformServices{}, std::move(switcher));
    model.switcher().start();

    std::unique_ptr<QWidget> root(makeLearnedRatesWindow(model));
    auto &window = *static_cast<LearnedRatesWindow *>(root.get());
    window.resize(1200, 800);
    window.show();

    // Every library that reaches the model, told apart by its rows (no reference is kept).
    int seen = 0;
    const void *lastRows = nullptr;
    QObject::connect(&model, &SwitcherModel::changed, &window, [&] {
        const auto &rates = model.learnedRates();
        if (rates && rates->rows.constData() != lastRows) {
            lastRows = rates->rows.constData();
            ++seen;
        }
    });

    const double idleMb = settledResidentMb();
    BenchMemory::resetPeak();
    QProcess companion;
    companion.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    StallMeter meter;
    double worstStall = 0;
    std::vector<double> arrivalMs;
    double firstMb = 0;
    double mostMb = 0;
    int sent = 0;
    for (auto _ : state) {
        const double rate = firstRates[sent % 2];
        meter.start();
        if (sent == 0) {
            // The companion pairs, the model subscribes for the open window, the companion answers.
            companion.start(QCoreApplication::applicationFilePath(),
                            {QStringLiteral("--companion"), QString::number(port)});
        } else {
            model.pinRate(model.learnedRates()->rows.first(), rate);
        }
        const bool shown = waitUntilShown(model, window, rate);
        const qint64 shownAt = nowNs();
        const double stall = meter.stopMs();
        ++sent;
        const qint64 firstByte = sentAt(companion);
        if (!shown || firstByte < 0) {
            state.SkipWithError(shown ? "the companion did not say when it sent"
                                      : "the library never showed");
            return;
        }
        arrivalMs.push_back(double(shownAt - firstByte) / 1e6);
        state.SetIterationTime(arrivalMs.back() / 1e3);
        if (sent > 1) // the first includes the window's first paint of a table
            worstStall = std::max(worstStall, stall);
        state.PauseTiming();
        const double settled = settledResidentMb();
        if (sent == 1)
            firstMb = settled;
        mostMb = std::max(mostMb, settled);
        state.ResumeTiming();
    }
    const double lastMb = settledResidentMb();
    const double peakMb = double(BenchMemory::statusKb("VmHWM:")) / 1024;
    if (seen != sent || sent != arrivals || window.tableModel()->rowCount() != rowCount) {
        state.SkipWithError(qPrintable(QStringLiteral("%1 libraries sent, %2 seen, %3 rows in the table")
                                           .arg(sent)
                                           .arg(seen)
                                           .arg(window.tableModel()->rowCount())));
        return;
    }
    root.reset();
    model.switcher().link().stop();
    if (!companion.waitForFinished(5000))
        companion.kill();

    const double decode = decodeMs(firstRates[0]);
    const double arrival = median(arrivalMs);
    state.counters["arrivals"] = seen;
    state.counters["idle_MB"] = idleMb;
    state.counters["rss_first_MB"] = firstMb;
    state.counters["rss_last_MB"] = lastMb;
    state.counters["rss_most_x_first"] = mostMb / firstMb;
    state.counters["hwm_MB"] = peakMb;
    state.counters["hwm_x_first"] = peakMb / firstMb;
    state.counters["arrival_median_ms"] = arrival;
    state.counters["arrival_max_ms"] = *std::max_element(arrivalMs.begin(), arrivalMs.end());
    state.counters["decode_ms"] = decode;
    state.counters["arrival_x_decode"] = arrival / decode;
    state.counters["longest_main_thread_stall_ms"] = worstStall;
}
BENCHMARK(BM_TenLibraryArrivals)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(arrivals);

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && qstrcmp(argv[1], "--companion") == 0) {
        QCoreApplication app(argc, argv);
        Companion companion(quint16(QByteArray(argv[2]).toUInt()));
        return app.exec();
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    HeapMemory::mapLargeBlocks(); // as the switcher's main does
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
