#include "PlaybackHistory.h"

#include "AppPaths.h"

#include <QCoreApplication>
#include <QDir>

#include <algorithm>
#include <cmath>

namespace {
struct Tr {
    Q_DECLARE_TR_FUNCTIONS(PlaybackHistory)
};

// The longest part of a source that names a step ("tags+ladder").
constexpr qsizetype longestStepName = 11;

// The last non-empty "/" part of a source, which names the step that gave the prediction. Read
// from the end, and no further than a part of `longest` characters and one more: a source may
// be of any length, and a longer part is none of those asked about.
QStringView lastPart(QStringView source, qsizetype longest = longestStepName)
{
    qsizetype end = source.size();
    while (end > 0 && source[end - 1] == u'/')
        --end;
    qsizetype start = end;
    while (start > 0 && end - start <= longest && source[start - 1] != u'/')
        --start;
    return source.mid(start, end - start);
}
} // namespace

bool PlaybackHistory::Entry::differed() const
{
    if (!predictedRate)
        return false;
    const std::optional<double> settled = outcomeRate ? outcomeRate : playedRate;
    if (!settled)
        return false;
    // std::round takes halves away from zero.
    return std::round(*settled) != std::round(*predictedRate);
}

PlaybackHistory::PlaybackHistory(QString filePath)
    : m_filePath(filePath.isEmpty()
                     ? QDir(AppPaths::dataDirectory()).filePath(QStringLiteral("PlaybackHistory.json"))
                     : std::move(filePath))
{
    m_saveTimer.setSingleShot(true);
    m_saveTimer.setInterval(saveDelayMs);
    QObject::connect(&m_saveTimer, &QTimer::timeout, [this] { saveNow(); });
    load();
}

PlaybackHistory::~PlaybackHistory()
{
    // A play recorded in the last second before quitting would otherwise never reach the file.
    if (m_dirty)
        saveNow();
}

void PlaybackHistory::append(Entry entry)
{
    m_entries.append(std::move(entry));
    if (m_entries.size() > maximumEntries)
        m_entries.remove(0, m_entries.size() - maximumEntries);
    changed();
}

void PlaybackHistory::update(const Entry &entry)
{
    for (Entry &existing : m_entries) {
        if (existing.id == entry.id) {
            if (existing == entry)
                return;
            existing = entry;
            changed();
            return;
        }
    }
}

void PlaybackHistory::clear()
{
    m_entries.clear();
    changed();
}

void PlaybackHistory::changed()
{
    m_dirty = true;
    m_saveTimer.start(); // re-armed: the file is written once the changes settle
    if (onChange)
        onChange();
}

bool PlaybackHistory::savePending() const
{
    return m_saveTimer.isActive();
}

std::optional<PlaybackHistory::MusicStartStats> PlaybackHistory::musicStartStats() const
{
    constexpr int window = 25;
    QList<qint64> values;
    for (auto it = m_entries.crbegin(); it != m_entries.crend() && values.size() < window; ++it) {
        if (it->musicStartMs && *it->musicStartMs > 0)
            values.append(*it->musicStartMs);
    }
    if (values.isEmpty())
        return std::nullopt;
    std::sort(values.begin(), values.end());
    MusicStartStats stats;
    stats.count = values.size();
    stats.fastest = values.first();
    stats.typical = values.at(values.size() / 2);
    stats.slowest = values.last();
    return stats;
}

bool PlaybackHistory::sourceEndsIn(const std::optional<QString> &source, QStringView part)
{
    return source && lastPart(*source, part.size()) == part;
}

std::optional<int> PlaybackHistory::stepNumber(const std::optional<QString> &source)
{
    if (!source)
        return std::nullopt;
    const QStringView part = lastPart(*source);
    if (part == u"pinned" || part == u"file")
        return 1;
    if (part == u"learned" || part == u"imported")
        return 2;
    if (part == u"album")
        return 3;
    if (part == u"tags+ladder")
        return 4;
    if (part == u"derived" || part == u"tags-guess")
        return 5;
    return std::nullopt;
}

QString PlaybackHistory::stepName(int step, const Bundle &)
{
    switch (step) {
    case 1:
        //: Prediction step 1: a rate pinned by the user or read from a local file.
        return Tr::tr("Fixed rate");
    case 2:
        //: Prediction step 2: the rate an earlier play confirmed.
        return Tr::tr("Confirmed playback rate");
    case 3:
        //: Prediction step 3: the rate learned from another track on the album.
        return Tr::tr("Same album");
    case 4:
        //: Prediction step 4: the rate Apple's catalog lists.
        return Tr::tr("Apple’s catalog");
    case 5:
        //: Prediction step 5: a guess.
        return Tr::tr("Estimate");
    default:
        return {};
    }
}

QString PlaybackHistory::stepLabel(const std::optional<QString> &source, const Bundle &bundle)
{
    const std::optional<int> step = stepNumber(source);
    if (!step)
        return {};
    const QStringView part = lastPart(*source);
    const QString number = QString::number(*step);
    const QString name = stepName(*step, bundle);
    QString format;
    if (part == u"pinned") {
        //: A prediction step: its number, its name, and that a pin gave it.
        format = Tr::tr("%1 · %2 (pin)");
    } else if (part == u"file") {
        //: A prediction step: its number, its name, and that a local file's own rate gave it.
        format = Tr::tr("%1 · %2 (local file)");
    } else if (part == u"imported") {
        //: A prediction step: its number, its name, and that an imported Rate Library row gave it.
        format = Tr::tr("%1 · %2 (imported)");
    } else if (part == u"derived") {
        //: A prediction step: its number, its name, and that it was worked out from a Hi-Res rate.
        format = Tr::tr("%1 · %2 (from a Hi-Res rate)");
    } else if (part == u"tags-guess") {
        //: A prediction step: its number, its name, and that it was guessed from the track's quality tags.
        format = Tr::tr("%1 · %2 (from the tags)");
    } else {
        //: A prediction step: its number and its name.
        format = Tr::tr("%1 · %2");
    }
    return format.arg(number, name);
}

QString PlaybackHistory::outcomeLabel(const Entry &entry, const Bundle &)
{
    if (entry.corrected) {
        //: Playback History outcome: Mid-Track Correction relocked the play.
        return Tr::tr("Corrected mid-track");
    }
    if (entry.outcome == u"rewritten") {
        //: Playback History outcome: the Rate Library replaced its rate with the one that played.
        return Tr::tr("Rewritten · remembered");
    }
    if (entry.outcome == u"learned") {
        //: Playback History outcome: the Rate Library learned the rate that played.
        return Tr::tr("Learned · remembered");
    }
    if (!entry.predictedRate) {
        //: Playback History outcome: nothing was predicted for the play.
        return Tr::tr("No prediction");
    }
    if (!entry.playedRate) {
        //: Playback History outcome: a rate was predicted but the track has not streamed yet.
        return Tr::tr("Predicted, not yet played");
    }
    if (entry.differed()) {
        //: Playback History outcome: the track streamed at another rate than predicted.
        return Tr::tr("Played at another rate");
    }
    //: Playback History outcome: the track streams at the predicted rate.
    return Tr::tr("Playing as predicted");
}

QString PlaybackHistory::rateText(double hz)
{
    const double khz = hz / 1000.0;
    if (khz == std::round(khz))
        return QString::asprintf("%.0f kHz", khz);
    return QString::asprintf("%.1f kHz", khz);
}
