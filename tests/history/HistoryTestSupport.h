#pragma once

#include "PlaybackHistory.h"

// A play with only the fields every play has.
inline PlaybackHistory::Entry sample(const QString &title)
{
    PlaybackHistory::Entry entry;
    entry.at = QDateTime(QDate(2026, 3, 1), QTime(12, 0, 0, 125), Qt::UTC);
    entry.title = title;
    entry.artist = QStringLiteral("Artist");
    return entry;
}

// A play with every field set; its texts need quoting in CSV.
inline PlaybackHistory::Entry fullSample()
{
    PlaybackHistory::Entry entry = sample(QStringLiteral(R"(Ünïcode, "World")"));
    entry.artist = QStringLiteral("Line one\r\nline two");
    entry.album = QStringLiteral("Album");
    entry.tier = QStringLiteral("hires");
    entry.predictedRate = 1536000;
    entry.source = QStringLiteral("catalog/tags-guess");
    entry.note = QStringLiteral("a note");
    entry.playedRate = 44100.5;
    entry.playedAt = QDateTime(QDate(2026, 3, 1), QTime(12, 0, 2, 999), Qt::UTC);
    entry.codec = QStringLiteral("alac");
    entry.outcome = QStringLiteral("rewritten");
    entry.outcomeRate = 44100;
    entry.corrected = true;
    entry.musicStartMs = 1830;
    return entry;
}
