#include "PlayCells.h"

#include "Bundle.h"
#include "Common/DateTimeText.h"
#include "SwitcherProtocol.h"
#include "Units.h"

#include <QCoreApplication>

namespace PlayCells {
namespace {

// The History window's context: its translations stay where translators found them.
struct Tr {
    Q_DECLARE_TR_FUNCTIONS(PlaybackHistoryWindow)
};

const QString missing = QStringLiteral("—");

QString rate(const std::optional<double> &hz, Writing writing)
{
    if (!hz)
        return missing;
    return writing == Writing::history ? PlaybackHistory::rateText(*hz) : Units::kHz(Bundle::main(), *hz);
}

QString time(const QDateTime &at, Writing writing, const QLocale &locale)
{
    if (!at.isValid())
        return missing;
    return writing == Writing::history ? DateTimeText::mediumDateShortTime(at)
                                       : DateTimeText::shortTime(at, locale);
}

QString from(const Entry &entry, Writing writing)
{
    if (entry.predictedRate) {
        // A source that names no step (one this version does not know) is a missing value.
        const QString step = PlaybackHistory::stepLabel(entry.source, Bundle::main());
        return step.isEmpty() ? missing : step;
    }
    if (entry.note)
        return *entry.note;
    if (writing == Writing::rateLibrary)
        return QStringLiteral("no prediction");
    //: Playback History, From column: the play had no predicted rate.
    return Tr::tr("no prediction");
}

} // namespace

QString text(Column column, const Entry &entry, Writing writing, const QLocale &locale)
{
    switch (column) {
    case Column::time:
        return time(entry.at, writing, locale);
    case Column::track:
        return entry.title;
    case Column::setting:
        return entry.tier ? SwitcherProtocol::LearnedRates::Tier::columnLabel(*entry.tier) : missing;
    case Column::predicted:
        return rate(entry.predictedRate, writing);
    case Column::from:
        return from(entry, writing);
    case Column::played:
        return rate(entry.playedRate, writing);
    case Column::load:
        return entry.musicStartMs ? Units::seconds(Bundle::main(), double(*entry.musicStartMs) / 1000.0)
                                  : missing;
    case Column::outcome:
        return PlaybackHistory::outcomeLabel(entry, Bundle::main());
    }
    return {};
}

Tone tone(Column column, const Entry &entry)
{
    switch (column) {
    case Column::track:
    case Column::predicted:
        return Tone::primary;
    case Column::played:
        // Only the rate itself: a relock alone does not make the played rate wrong.
        return entry.differed() ? Tone::orange : Tone::primary;
    case Column::load:
        return entry.musicStartMs && *entry.musicStartMs >= slowLoadMs ? Tone::orange : Tone::secondary;
    case Column::outcome:
        return entry.differed() || entry.corrected ? Tone::orange : Tone::secondary;
    case Column::time:
    case Column::setting:
    case Column::from:
        break;
    }
    return Tone::secondary;
}

QColor toneColor(Tone tone, SystemColors::Appearance appearance)
{
    switch (tone) {
    case Tone::orange:
        return SystemColors::orange(appearance);
    case Tone::secondary:
        return SystemColors::secondaryLabel(appearance);
    case Tone::primary:
        break;
    }
    return SystemColors::label(appearance);
}

} // namespace PlayCells
