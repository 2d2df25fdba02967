#pragma once

#include "OutputDevice.h"
#include "Platform/PlatformServices.h"
#include "PlaybackHistory.h"
#include "RateSwitcher.h"
#include "SwitcherProtocol.h"

#include <QObject>
#include <QString>
#include <QUuid>

#include <algorithm>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <variant>

// The one model every window reads, on the main thread. It mirrors the engine, the link, the
// history and the platform in published values, and offers the commands the windows call. Any
// change of a published value is announced by `changed()`; windows recompute what they show.
class SwitcherModel final : public QObject {
    Q_OBJECT
public:
    // The local-file scan as the footer shows it.
    struct LocalScanIdle {
        bool operator==(const LocalScanIdle &) const = default;
    };
    struct LocalScanScanning {
        bool operator==(const LocalScanScanning &) const = default;
    };
    struct LocalScanDone {
        SwitcherProtocol::LocalFilesResult result;
        bool operator==(const LocalScanDone &) const = default;
    };
    struct LocalScanFailed {
        QString text;
        bool operator==(const LocalScanFailed &) const = default;
    };
    using LocalScanState = std::variant<LocalScanIdle, LocalScanScanning, LocalScanDone, LocalScanFailed>;

    // The dry-run result of an import, waiting for the user.
    struct ImportPreview {
        QUuid id = QUuid::createUuid();
        QString url; // the chosen file's path
        QByteArray json;
        SwitcherProtocol::RateLibraryImported result;
    };

    // Drives the model's timers, so that tests never sleep. The default runs real QTimers.
    class Clock {
    public:
        virtual ~Clock() = default;
        // Runs `task` after `ms`; a later call with the same `slot` replaces the earlier one.
        virtual void schedule(const QString &slot, int ms, std::function<void()> task) = 0;
        virtual void cancel(const QString &slot) = 0;
    };

    // What reading a chosen Rate Library file gave: its JSON, or the status that says why not.
    struct ImportRead {
        QByteArray json;
        std::optional<QString> refusal;
    };
    // Reads a chosen file on a worker thread. `cancelled` turns true once a newer choice or a
    // dismissal makes the read pointless; the reader then stops early.
    using ImportReader = std::function<ImportRead(const QString &path, const std::atomic<bool> &cancelled)>;

    static constexpr int devicePollMs = 2000;
    static constexpr int answerTimeoutMs = 30000;
    // How long a local-file scan waits for the companion's result after its last batch went out;
    // matching a large library's files takes the companion a while.
    static constexpr int localScanAnswerTimeoutMs = 120000;
    // A Rate Library file larger than this is refused before it is read.
    static constexpr qint64 maximumImportBytes = 256LL * 1024 * 1024;
    // The ranges of the visualizer settings. A stored value outside its range is brought inside
    // when it is read, and every write is kept inside.
    static constexpr int leadMsMinimum = 500;
    static constexpr int leadMsMaximum = 3000;
    struct Range {
        double minimum;
        double maximum;
        double clamp(double value) const { return std::clamp(value, minimum, maximum); }
    };
    static constexpr Range quietWindowRange{3.0, 15.0};       // seconds
    static constexpr Range quietThresholdRange{-80.0, -30.0}; // dBFS
    static constexpr Range quietHoldRange{0.3, 4.0};          // seconds
    static constexpr Range pausePointRange{0.1, 3.0};         // seconds
    static constexpr int handOverDelayMaximum = 10000;        // milliseconds

    // The default clock: one real single-shot QTimer per slot.
    static std::unique_ptr<Clock> makeTimerClock();

    // `switcher` and `clock` may be given by tests; otherwise the model makes its own.
    explicit SwitcherModel(PlatformServices platform, std::unique_ptr<RateSwitcher> switcher = nullptr,
                           std::unique_ptr<Clock> clock = nullptr, QObject *parent = nullptr);
    ~SwitcherModel() override;

    RateSwitcher &switcher() { return *m_switcher; }
    const RateSwitcher &switcher() const { return *m_switcher; }
    const PlatformServices &platform() const { return m_platform; }

    // Published values.
    const std::optional<SwitcherProtocol::LearnedRates> &learnedRates() const;
    void setLearnedRates(std::optional<SwitcherProtocol::LearnedRates> rates);
    const std::optional<SwitcherProtocol::MusicQuality> &musicQuality() const;
    const std::optional<OutputDevice> &device() const;
    const QList<PlaybackHistory::Entry> &history() const;
    bool musicRunning() const;
    const LocalScanState &localScan() const;
    const std::optional<QString> &rateLibraryStatus() const;
    void setRateLibraryStatus(std::optional<QString> status);
    bool rateLibraryBusy() const;
    const std::optional<ImportPreview> &importPreview() const;
    const std::optional<QString> &dismissedNotice() const;
    const std::optional<QString> &visualizerTab() const;
    void setVisualizerTab(std::optional<QString> id);
    // The link's state as last synced (windows that must react at once read the engine's link).
    const SwitcherLink::State &linkState() const;

