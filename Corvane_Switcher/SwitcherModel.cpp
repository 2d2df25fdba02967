#include "SwitcherModelPrivate.h"

#include "Logging.h"
#include "Units.h"

#include <QFileInfo>
#include <QTimer>

#include <algorithm>
#include <map>

namespace {

// Writes `value` into `field`; true when that changed something.
template <class T> bool assign(T &field, T value)
{
    if (field == value)
        return false;
    field = std::move(value);
    return true;
}

// One single-shot QTimer per slot; scheduling a slot again replaces its task and restarts it.
class TimerClock final : public SwitcherModel::Clock {
public:
    void schedule(const QString &slot, int ms, std::function<void()> task) override
    {
        Slot &entry = m_slots[slot];
        entry.task = std::move(task);
        if (!entry.timer) {
            entry.timer = std::make_unique<QTimer>();
            entry.timer->setSingleShot(true);
            QObject::connect(entry.timer.get(), &QTimer::timeout, [this, slot] {
                // Copy first: the task may schedule its own slot again.
                const auto task = m_slots[slot].task;
                if (task)
                    task();
            });
        }
        entry.timer->start(std::max(0, ms));
    }

    void cancel(const QString &slot) override
    {
        const auto it = m_slots.find(slot);
        if (it != m_slots.end() && it->second.timer)
            it->second.timer->stop();
    }

private:
    struct Slot {
        std::unique_ptr<QTimer> timer;
        std::function<void()> task;
    };
    std::map<QString, Slot> m_slots;
};

const QString devicePollSlot = QStringLiteral("devicePoll");

} // namespace

QString displayFileName(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    return name.isEmpty() ? path : name;
}

std::unique_ptr<SwitcherModel::Clock> SwitcherModel::makeTimerClock()
{
    return std::make_unique<TimerClock>();
}

SwitcherModel::SwitcherModel(PlatformServices platform, std::unique_ptr<RateSwitcher> switcher,
                             std::unique_ptr<Clock> clock, QObject *parent)
    : QObject(parent), d(std::make_unique<Private>()), m_platform(platform),
      m_switcher(switcher ? std::move(switcher) : std::make_unique<RateSwitcher>())
{
    d->clock = clock ? std::move(clock) : makeTimerClock();

    // The published mirrors of the engine's settings, each inside its range. A hand-edited store
    // may hold anything; the engine gets the value the windows show, so that both time alike.
    const std::optional<int> lead = m_switcher->relockLeadMsOverride();
    d->leadMs = std::clamp(lead && *lead >= 1 ? *lead : RateSwitcher::defaultRelockLeadMs, leadMsMinimum,
                           leadMsMaximum);
    if (lead && *lead >= 1 && *lead != d->leadMs)
        m_switcher->setRelockLeadMsOverride(d->leadMs);
    const auto mirror = [](double &field, double stored, const Range &range, auto handToEngine) {
        field = range.clamp(stored);
        if (field != stored)
            handToEngine(field);
    };
    RateSwitcher &engine = *m_switcher;
    mirror(d->quietWindowSec, engine.quietWindowSec(), quietWindowRange,
           [&](double v) { engine.setQuietWindowSec(v); });
    mirror(d->quietThresholdDb, engine.quietThresholdDb(), quietThresholdRange,
           [&](double v) { engine.setQuietThresholdDb(v); });
    mirror(d->quietHoldSec, engine.quietHoldSec(), quietHoldRange,
           [&](double v) { engine.setQuietHoldSec(v); });
    mirror(d->pausePointSec, engine.pausePointSec(), pausePointRange,
           [&](double v) { engine.setPausePointSec(v); });
    d->fadeExtendPause = engine.fadeExtendPause();
    d->audioTap = engine.audioTapEnabled();
    d->boundaryMode = RateSwitcher::boundaryModeText(engine.boundaryMode());
    d->handOverDelayMs = engine.handOverDelayMs();
    if (d->handOverDelayMs && *d->handOverDelayMs > handOverDelayMaximum) {
        d->handOverDelayMs = handOverDelayMaximum;
        engine.setHandOverDelayMs(d->handOverDelayMs);
    }

    installCallbacks();
    m_switcher->start();
    {
        Batch batch(*this);
        copyHistory();
        pollPlatform();
        sync();
    }
    armDevicePoll();

    // The store loaded its file before anyone could listen; the window alone would show only
    // an empty history.
    if (const QString problem = m_switcher->history().loadError(); !problem.isEmpty()) {
        //: Title of the notification shown when the history file was set aside or could not be read at start.
        notify(SwitcherModelTr::tr("The playback history could not be loaded"), problem);
    }
}

