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

// A play predicted from `source`, played at `played` (if any) and remembered as `outcome`, in
// Music.app's `tier`, started after `loadMs`.
inline Entry play(const QString &title, const QString &artist, std::optional<double> predicted,
                  std::optional<QString> source, std::optional<double> played,
                  std::optional<QString> outcome = std::nullopt, const QString &tier = "lossless",
                  std::optional<qint64> loadMs = std::nullopt)
{
    Entry entry;
    entry.at = minutesAfterNoon(0);
    entry.title = title;
    entry.artist = artist;
    entry.tier = tier;
    entry.musicStartMs = loadMs;
    entry.predictedRate = predicted;
    entry.source = std::move(source);
    entry.playedRate = played;
    entry.outcome = std::move(outcome);
    return entry;
}

inline Entry corrected(Entry entry)
{
    entry.corrected = true;
    return entry;
}

inline QStringList titles(const QList<Entry> &entries)
{
    QStringList list;
    for (const Entry &entry : entries)
        list.append(entry.title);
    return list;
}

// Numbers the plays a minute apart, oldest first, as the store keeps them.
inline QList<Entry> inOrder(QList<Entry> entries)
{
    for (int i = 0; i < entries.size(); ++i)
        entries[i].at = minutesAfterNoon(i);
    return entries;
}

} // namespace HistoryFixtures
