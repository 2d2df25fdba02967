#include "RateSwitcher.h"

#include "Logging.h"

#include <QSettings>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

namespace Key {
const QString enabled = QStringLiteral("switcher.enabled");
const QString port = QStringLiteral("switcher.port");
const QString relockLeadMsOverride = QStringLiteral("switcher.relockLeadMsOverride");
const QString audioTap = QStringLiteral("switcher.audioTap");
const QString quietWindowSec = QStringLiteral("switcher.quietWindowSec");
const QString quietThresholdDb = QStringLiteral("switcher.quietThresholdDb");
const QString quietHoldSec = QStringLiteral("switcher.quietHoldSec");
const QString boundaryMode = QStringLiteral("switcher.boundaryMode");
const QString pausePointSec = QStringLiteral("switcher.pausePointSec");
const QString fadeExtendPause = QStringLiteral("switcher.fadeExtendPause");
const QString handOverDelayMs = QStringLiteral("switcher.handOverDelayMs");
const QString firstNoteProtection = QStringLiteral("switcher.firstNoteProtection");
} // namespace Key

// The settings store may hold anything a user or an older version put there: a value that
// does not read as the expected kind counts as absent, and the default applies.
bool readBool(const QSettings &settings, const QString &key, bool fallback)
{
    const QVariant value = settings.value(key);
    if (!value.isValid())
        return fallback;
    const QString text = value.toString().trimmed().toLower();
    if (text == u"true" || text == u"1")
        return true;
    if (text == u"false" || text == u"0")
        return false;
    return fallback;
}

double readDouble(const QSettings &settings, const QString &key, double fallback)
{
    bool ok = false;
    const double value = settings.value(key).toDouble(&ok);
    return ok && std::isfinite(value) ? value : fallback;
}

std::optional<int> readWhole(const QSettings &settings, const QString &key)
{
    const QVariant value = settings.value(key);
    if (!value.isValid())
        return std::nullopt;
    bool ok = false;
    const double number = value.toDouble(&ok);
    if (!ok || !std::isfinite(number) || std::trunc(number) != number || std::abs(number) > 1.0e9)
        return std::nullopt;
    return int(number);
}

} // namespace

struct RateSwitcher::Private {
    std::unique_ptr<QSettings> ownSettings;
    QSettings *settings = nullptr;

    bool enabled = true;
    std::optional<int> port;
    std::optional<int> relockLeadMsOverride;
    bool audioTap = true;
    double quietWindowSec = 4.5;
    double quietThresholdDb = -55;
    double quietHoldSec = 0.4;
    BoundaryMode boundaryMode = BoundaryMode::stop;
    double pausePointSec = 0.4;
    bool fadeExtendPause = true;
    std::optional<int> handOverDelayMs;
    bool audioTapFailed = false;

    void read()
    {
        const QSettings &s = *settings;
        enabled = readBool(s, Key::enabled, true);
        const std::optional<int> configured = readWhole(s, Key::port);
        if (configured && *configured >= 1 && *configured <= 65535)
            port = configured;
        relockLeadMsOverride = readWhole(s, Key::relockLeadMsOverride);
        audioTap = readBool(s, Key::audioTap, true);
        quietWindowSec = readDouble(s, Key::quietWindowSec, 4.5);
        quietThresholdDb = readDouble(s, Key::quietThresholdDb, -55);
        quietHoldSec = readDouble(s, Key::quietHoldSec, 0.4);
        boundaryMode = boundaryModeFromText(s.value(Key::boundaryMode).toString());
        pausePointSec = readDouble(s, Key::pausePointSec, 0.4);
        fadeExtendPause = readBool(s, Key::fadeExtendPause, true);
        handOverDelayMs = readWhole(s, Key::handOverDelayMs);
        if (handOverDelayMs && *handOverDelayMs < 0)
            handOverDelayMs.reset();
    }

    void write(const QString &key, const QVariant &value) { settings->setValue(key, value); }
    void writeOptional(const QString &key, std::optional<int> value)
    {
        if (value)
            settings->setValue(key, *value);
        else
            settings->remove(key);
    }
};

QString RateSwitcher::boundaryModeText(BoundaryMode mode)
{
    switch (mode) {
    case BoundaryMode::stop:
        return QStringLiteral("stop");
    case BoundaryMode::pause:
        return QStringLiteral("pause");
    case BoundaryMode::lead:
        return QStringLiteral("lead");
    case BoundaryMode::none:
        return QStringLiteral("none");
    }
    return QStringLiteral("stop");
}

RateSwitcher::BoundaryMode RateSwitcher::boundaryModeFromText(const QString &text)
{
    if (text == u"pause")
        return BoundaryMode::pause;
    if (text == u"lead")
        return BoundaryMode::lead;
    if (text == u"none")
        return BoundaryMode::none;
    return BoundaryMode::stop;
}