SwitcherModel::~SwitcherModel()
{
    // The engine outlives nothing of ours, but its teardown may still report; keep it away.
    m_switcher->onChange = nullptr;
    m_switcher->onLearnedRates = nullptr;
    m_switcher->onLocalFilesResult = nullptr;
    m_switcher->onRateLibraryFile = nullptr;
    m_switcher->onRateLibraryImported = nullptr;
    m_switcher->history().onChange = d->previousHistoryChange;
    m_switcher->history().onSaveFailed = nullptr;
    d->clock->cancel(devicePollSlot);
    cancelAnswerTimeout();
    cancelImportRead(); // read for nobody
}

void SwitcherModel::installCallbacks()
{
    m_switcher->onChange = [this] { sync(); };
    m_switcher->onLearnedRates = [this](const SwitcherProtocol::LearnedRates &rates) {
        // Every message redraws, even an identical one: the window left "Loading…" for it.
        d->learnedRates = rates;
        announce();
    };
    m_switcher->onLocalFilesResult = [this](const SwitcherProtocol::LocalFilesResult &result) {
        localFilesResultArrived(result);
    };
    m_switcher->onRateLibraryFile = [this](const SwitcherProtocol::RateLibraryFile &file) {
        rateLibraryFileArrived(file);
    };
    m_switcher->onRateLibraryImported = [this](const SwitcherProtocol::RateLibraryImported &answer) {
        rateLibraryImportedArrived(answer);
    };
    // The engine may watch its store too; ours runs after it.
    PlaybackHistory &history = m_switcher->history();
    d->previousHistoryChange = history.onChange;
    history.onChange = [this] {
        if (d->previousHistoryChange)
            d->previousHistoryChange();
        copyHistory();
    };
    history.onSaveFailed = [this](const QString &message) {
        //: Title of the notification shown when the history file could not be written.
        notify(SwitcherModelTr::tr("The playback history could not be saved"), message);
    };
}

void SwitcherModel::notify(const QString &title, const QString &message)
{
    if (m_platform.notifications)
        m_platform.notifications->notify(title, message);
}

void SwitcherModel::armDevicePoll()
{
    d->clock->schedule(devicePollSlot, devicePollMs, [this] {
        pollPlatform();
        sync();
        armDevicePoll();
    });
}

void SwitcherModel::announce()
{
    if (d->batchDepth > 0) {
        d->dirty = true;
        return;
    }
    emit changed();
}

void SwitcherModel::copyHistory()
{
    const QList<PlaybackHistory::Entry> &entries = m_switcher->history().entries();
    if (d->history == entries)
        return;
    d->history = entries;
    announce();
}

void SwitcherModel::sync()
{
    Batch batch(*this);
    const SwitcherLink &link = m_switcher->link();
    if (assign(d->linkState, link.state()))
        announce();

    if (link.isPeer()) {
        if (learnedRatesWindowOpen && !subscribedThisPairing) {
            subscribedThisPairing = true;
            m_switcher->requestLearnedRates(true);
        }
    } else {
        subscribedThisPairing = false;
        // The companion that was to answer this scan is gone; say so, and let the user start again.
        if (std::holds_alternative<LocalScanScanning>(d->localScan))
            //: Why a local file scan failed: the companion went away before it answered.
            endScan(LocalScanFailed{SwitcherModelTr::tr("Corvane Mac Remote disconnected")});
        companionLeft();
    }
    copyHistory();
}

void SwitcherModel::pollPlatform()
{
    Batch batch(*this);
    if (m_platform.outputDevices && assign(d->device, m_platform.outputDevices->defaultOutputDevice()))
        announce();
    if (m_platform.musicApp) {
        if (assign(d->musicRunning, m_platform.musicApp->isRunning()))
            announce();
        if (assign(d->musicQuality, m_platform.musicApp->qualitySetting()))
            announce();
        // The tap can only fail where it is tried: with fade-out switching on and Music.app playing.
        if (d->audioTap && d->musicRunning) {
            const bool failed = !m_platform.musicApp->processTapSupported();
            if (m_switcher->audioTapFailed() != failed) {
                m_switcher->setAudioTapFailed(failed);
                announce();
            }
        }
    }
}

// Published values.

