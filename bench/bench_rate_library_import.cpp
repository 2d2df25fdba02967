// Importing a Rate Library backup as the user does it, with the Rate Library window open: from
// the file's choice in the open panel to the import preview sheet painted on screen. The file
// is read, inflated and checked on a worker thread, its base64 chunks are made on the link's
// thread, a companion in a process of its own checks every byte and answers the dry run, and the
// model's preview brings up the sheet. And the way back: exporting a backup, from the save
// panel's answer to the status that says it was written. Measured: the time, the longest
// stretch the main thread could not run its event loop, and how far resident memory rose.
// Figures go in bench/README.md.

#include "BenchLibrary.h"
#include "BenchMemory.h"
#include "BenchMeters.h"
#include "BenchModel.h"
#include "RateLibrary/ImportPreviewSheet.h"
#include "RateLibrary/LearnedRatesWindow.h"
#include "RateLibraryFile.h"
#include "RateSwitcher.h"
#include "SwitcherModel.h"
#include "WindowFactories.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QJsonDocument>
#include <QProcess>
#include <QSettings>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <malloc.h>
#include <zlib.h>

#include <memory>

namespace {

// The backup file: the magic, the format byte and the JSON deflated (quickly: any level reads).
QByteArray backupFile(const QByteArray &json)
{
    uLongf size = compressBound(uLong(json.size()));
    QByteArray file(RateLibraryFile::magicBytes + 1 + qsizetype(size), Qt::Uninitialized);
    memcpy(file.data(), RateLibraryFile::magic, RateLibraryFile::magicBytes);
    file[RateLibraryFile::magicBytes] = char(RateLibraryFile::formatVersion);
    compress2(reinterpret_cast<Bytef *>(file.data() + RateLibraryFile::magicBytes + 1), &size,
              reinterpret_cast<const Bytef *>(json.constData()), uLong(json.size()), Z_BEST_SPEED);
    file.resize(RateLibraryFile::magicBytes + 1 + qsizetype(size));
    return file;
}

// A Rate Library of about `bytes` of JSON: the generated 100,000 rows, repeated.
QByteArray libraryJson(qsizetype bytes)
{
    const QByteArray json = QJsonDocument(makeBenchLibrary(100000).toJson()).toJson(QJsonDocument::Compact);
    if (json.size() >= bytes)
        return json;
    // The keys are written in order, "rows" last: {"outputs":[...],"rows":[...]}.
    const qsizetype open = json.indexOf("\"rows\":[") + 8;
    const QByteArray rows = json.mid(open, json.size() - open - 2);
    QByteArray big = json.left(open);
    big.reserve(bytes + rows.size() + 16);
    big += rows;
    while (big.size() < bytes)
        big += ',' + rows;
    big += "]}";
    return big;
}

quint32 crcOf(const QByteArray &bytes)
{
    return quint32(
        crc32(crc32(0, nullptr, 0), reinterpret_cast<const Bytef *>(bytes.constData()), uInt(bytes.size())));
}

// The companion, in a process of its own (this program started with "--companion"), so that
// what it holds is not counted as the switcher's memory. It decodes every chunk alone, sums
// what arrived, and answers the dry run; the answer is a refusal unless the bytes were the
// file's, byte for byte, in the chunks expected. Given a JSON file, it answers every export
// request with that Rate Library.
class Companion final : public QObject {
public:
    Companion(quint16 port, qsizetype expectedBytes, quint32 expectedCrc, const QString &exportJson)
        : m_expectedBytes(expectedBytes), m_expectedCrc(expectedCrc)
    {
        QFile json(exportJson);
        if (!exportJson.isEmpty() && json.open(QIODevice::ReadOnly)) {
            SwitcherProtocol::RateLibraryFile answer{QStringLiteral("backup"), true, std::nullopt,
                                                     QString::fromLatin1(json.readAll().toBase64())};
            m_exportAnswer =
                SwitcherProtocol::encodeEnvelope(QStringLiteral("rateLibraryFile"), answer.toJson());
        }
        connect(&m_socket, &QTcpSocket::readyRead, this, [this] { read(); });
        connect(&m_socket, &QTcpSocket::disconnected, qApp, &QCoreApplication::quit);
        m_socket.connectToHost(QHostAddress::LocalHost, port);
    }

private:
    void read()
    {
        m_buffer += m_socket.readAll();
        qsizetype start = 0;
        for (qsizetype end; (end = m_buffer.indexOf('\n', start)) >= 0; start = end + 1)
            handle(m_buffer.mid(start, end - start));
        m_buffer.remove(0, start);
    }