RateSwitcher::RateSwitcher(QSettings *settings, QString historyFilePath, QString portFileDirectory)
    : d(std::make_unique<Private>())
{
    if (!settings) {
        d->ownSettings =
            std::make_unique<QSettings>(QStringLiteral("Corvane"), QStringLiteral("Corvane Zuvaradi"));
        settings = d->ownSettings.get();
    }
    d->settings = settings;
    d->read();
    // Replaced by the boundary modes; a stale value would only confuse whoever reads the store.
    settings->remove(Key::firstNoteProtection);

    const std::optional<quint16> port = d->port ? std::optional<quint16>(quint16(*d->port)) : std::nullopt;
    m_link = std::make_unique<SwitcherLink>(port, std::move(portFileDirectory));
    m_history = std::make_unique<PlaybackHistory>(std::move(historyFilePath));

    m_link->onState = [this](const SwitcherLink::State &) {
        if (onChange)
            onChange();
    };
    m_link->onLearnedRates = [this](const SwitcherProtocol::LearnedRates &rates) {
        if (onLearnedRates)
            onLearnedRates(rates);
    };
    m_link->onLocalFilesResult = [this](const SwitcherProtocol::LocalFilesResult &result) {
        if (onLocalFilesResult)
            onLocalFilesResult(result);
    };
    m_link->onRateLibraryFile = [this](const SwitcherProtocol::RateLibraryFile &file) {
        if (onRateLibraryFile)
            onRateLibraryFile(file);
    };
    m_link->onRateLibraryImported = [this](const SwitcherProtocol::RateLibraryImported &imported) {
        if (onRateLibraryImported)
            onRateLibraryImported(imported);
    };
}

RateSwitcher::~RateSwitcher()
{
    // The link's handlers point back here; drop them before the callbacks go.
    m_link->onState = nullptr;
    m_link->onLearnedRates = nullptr;
    m_link->onLocalFilesResult = nullptr;
    m_link->onRateLibraryFile = nullptr;
    m_link->onRateLibraryImported = nullptr;
    m_link->stop();
}

void RateSwitcher::start()
{
    m_link->start();
}

// Settings.

bool RateSwitcher::enabled() const
{
    return d->enabled;
}
std::optional<int> RateSwitcher::port() const
{
    return d->port;
}
std::optional<int> RateSwitcher::relockLeadMsOverride() const
{
    return d->relockLeadMsOverride;
}
double RateSwitcher::quietWindowSec() const
{
    return d->quietWindowSec;
}
double RateSwitcher::quietThresholdDb() const
{
    return d->quietThresholdDb;
}
double RateSwitcher::quietHoldSec() const
{
    return d->quietHoldSec;
}
double RateSwitcher::pausePointSec() const
{
    return d->pausePointSec;
}
bool RateSwitcher::fadeExtendPause() const
{
    return d->fadeExtendPause;
}
std::optional<int> RateSwitcher::handOverDelayMs() const
{
    return d->handOverDelayMs;
}
RateSwitcher::BoundaryMode RateSwitcher::boundaryMode() const
{
    return d->boundaryMode;
}
bool RateSwitcher::audioTapEnabled() const
{
    return d->audioTap;
}
bool RateSwitcher::audioTapFailed() const
{
    return d->audioTapFailed;
}

void RateSwitcher::setRelockLeadMsOverride(std::optional<int> ms)
{
    d->relockLeadMsOverride = ms;
    d->writeOptional(Key::relockLeadMsOverride, ms);
    if (onChange)
        onChange();
}

void RateSwitcher::setQuietWindowSec(double seconds)
{
    d->quietWindowSec = seconds;
    d->write(Key::quietWindowSec, seconds);
    if (onChange)
        onChange();
}

void RateSwitcher::setQuietThresholdDb(double db)
{
    d->quietThresholdDb = db;
    d->write(Key::quietThresholdDb, db);
    if (onChange)
        onChange();
}

void RateSwitcher::setQuietHoldSec(double seconds)
{
    d->quietHoldSec = seconds;
    d->write(Key::quietHoldSec, seconds);
    if (onChange)
        onChange();
}

void RateSwitcher::setPausePointSec(double seconds)
{
    d->pausePointSec = seconds;
    d->write(Key::pausePointSec, seconds);
    if (onChange)
        onChange();
}

void RateSwitcher::setFadeExtendPause(bool on)
{
    d->fadeExtendPause = on;
    d->write(Key::fadeExtendPause, on);
    if (onChange)
        onChange();
}

void RateSwitcher::setHandOverDelayMs(std::optional<int> ms)
{
    if (ms && *ms < 0)
        ms = 0;
    d->handOverDelayMs = ms;
    d->writeOptional(Key::handOverDelayMs, ms);
    if (onChange)
        onChange();
}

