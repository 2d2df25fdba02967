// Loading the playback history file at start-up: a full store (2000 plays), a file just under
// the size bound (far more plays than the store keeps), and refusing a file over the bound.
// Figures go in bench/README.md.
//
// Peak memory (BenchMemory.h) is the rise of resident memory while the store loads, the loaded
// plays included, as a multiple of the file's size.

#include "BenchLibrary.h"
#include "BenchMemory.h"
#include "PlaybackHistory.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

const QString fileName = QStringLiteral("PlaybackHistory.json");

// A history file of `plays` plays. The store writes at most 2000; more are the store's own
// plays over again under new ids, as a file from elsewhere might hold them.
struct HistoryFile {
    explicit HistoryFile(int plays)
    {
        {
            PlaybackHistory history(path());
            for (const PlaybackHistory::Entry &entry : makeBenchPlays(plays))
                history.append(entry);
            ok = history.saveNow();
            QFile::remove(history.previousFilePath());
        }
        if (ok && plays > PlaybackHistory::maximumEntries)
            ok = repeatPlays(plays);
        size = QFileInfo(path()).size();
    }
    bool repeatPlays(int plays) const
    {
        QFile file(path());
        if (!file.open(QIODevice::ReadOnly))
            return false;
        QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
        const QJsonArray written = root.value(u"entries").toArray();
        QJsonArray entries;
        for (int i = 0; i < plays; ++i) {
            QJsonObject entry = written.at(i % written.size()).toObject();
            entry.insert(u"id", QUuid::createUuid().toString(QUuid::WithoutBraces));
            entries.append(entry);
        }
        root.insert(u"entries", entries);
        file.close();
        return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
               file.write(QJsonDocument(root).toJson(QJsonDocument::Compact)) > 0;
    }
    QString path() const { return dir.filePath(fileName); }

    QTemporaryDir dir;
    bool ok = false;
    qint64 size = 0;
};

void reportPeak(benchmark::State &state, const BenchMemory::Rise &rise, qint64 fileSize)
{
    state.counters["file_MB"] = double(fileSize) / 1e6;
    state.counters["peak_MB"] = double(rise.peakBytes) / 1e6;
    state.counters["peak_x_file"] = double(rise.peakBytes) / double(fileSize);
}

void BM_LoadHistory(benchmark::State &state)
{
    const int plays = int(state.range(0));
    const qsizetype expected = std::min(plays, PlaybackHistory::maximumEntries);
    const HistoryFile file(plays);
    if (!file.ok) {
        state.SkipWithError("the history file could not be written");
        return;
    }
    const auto load = [&file] { return std::make_unique<PlaybackHistory>(file.path()); };
    const BenchMemory::Rise rise = BenchMemory::measureRise(load);
    for (auto _ : state) {
        const std::unique_ptr<PlaybackHistory> history = load();
        if (history->entries().size() != expected || !history->lastError().isEmpty()) {
            state.SkipWithError("the store did not load every play it keeps");
            break;
        }
    }
    reportPeak(state, rise, file.size);
    state.counters["plays_kept"] = double(expected);
    state.SetBytesProcessed(state.iterations() * file.size);
}
// 2000: a full store. 100000: about 29 MB, just under the bound; the store keeps the newest 2000.
BENCHMARK(BM_LoadHistory)->Arg(2000)->Arg(100000)->Unit(benchmark::kMillisecond);

// A file one byte over the bound is set aside unread; each iteration puts it back first.
void BM_RefuseOversizedHistory(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(fileName);
    const qint64 size = PlaybackHistory::maximumFileBytes + 1;
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || !file.resize(size)) { // sparse: no disk space used
            state.SkipWithError("the oversized file could not be made");
            return;
        }
    }
    // Puts the set-aside file back in place; false when the store did not set it aside whole.
    const auto restore = [&dir, &path, size] {
        const QStringList aside = QDir(dir.path()).entryList({QStringLiteral("*.damaged-*")}, QDir::Files);
        return aside.size() == 1 && QFileInfo(dir.filePath(aside.first())).size() == size &&
               !QFileInfo::exists(path) && QFile::rename(dir.filePath(aside.first()), path);
    };
    const auto load = [&path] { return std::make_unique<PlaybackHistory>(path); };
    const BenchMemory::Rise rise = BenchMemory::measureRise(load);
    if (!restore()) {
        state.SkipWithError("the oversized file was not set aside");
        return;
    }
    for (auto _ : state) {
        const std::unique_ptr<PlaybackHistory> history = load();
        state.PauseTiming();
        const bool refused = history->entries().isEmpty() && !history->lastError().isEmpty();
        if (!refused || !restore()) {
            state.SkipWithError("the oversized file was not refused and set aside");
            break;
        }
        state.ResumeTiming();
    }
    reportPeak(state, rise, size);
}
BENCHMARK(BM_RefuseOversizedHistory)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv); // the store's delayed save is a QTimer
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