    void handle(const QByteArray &line)
    {
        const QJsonObject envelope = QJsonDocument::fromJson(line).object();
        if (envelope.value("type").toString() == QLatin1String("rateLibraryExport"))
            m_socket.write(m_exportAnswer);
        if (envelope.value("type").toString() != QLatin1String("rateLibraryImport"))
            return;
        const QJsonObject payload = envelope.value("payload").toObject();
        if (payload.value("first").toBool()) {
            m_chunks = 0;
            m_bytes = 0;
            m_intact = true;
            m_crc = crc32(0, nullptr, 0);
        }
        const auto chunk = QByteArray::fromBase64Encoding(payload.value("data").toString().toLatin1(),
                                                          QByteArray::AbortOnBase64DecodingErrors);
        m_intact = m_intact && bool(chunk);
        m_crc = crc32(m_crc, reinterpret_cast<const Bytef *>(chunk.decoded.constData()),
                      uInt(chunk.decoded.size()));
        m_bytes += chunk.decoded.size();
        ++m_chunks;
        if (!payload.value("last").toBool())
            return;
        const qsizetype chunks =
            (m_expectedBytes + RateSwitcher::importChunkBytes - 1) / RateSwitcher::importChunkBytes;
        SwitcherProtocol::RateLibraryImported answer;
        answer.mode = payload.value("mode").toString();
        answer.ok = m_intact && m_bytes == m_expectedBytes && m_crc == m_expectedCrc && m_chunks == chunks;
        if (!answer.ok)
            answer.refusal = QStringLiteral("The file did not arrive intact: %1 bytes in %2 chunks.")
                                 .arg(m_bytes)
                                 .arg(m_chunks);
        answer.fileTracks = 100000;
        answer.newCount = 100000;
        m_socket.write(
            SwitcherProtocol::encodeEnvelope(QStringLiteral("rateLibraryImported"), answer.toJson()));
    }

    QTcpSocket m_socket;
    QByteArray m_buffer;
    QByteArray m_exportAnswer;
    qsizetype m_expectedBytes;
    uLong m_expectedCrc;
    qsizetype m_chunks = 0;
    qsizetype m_bytes = 0;
    bool m_intact = true;
    uLong m_crc = 0;
};

class OnePanel final : public FilePanels {
public:
    QString path;
    std::optional<ExportChoice> chooseRateLibraryExport(const QString &) override
    {
        return ExportChoice{path, false};
    }
    std::optional<QString> chooseRateLibraryImport() override { return path; }
    std::optional<QString> chooseCsvDestination(const QString &) override { return std::nullopt; }
};

// Counts the paints of the import preview sheet and of what it holds.
class SheetPaints final : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType()) {
            for (QObject *o = watched; o; o = o->parent()) {
                if (qobject_cast<ImportPreviewSheet *>(o)) {
                    ++paints;
                    break;
                }
            }
        }
        return false;
    }
};

