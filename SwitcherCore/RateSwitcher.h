#pragma once

#include "PlaybackHistory.h"
#include "SwitcherLink.h"
#include "SwitcherProtocol.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QSettings;

// The switching engine. Here it owns the companion link and the playback history, keeps the
// engine settings (read once from the settings store at creation, each setter writing its key
// back) and offers the senders the windows use.
class RateSwitcher final {
public:
    enum class BoundaryMode { stop, pause, lead, none };
    static QString boundaryModeText(BoundaryMode mode);
    // Anything but the four words gives the default, stop.
    static BoundaryMode boundaryModeFromText(const QString &text);

    static constexpr int defaultRelockLeadMs = 1200;
    static constexpr int importChunkBytes = 3 * 64 * 1024; // file bytes per "rateLibraryImport"
    static constexpr int localFilesBatchSize = 500;

    // `settings` is the store to read and write (none: the application's QSettings);
    // `historyFilePath` and `portFileDirectory` default to the data folder.
    explicit RateSwitcher(QSettings *settings = nullptr, QString historyFilePath = {},
                          QString portFileDirectory = {});
    ~RateSwitcher();
    RateSwitcher(const RateSwitcher &) = delete;
    RateSwitcher &operator=(const RateSwitcher &) = delete;

    // Starts the link's listener.
    void start();

    SwitcherLink &link() { return *m_link; }
    const SwitcherLink &link() const { return *m_link; }
    PlaybackHistory &history() { return *m_history; }
    const PlaybackHistory &history() const { return *m_history; }

    // Callbacks for the model, run on the main thread.
    std::function<void()> onChange;
    std::function<void(const SwitcherProtocol::LearnedRates &)> onLearnedRates;
    std::function<void(const SwitcherProtocol::LocalFilesResult &)> onLocalFilesResult;
    std::function<void(const SwitcherProtocol::RateLibraryFile &)> onRateLibraryFile;
    std::function<void(const SwitcherProtocol::RateLibraryImported &)> onRateLibraryImported;

    // Settings ("switcher." keys).
    bool enabled() const;
    std::optional<int> port() const;
    std::optional<int> relockLeadMsOverride() const;
    void setRelockLeadMsOverride(std::optional<int> ms);
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
    std::optional<int> handOverDelayMs() const;
    void setHandOverDelayMs(std::optional<int> ms);
    BoundaryMode boundaryMode() const;
    void setBoundaryMode(BoundaryMode mode);
    bool audioTapEnabled() const;
    void setAudioTapEnabled(bool on);
    // Whether the audio tap could not be started (the permission was refused); reported by
    // whoever starts the tap on this platform.
    bool audioTapFailed() const;
    void setAudioTapFailed(bool failed);

    // The automatic Delay Added: the Relock Time minus the fastest Music.app start among the last
    // 25 plays that have one (0 ms included), rounded to 100 ms, never below 0; 0 while fewer
    // than 5 plays have a start time.
    int relockLeadMs() const;

    // Senders.
    void requestLearnedRates(bool subscribe);
    void pinLearnedRate(const SwitcherProtocol::PinLearnedRate &pin);
    void unpinLearnedRate(const QString &id, const QString &tier);
    void forgetLearnedRate(const QString &id, const QString &tier);
    void forgetRates();
    void resetStore();
    void removeAllPins();
    void setDeviceAtmos(const QString &deviceUID, std::optional<bool> atmosOutput);
    void resetOutput(const QString &deviceUID);
    // Sends the file base64-encoded in "rateLibraryImport" chunks; mode "dryRun" or "apply".
    void importRateLibrary(const QByteArray &data, const QString &mode);
    void dismissRateLibraryNotice();
    // Sends the rows in batches of 500, the last one marked done (one empty batch for none).
    void sendLocalFiles(const QList<SwitcherProtocol::LocalFileRow> &rows);
    // Asks the companion for its Rate Library file; flavour "backup" or "share".
    void requestRateLibraryExport(const QString &flavour);

private:
    struct Private;
    std::unique_ptr<Private> d;
    std::unique_ptr<SwitcherLink> m_link;
    std::unique_ptr<PlaybackHistory> m_history;
};