void RateSwitcher::setBoundaryMode(BoundaryMode mode)
{
    d->boundaryMode = mode;
    d->write(Key::boundaryMode, boundaryModeText(mode));
    if (onChange)
        onChange();
}

void RateSwitcher::setAudioTapEnabled(bool on)
{
    d->audioTap = on;
    d->write(Key::audioTap, on);
    if (onChange)
        onChange();
}

void RateSwitcher::setAudioTapFailed(bool failed)
{
    if (d->audioTapFailed == failed)
        return;
    d->audioTapFailed = failed;
    if (onChange)
        onChange();
}

int RateSwitcher::relockLeadMs() const
{
    // Unlike the load statistics, a start of 0 ms counts here: it is the fastest start there can
    // be. A negative one is no start time at all (only a damaged file can hold one).
    constexpr int window = 25;
    constexpr int needed = 5;
    const QList<PlaybackHistory::Entry> &entries = m_history->entries();
    int count = 0;
    qint64 fastest = 0;
    for (auto it = entries.crbegin(); it != entries.crend() && count < window; ++it) {
        if (!it->musicStartMs || *it->musicStartMs < 0)
            continue;
        fastest = count == 0 ? *it->musicStartMs : std::min(fastest, *it->musicStartMs);
        ++count;
    }
    if (count < needed)
        return 0;
    const qint64 relock = d->relockLeadMsOverride && *d->relockLeadMsOverride >= 1 ? *d->relockLeadMsOverride
                                                                                   : defaultRelockLeadMs;
    const double rounded = std::round(double(relock - fastest) / 100.0) * 100.0;
    return int(std::clamp(rounded, 0.0, double(std::numeric_limits<int>::max())));
}

// Senders. The link drops each one silently while no companion is connected.

void RateSwitcher::requestLearnedRates(bool subscribe)
{
    m_link->sendLearnedRatesRequest({subscribe});
}

void RateSwitcher::pinLearnedRate(const SwitcherProtocol::PinLearnedRate &pin)
{
    m_link->sendPinLearnedRate(pin);
}

void RateSwitcher::unpinLearnedRate(const QString &id, const QString &tier)
{
    m_link->sendUnpinLearnedRate({id, tier});
}

void RateSwitcher::forgetLearnedRate(const QString &id, const QString &tier)
{
    m_link->sendForgetLearnedRate({id, tier});
}

void RateSwitcher::forgetRates()
{
    m_link->sendForgetRates();
}

void RateSwitcher::resetStore()
{
    m_link->sendResetStore();
}

void RateSwitcher::removeAllPins()
{
    m_link->sendRemoveAllPins();
}

void RateSwitcher::setDeviceAtmos(const QString &deviceUID, std::optional<bool> atmosOutput)
{
    m_link->sendSetDeviceAtmos({deviceUID, atmosOutput});
}

void RateSwitcher::resetOutput(const QString &deviceUID)
{
    m_link->sendResetOutput({deviceUID});
}

void RateSwitcher::importRateLibrary(const QByteArray &data, const QString &mode)
{
    if (!m_link->isPeer())
        return;
    // Chunks of a multiple of 3 bytes carry no padding: each decodes alone, and their texts
    // joined are the base64 of the whole file, however the companion reads them. The base64 is
    // made on the link's thread; the chunks share `data` and copy nothing here.
    // An empty file still goes out as one chunk, so the companion answers with its refusal.
    static_assert(importChunkBytes % 3 == 0);
    qsizetype offset = 0;
    do {
        const qsizetype length = std::min<qsizetype>(importChunkBytes, data.size() - offset);
        const bool first = offset == 0;
        offset += length;
        const bool last = offset >= data.size();
        m_link->sendRateLibraryImport([data, from = offset - length, length, first, last, mode] {
            SwitcherProtocol::RateLibraryChunk chunk;
            chunk.data = QString::fromLatin1(data.sliced(from, length).toBase64());
            chunk.first = first;
            chunk.last = last;
            chunk.mode = mode;
            return chunk;
        });
    } while (offset < data.size());
    qCInfo(lcSwitcher) << "sent a Rate Library file of" << data.size() << "bytes for" << mode;
}

void RateSwitcher::dismissRateLibraryNotice()
{
    m_link->sendDismissRateLibraryNotice();
}

void RateSwitcher::sendLocalFiles(const QList<SwitcherProtocol::LocalFileRow> &rows)
{
    if (!m_link->isPeer())
        return;
    qsizetype offset = 0;
    do {
        SwitcherProtocol::LocalFilesBatch batch;
        batch.rows = rows.mid(offset, localFilesBatchSize);
        offset += batch.rows.size();
        batch.done = offset >= rows.size();
        m_link->sendLocalFiles(batch);
    } while (offset < rows.size());
}

void RateSwitcher::requestRateLibraryExport(const QString &flavour)
{
    m_link->sendRateLibraryExport({flavour});
}