const std::optional<SwitcherProtocol::LearnedRates> &SwitcherModel::learnedRates() const
{
    return d->learnedRates;
}

void SwitcherModel::setLearnedRates(std::optional<SwitcherProtocol::LearnedRates> rates)
{
    if (assign(d->learnedRates, std::move(rates)))
        announce();
}

const std::optional<SwitcherProtocol::MusicQuality> &SwitcherModel::musicQuality() const
{
    return d->musicQuality;
}
const std::optional<OutputDevice> &SwitcherModel::device() const
{
    return d->device;
}
const QList<PlaybackHistory::Entry> &SwitcherModel::history() const
{
    return d->history;
}
bool SwitcherModel::musicRunning() const
{
    return d->musicRunning;
}
const SwitcherModel::LocalScanState &SwitcherModel::localScan() const
{
    return d->localScan;
}

void SwitcherModel::setLocalScan(LocalScanState state)
{
    if (assign(d->localScan, std::move(state)))
        announce();
}

const std::optional<QString> &SwitcherModel::rateLibraryStatus() const
{
    return d->rateLibraryStatus;
}

void SwitcherModel::setRateLibraryStatus(std::optional<QString> status)
{
    if (assign(d->rateLibraryStatus, std::move(status)))
        announce();
}

bool SwitcherModel::rateLibraryBusy() const
{
    return d->rateLibraryBusy;
}

void SwitcherModel::setBusy(bool busy)
{
    if (assign(d->rateLibraryBusy, busy))
        announce();
}

const std::optional<SwitcherModel::ImportPreview> &SwitcherModel::importPreview() const
{
    return d->importPreview;
}

void SwitcherModel::setImportPreview(std::optional<ImportPreview> preview)
{
    const bool same = preview.has_value() == d->importPreview.has_value() &&
                      (!preview || preview->id == d->importPreview->id);
    d->importPreview = std::move(preview);
    if (!same)
        announce();
}

const std::optional<QString> &SwitcherModel::dismissedNotice() const
{
    return d->dismissedNotice;
}
const std::optional<QString> &SwitcherModel::visualizerTab() const
{
    return d->visualizerTab;
}

void SwitcherModel::setVisualizerTab(std::optional<QString> id)
{
    if (assign(d->visualizerTab, std::move(id)))
        announce();
}

const SwitcherLink::State &SwitcherModel::linkState() const
{
    return d->linkState;
}

// Visualizer settings.

int SwitcherModel::leadMs() const
{
    return d->leadMs;
}

void SwitcherModel::setLeadMs(int ms)
{
    ms = std::clamp(ms, leadMsMinimum, leadMsMaximum);
    if (assign(d->leadMs, ms))
        announce();
    const std::optional<int> current = m_switcher->relockLeadMsOverride();
    if (current != ms)
        m_switcher->setRelockLeadMsOverride(ms);
}

double SwitcherModel::quietWindowSec() const
{
    return d->quietWindowSec;
}

void SwitcherModel::setQuietWindowSec(double seconds)
{
    seconds = quietWindowRange.clamp(seconds);
    if (assign(d->quietWindowSec, seconds))
        announce();
    if (m_switcher->quietWindowSec() != seconds)
        m_switcher->setQuietWindowSec(seconds);
}

double SwitcherModel::quietThresholdDb() const
{
    return d->quietThresholdDb;
}

void SwitcherModel::setQuietThresholdDb(double db)
{
    db = quietThresholdRange.clamp(db);
    if (assign(d->quietThresholdDb, db))
        announce();
    if (m_switcher->quietThresholdDb() != db)
        m_switcher->setQuietThresholdDb(db);
}

double SwitcherModel::quietHoldSec() const
{
    return d->quietHoldSec;
}

void SwitcherModel::setQuietHoldSec(double seconds)
{
    seconds = quietHoldRange.clamp(seconds);
    if (assign(d->quietHoldSec, seconds))
        announce();
    if (m_switcher->quietHoldSec() != seconds)
        m_switcher->setQuietHoldSec(seconds);
}

double SwitcherModel::pausePointSec() const
{
    return d->pausePointSec;
}

void SwitcherModel::setPausePointSec(double seconds)
{
    seconds = pausePointRange.clamp(seconds);
    if (assign(d->pausePointSec, seconds))
        announce();
    if (m_switcher->pausePointSec() != seconds)
        m_switcher->setPausePointSec(seconds);
}

bool SwitcherModel::fadeExtendPause() const
{
    return d->fadeExtendPause;
}