// The model with the Rate Library window open, paired with the companion in a process of its own
// (given `companionArguments` after its port); the file panels answer `panelPath`.
struct Session {
    Session(const QTemporaryDir &dir, const QString &panelPath, const QStringList &companionArguments)
        : settings(dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat)
    {
        const quint16 port = freePort();
        settings.setValue(QStringLiteral("switcher.port"), port);
        panel.path = panelPath;
        PlatformServices platform;
        platform.filePanels = &panel;
        model = std::make_unique<SwitcherModel>(
            platform,
            std::make_unique<RateSwitcher>(&settings, dir.filePath(QStringLiteral("history.json")),
                                           dir.path()),
            std::make_unique<StillClock>());
        model->switcher().start();
        companion.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        companion.start(QCoreApplication::applicationFilePath(),
                        QStringList{QStringLiteral("--companion"), QString::number(port)} +
                            companionArguments);
        window = openLibraryWindowWhenPaired(*model);
    }
    ~Session()
    {
        window.reset();
        model->switcher().link().stop();
        if (!companion.waitForFinished(5000))
            companion.kill();
    }

    QSettings settings;
    OnePanel panel;
    std::unique_ptr<SwitcherModel> model;
    QProcess companion;
    std::unique_ptr<QWidget> window;
};

void importPreview(benchmark::State &state, qsizetype jsonBytes)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Backup.corvanerates"));
    qsizetype inflated = 0;
    quint32 crc = 0;
    qsizetype fileBytes = 0;
    {
        const QByteArray json = libraryJson(jsonBytes);
        inflated = json.size();
        crc = crcOf(json);
        const QByteArray file = backupFile(json);
        fileBytes = file.size();
        QFile out(path);
        if (!out.open(QIODevice::WriteOnly) || out.write(file) != file.size()) {
            state.SkipWithError("could not write the backup");
            return;
        }
    }
    if (inflated > RateLibraryFile::maximumJsonBytes) {
        state.SkipWithError("the library is larger than a file may hold");
        return;
    }

    Session session(dir, path, {QString::number(inflated), QString::number(crc), QString()});
    SwitcherModel &model = *session.model;
    auto *window = static_cast<LearnedRatesWindow *>(session.window.get());
    SheetPaints paints;
    qApp->installEventFilter(&paints);

    const qsizetype chunks = (inflated + RateSwitcher::importChunkBytes - 1) / RateSwitcher::importChunkBytes;
    StallMeter meter;
    double worstStall = 0;
    double worstPeakMb = 0;
    double totalReadMs = 0;
    for (auto _ : state) {
        malloc_trim(0);
        BenchMemory::resetPeak();
        const qint64 before = BenchMemory::statusKb("VmRSS:");
        paints.paints = 0;
        meter.start();
        QElapsedTimer clock;
        clock.start();
        model.chooseImportFile();
        // Until the sheet has painted, or the import ended without a preview (a refusal).
        const auto ended = [&] {
            return !model.importReading() && !model.rateLibraryBusy() && !model.importPreview();
        };
        qint64 readNs = 0; // until the file was read and its dry run handed to the link
        while ((!window->importPreviewSheet() || paints.paints == 0) && clock.elapsed() < 60000 && !ended()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            if (readNs == 0 && !model.importReading())
                readNs = clock.nsecsElapsed();
        }
        totalReadMs += double(readNs) / 1e6;
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
        const double stall = meter.stopMs();
        const double peakMb = double(BenchMemory::statusKb("VmHWM:") - before) * 1024 / 1e6;
        worstStall = std::max(worstStall, stall);
        worstPeakMb = std::max(worstPeakMb, peakMb);

        if (!window->importPreviewSheet() || paints.paints == 0) {
            // The companion refuses anything but the file's bytes in the chunks expected.
            state.SkipWithError(qPrintable(
                QStringLiteral("no sheet: %1").arg(model.rateLibraryStatus().value_or("no status"))));
            break;
        }
        state.PauseTiming();
        window->importPreviewSheet()->reject();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    qApp->removeEventFilter(&paints);
    state.counters["json_MB"] = double(inflated) / 1e6;
    state.counters["file_MB"] = double(fileBytes) / 1e6;
    state.counters["chunks"] = double(chunks);
    state.counters["read_ms"] = totalReadMs / double(std::max<int64_t>(1, state.iterations()));
    state.counters["longest_main_thread_stall_ms"] = worstStall;
    state.counters["peak_extra_MB"] = worstPeakMb;
    state.counters["peak_x_json"] = worstPeakMb * 1e6 / double(inflated);
}

