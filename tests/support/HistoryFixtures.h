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

// Ten plays a few minutes apart, one from each way a prediction is made, the newest last.
inline QList<Entry> evening()
{
    QList<Entry> plays = {
        play("Hyperballad", "Björk", 44100, "catalog/learned", 44100, "learned", "hires", 900),
        play("Teardrop", "Massive Attack", 96000, "catalog/album", 96000, "learned", "hires", 1200),
        play("Gymnopédie No. 1", "Erik Satie", 192000, "catalog/tags+ladder", 96000, "rewritten", "hires",
             4100),
        play("Avril 14th", "Aphex Twin", 44100, "library/file", 44100, std::nullopt, "hires", 700),
        play("Clair de lune", "Claude Debussy", 96000, "catalog/derived", 96000, "learned", "hires", 1500),
        play("Takk", "Sigur Rós", std::nullopt, std::nullopt, 48000, std::nullopt, "hires", 1100),
        play("Everything in Its Right Place", "Radiohead", 44100, "catalog/pinned", 44100, std::nullopt,
             "hires", 800),
        play("Angel", "Massive Attack", 48000, "catalog/album", 48000, "learned", "hires", 3999),
        play("Jóga", "Björk", 44100, "catalog/learned", 44100, std::nullopt, "hires", 950),
        play("Pyramid Song", "Radiohead", 44100, "catalog/learned", 48000, "rewritten", "hires", 1500),
    };
    for (qsizetype i = 0; i < plays.size(); ++i) {
        plays[i].at = HistoryFixtures::minutesAfterNoon(int(i) * 4);
        plays[i].playedAt = plays[i].at.addSecs(2);
    }
    plays[5].note = QStringLiteral("the companion was not paired");
    return plays;
}

// Plays Music.app took these many milliseconds to start (none: no start time), appended in order.
inline void appendStarts(PlaybackHistory &history, const QList<std::optional<qint64>> &starts)
{
    for (const std::optional<qint64> &ms : starts) {
        Entry entry;
        entry.musicStartMs = ms;
        history.append(entry);
    }
}

// Numbers the plays a minute apart, oldest first, as the store keeps them.
inline QList<Entry> inOrder(QList<Entry> entries)
{
    for (int i = 0; i < entries.size(); ++i)
        entries[i].at = minutesAfterNoon(i);
    return entries;
}

} // namespace HistoryFixtures
