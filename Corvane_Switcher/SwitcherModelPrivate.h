#pragma once

// The model's published values and pending requests, shared by the SwitcherModel*.cpp files.

#include "SwitcherModel.h"

#include <QCoreApplication>
#include <QStringList>

struct SwitcherModelTr {
    Q_DECLARE_TR_FUNCTIONS(SwitcherModel)
};

struct SwitcherModel::Private {
    std::unique_ptr<Clock> clock;

    // Published values.
    std::optional<SwitcherProtocol::LearnedRates> learnedRates;
    std::optional<SwitcherProtocol::MusicQuality> musicQuality;
    std::optional<OutputDevice> device;
    QList<PlaybackHistory::Entry> history;
    bool musicRunning = false;
    LocalScanState localScan = LocalScanIdle{};
    std::optional<QString> rateLibraryStatus;
    bool rateLibraryBusy = false;
    std::optional<ImportPreview> importPreview;
    std::optional<QString> dismissedNotice;
    std::optional<QString> visualizerTab;
    SwitcherLink::State linkState = SwitcherLink::Idle{};

    int leadMs = RateSwitcher::defaultRelockLeadMs;
    double quietWindowSec = 0;
    double quietThresholdDb = 0;
    double quietHoldSec = 0;
    double pausePointSec = 0;
    bool fadeExtendPause = false;
    bool audioTap = false;
    QString boundaryMode;
    std::optional<int> handOverDelayMs;

    // Requests waiting for the companion's answer.
    struct PendingExport {
        QString path;
        QString flavour; // "backup" or "share"
    };
    struct PendingImport {
        QString url;
        QByteArray json;
        QString mode; // "dryRun" or "apply"
    };
    std::optional<PendingExport> pendingExport;
    // The companion's file being checked, compressed and written on a worker thread.
    bool exportWriting = false;
    std::optional<PendingImport> pendingImport;
    // Answers still owed for requests given up on (timed out or dismissed). The link keeps order
    // and the companion answers each request once, so the next answer of such a mode or flavour
    // is the late one, not the answer to a newer request. A new pairing owes nothing.
    QStringList owedImportModes;
    QStringList owedExportFlavours;
    // A chosen file being read on a worker thread; only the read of the latest ticket counts,
    // and an older one is told to stop.
    bool importReading = false;
    quint64 importReadTicket = 0;
    std::shared_ptr<std::atomic<bool>> importReadCancelled;
    ImportReader importReader;

    int openWindowCount = 0;
    // Whatever watched the history store before us, given back when the model goes.
    std::function<void()> previousHistoryChange;

    // Change announcements are held back while a batch of writes runs.
    int batchDepth = 0;
    bool dirty = false;
};

// Holds `changed()` back until the outermost batch ends, so one sync is one announcement.
class SwitcherModel::Batch final {
public:
    explicit Batch(SwitcherModel &model) : m_model(model) { ++m_model.d->batchDepth; }
    ~Batch()
    {
        if (--m_model.d->batchDepth == 0 && m_model.d->dirty) {
            m_model.d->dirty = false;
            emit m_model.changed();
        }
    }
    Batch(const Batch &) = delete;
    Batch &operator=(const Batch &) = delete;

private:
    SwitcherModel &m_model;
};

// The name a status text uses for a file: its last path component.
QString displayFileName(const QString &path);