// A backup of the generated 100,000-row library (28 MB of JSON).
void BM_ImportBackupToSheet(benchmark::State &state)
{
    importPreview(state, 0);
}
BENCHMARK(BM_ImportBackupToSheet)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// A backup close to the largest a file may unpack to (the library repeated to about 240 MB).
void BM_ImportLargestBackupToSheet(benchmark::State &state)
{
    importPreview(state, 240 * 1000 * 1000);
}
BENCHMARK(BM_ImportLargestBackupToSheet)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(2);

// Exporting the generated 100,000-row library as a backup, with the Rate Library window open:
// from the save panel's answer to the status that names the written file. The companion's answer
// (37 MB of base64) is decoded on the link's thread, then decoded, checked, compressed and
// written; the file must unpack to the companion's JSON, byte for byte.
void BM_ExportBackup(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString jsonPath = dir.filePath(QStringLiteral("library.json"));
    const QByteArray json = libraryJson(0);
    const quint32 crc = crcOf(json);
    {
        QFile out(jsonPath);
        if (!out.open(QIODevice::WriteOnly) || out.write(json) != json.size()) {
            state.SkipWithError("could not write the library");
            return;
        }
    }
    Session session(dir, dir.filePath(QStringLiteral("Backup.corvanerates")),
                    {QStringLiteral("0"), QStringLiteral("0"), jsonPath});
    SwitcherModel &model = *session.model;
    const QString &backup = session.panel.path;

    const QString written = QStringLiteral("Exported the backup to Backup.corvanerates.");
    StallMeter meter;
    double worstStall = 0;
    double worstPeakMb = 0;
    qsizetype fileBytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(backup);
        model.setRateLibraryStatus(std::nullopt);
        malloc_trim(0);
        BenchMemory::resetPeak();
        const qint64 before = BenchMemory::statusKb("VmRSS:");
        state.ResumeTiming();
        meter.start();
        QElapsedTimer clock;
        clock.start();
        model.exportRateLibrary();
        while (model.exportPending() && clock.elapsed() < 60000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
        worstStall = std::max(worstStall, meter.stopMs());
        worstPeakMb = std::max(worstPeakMb, double(BenchMemory::statusKb("VmHWM:") - before) * 1024 / 1e6);

        // The status names the file, and the file holds the companion's library.
        state.PauseTiming();
        QFile file(backup);
        const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        fileBytes = bytes.size();
        const RateLibraryFile::Decoded decoded = RateLibraryFile::decode(bytes);
        if (model.rateLibraryStatus() != written || !decoded.ok() || decoded.json->size() != json.size() ||
            crcOf(*decoded.json) != crc) {
            state.SkipWithError(qPrintable(model.rateLibraryStatus().value_or(QStringLiteral("no status"))));
            break;
        }
        state.ResumeTiming();
    }
    state.counters["json_MB"] = double(json.size()) / 1e6;
    state.counters["file_MB"] = double(fileBytes) / 1e6;
    state.counters["longest_main_thread_stall_ms"] = worstStall;
    state.counters["peak_extra_MB"] = worstPeakMb;
}
BENCHMARK(BM_ExportBackup)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char **argv)
{
    if (argc == 6 && qstrcmp(argv[1], "--companion") == 0) {
        QCoreApplication app(argc, argv);
        Companion companion(quint16(QByteArray(argv[2]).toUInt()), QByteArray(argv[3]).toLongLong(),
                            quint32(QByteArray(argv[4]).toUInt()), QString::fromLocal8Bit(argv[5]));
        return app.exec();
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