    // Plain state the Rate Library window sets.
    bool learnedRatesWindowOpen = false;
    bool subscribedThisPairing = false;

    // Visualizer settings; a write hands the value to the engine when it differs.
    int leadMs() const;
    void setLeadMs(int ms);
    double quietWindowSec() const;
    void setQuietWindowSec(double seconds);
    double quietThresholdDb() const;
    void setQuietThresholdDb(double db);
    double quietHoldSec() const;
    void setQuietHoldSec(double seconds);
    double pausePointSec() const;
    void setPausePointSec(double seconds);
    bool fadeExtendPause() const;
    void setFadeExtendPause(bool on);
    bool audioTap() const;
    void setAudioTap(bool on);
    QString boundaryMode() const;
    void setBoundaryMode(const QString &mode); // runs the change handler
    std::optional<int> handOverDelayMs() const;
    void setHandOverDelayMs(std::optional<int> ms); // runs the apply step
    // The Delay Added stepper's value: handOverDelayMs, else the engine's automatic delay.
    int handOverDelayBindingValue() const;
    // Rounds to a multiple of 50 (halves away from zero), stores it and applies it.
    void setHandOverDelayBindingValue(int ms);

    // Commands and derived texts.
    QList<double> supportedStandardRates(const QString &deviceUID) const;
    void pinRate(const SwitcherProtocol::LearnedRates::Row &row, double rate);
    std::optional<QString> visibleRateLibraryNotice() const;
    void dismissRateLibraryNotice();
    void scanLocalFiles();
    void exportRateLibrary();
    void chooseImportFile();
    // The import preview step for a chosen file (also reached from an opened document). The file
    // is read on a worker thread; its refusal or the dry run follows on the main thread.
    void previewImport(const QString &path);
    // Tests replace the file reader; none restores the model's own.
    void setImportReader(ImportReader reader);
    void dismissImportPreview();
    void confirmImport();
    static QString importSummaryText(const SwitcherProtocol::RateLibraryImported &result,
                                     const Bundle &bundle = Bundle::main());
    static QString companionLearnedFileURL();
    // Asks for a destination and writes the whole history there as CSV. A failure is logged and
    // said (where, why, and that a file already there is as it was) for the window that asked
    // to show; none when written or cancelled.
    std::optional<QString> exportHistoryCSV();
    std::optional<QString> fadeSwitchPermissionTip() const;
    static QString loadSummaryText(const std::optional<PlaybackHistory::MusicStartStats> &stats);

    // The application-wide count of open windows; at zero the app goes back to the tray only.
    int openWindowCount() const;
    void windowAppeared();
    void windowDisappeared();

    // Re-reads the engine, the link and the platform into the published values.
    void sync();
    // Reads the output device, Music.app and its quality again (the 2.0 s poll does this).
    void pollPlatform();

    // What the pending export or import is waiting for (tests and the shell read these). An
    // export is pending until its file is written.
    bool exportPending() const;
    bool importPending() const;
    bool importReading() const;

signals:
    void changed();

private:
    class Batch;
    void installCallbacks();
    void armDevicePoll();
    void copyHistory();
    void notify(const QString &title, const QString &message);
    void announce();
    void setLocalScan(LocalScanState state);
    void setBusy(bool busy);
    void setImportPreview(std::optional<ImportPreview> preview);
    void armAnswerTimeout();
    void cancelAnswerTimeout();
    void answerTimedOut();
    // Stops waiting for the pending export or import. When the companion that got the request
    // is still there, its answer is remembered as owed and dropped when it comes.
    void giveUpWait(bool answerStillOwed);
    // The companion left: nothing it was asked will be answered by the next one.
    void companionLeft();
    // True, with a status that says so, while another import or export still runs.
    bool refuseWhileFileOperationRuns(bool alsoWhileReading);
    void rateLibraryFileArrived(const SwitcherProtocol::RateLibraryFile &file);
    void exportWritten(const QString &path, const QString &flavour, const std::optional<QString> &failure);
    void rateLibraryImportedArrived(const SwitcherProtocol::RateLibraryImported &answer);
    void cancelImportRead();
    void importFileRead(quint64 ticket, const QString &path, ImportRead read);
    void localFilesScanned(const MusicApp::ScanResult &result);
    void localFilesResultArrived(const SwitcherProtocol::LocalFilesResult &result);
    void endScan(LocalScanState state);

    struct Private;
    std::unique_ptr<Private> d;
    PlatformServices m_platform;
    std::unique_ptr<RateSwitcher> m_switcher;
};
