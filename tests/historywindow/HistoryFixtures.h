#pragma once

// Plays for the history window's tests, written the way the engine records them.

#include "PlaybackHistory.h"

#include <QDateTime>
#include <QTimeZone>

#include <optional>

namespace HistoryFixtures {

using Entry = PlaybackHistory::Entry;

inline QDateTime minutesAfterNoon(int minutes)
{
    return QDateTime(QDate(2026, 3, 1), QTime(12, 0), QTimeZone::utc()).addSecs(qint64(minutes) * 60);
}

// A play predicted from `source`, played at `played` (if any) and remembered as `outcome`.
inline Entry play(const QString &title, const QString &artist, std::optional<double> predicted,
                  std::optional<QString> source, std::optional<double> played,
                  std::optional<QString> outcome = std::nullopt)
{
    Entry entry;
    entry.at = minutesAfterNoon(0);
    entry.title = title;
    entry.artist = artist;
    entry.tier = QStringLiteral("lossless");
    entry.predictedRate = predicted;
    entry.source = std::move(source);
    entry.playedRate = played;
    entry.outcome = std::move(outcome);
    return entry;
}

// Numbers the plays a minute apart, oldest first, as the store keeps them.
inline QList<Entry> inOrder(QList<Entry> entries)
{
    for (int i = 0; i < entries.size(); ++i)
        entries[i].at = minutesAfterNoon(i);
    return entries;
}

} // namespace HistoryFixtures