void SwitcherModel::setFadeExtendPause(bool on)
{
    if (assign(d->fadeExtendPause, on))
        announce();
    if (m_switcher->fadeExtendPause() != on)
        m_switcher->setFadeExtendPause(on);
}

bool SwitcherModel::audioTap() const
{
    return d->audioTap;
}

void SwitcherModel::setAudioTap(bool on)
{
    if (assign(d->audioTap, on))
        announce();
    if (m_switcher->audioTapEnabled() != on)
        m_switcher->setAudioTapEnabled(on);
}

QString SwitcherModel::boundaryMode() const
{
    return d->boundaryMode;
}

void SwitcherModel::setBoundaryMode(const QString &mode)
{
    if (assign(d->boundaryMode, mode))
        announce();
    const RateSwitcher::BoundaryMode engineMode = RateSwitcher::boundaryModeFromText(mode);
    if (m_switcher->boundaryMode() != engineMode)
        m_switcher->setBoundaryMode(engineMode);
}

std::optional<int> SwitcherModel::handOverDelayMs() const
{
    return d->handOverDelayMs;
}

void SwitcherModel::setHandOverDelayMs(std::optional<int> ms)
{
    if (ms)
        ms = std::clamp(*ms, 0, handOverDelayMaximum);
    if (assign(d->handOverDelayMs, ms))
        announce();
    if (m_switcher->handOverDelayMs() != ms)
        m_switcher->setHandOverDelayMs(ms);
}

int SwitcherModel::handOverDelayBindingValue() const
{
    return d->handOverDelayMs.value_or(m_switcher->relockLeadMs());
}

void SwitcherModel::setHandOverDelayBindingValue(int ms)
{
    const int rounded = int(Units::roundHalfAwayFromZero(ms / 50.0)) * 50;
    setHandOverDelayMs(rounded);
}

// Commands that need no companion.

QList<double> SwitcherModel::supportedStandardRates(const QString &deviceUID) const
{
    static const double standardRates[] = {44100, 48000, 88200, 96000, 176400, 192000, 352800, 384000};
    if (!d->device || !d->device->uid || *d->device->uid != deviceUID)
        return {};
    QList<double> rates;
    for (const double rate : standardRates) {
        if (d->device->supports(rate))
            rates.append(rate);
    }
    return rates;
}

void SwitcherModel::pinRate(const SwitcherProtocol::LearnedRates::Row &row, double rate)
{
    SwitcherProtocol::PinLearnedRate pin;
    pin.id = row.id;
    pin.tier = row.tier;
    pin.rate = rate;
    pin.title = row.title;
    pin.artist = row.artist;
    pin.album = row.album;
    m_switcher->pinLearnedRate(pin);
}

std::optional<QString> SwitcherModel::visibleRateLibraryNotice() const
{
    if (!d->learnedRates || !d->learnedRates->notice)
        return std::nullopt;
    if (d->learnedRates->notice == d->dismissedNotice)
        return std::nullopt;
    return d->learnedRates->notice;
}

void SwitcherModel::dismissRateLibraryNotice()
{
    std::optional<QString> notice = d->learnedRates ? d->learnedRates->notice : std::nullopt;
    if (assign(d->dismissedNotice, std::move(notice)))
        announce();
    m_switcher->dismissRateLibraryNotice();
}

std::optional<QString> SwitcherModel::fadeSwitchPermissionTip() const
{
    if (!d->audioTap || !m_switcher->audioTapFailed() || !d->musicRunning)
        return std::nullopt;
    return SwitcherModelTr::tr(
        "Switching inside a fade-out needs the System Audio Recording permission — allow "
        "Corvane Zuvaradi in System Settings › Privacy & Security.");
}

// The window count.

int SwitcherModel::openWindowCount() const
{
    return d->openWindowCount;
}

void SwitcherModel::windowAppeared()
{
    ++d->openWindowCount;
}

void SwitcherModel::windowDisappeared()
{
    d->openWindowCount = std::max(0, d->openWindowCount - 1);
    if (d->openWindowCount == 0 && m_platform.workspace)
        m_platform.workspace->setAccessoryPolicy();
}

bool SwitcherModel::exportPending() const
{
    return d->pendingExport.has_value() || d->exportWriting;
}
bool SwitcherModel::importPending() const
{
    return d->pendingImport.has_value();
}
bool SwitcherModel::importReading() const
{
    return d->importReading;
}
