#pragma once

// Plays shaped like a real history, the same every run: titles, artists and albums from the
// Rate Library benchmark's words, every step, tier and outcome, some without a prediction.

#include "BenchLibrary.h"
#include "PlaybackHistory.h"

#include <random>

namespace BenchHistory {

inline QList<PlaybackHistory::Entry> makePlays(int count)
{
    std::mt19937 rng(20260301);
    const double rates[] = {44100, 48000, 88200, 96000, 176400, 192000};
    const char *const sources[] = {"learned", "library/pinned",      "file",    "imported",
                                   "album",   "catalog/tags+ladder", "derived", "catalog/tags-guess"};
    const char *const tiers[] = {"hires", "lossless", "aac", "unknown"};
    const char *const outcomes[] = {"learned", "rewritten", "kept"};
    std::uniform_int_distribution<int> percent(0, 99);
    std::uniform_int_distribution<int> rate(0, int(std::size(rates)) - 1);
    std::uniform_int_distribution<int> source(0, int(std::size(sources)) - 1);
    std::uniform_int_distribution<int> tier(0, int(std::size(tiers)) - 1);
    std::uniform_int_distribution<int> outcome(0, int(std::size(outcomes)) - 1);
    std::uniform_int_distribution<int> load(300, 6000);
    const QDateTime start(QDate(2026, 1, 1), QTime(0, 0), Qt::UTC);

    QList<PlaybackHistory::Entry> plays;
    for (int i = 0; i < count; ++i) {
        PlaybackHistory::Entry entry;
        entry.at = start.addSecs(qint64(i) * 240);
        entry.title = BenchLibrary::phrase(rng, 1, 5);
        entry.artist = BenchLibrary::phrase(rng, 1, 3);
        entry.album = BenchLibrary::phrase(rng, 1, 4);
        entry.tier = QString::fromUtf8(tiers[tier(rng)]);
        if (percent(rng) < 85) {
            entry.predictedRate = rates[rate(rng)];
            entry.source = QString::fromUtf8(sources[source(rng)]);
        } else {
            entry.note = QStringLiteral("Corvane Mac Remote was not paired");
        }
        if (percent(rng) < 95)
            entry.playedRate =
                percent(rng) < 80 && entry.predictedRate ? *entry.predictedRate : rates[rate(rng)];
        if (percent(rng) < 60)
            entry.outcome = QString::fromUtf8(outcomes[outcome(rng)]);
        entry.corrected = percent(rng) < 3;
        if (percent(rng) < 70)
            entry.musicStartMs = load(rng);
        plays.append(entry);
    }
    return plays;
}

} // namespace BenchHistory
