#pragma once

// Plays and settings for the explainer's tests: a short evening of listening, newest last.

#include "HistoryFixtures.h"
#include "ModelHarness.h"

#include <QSettings>

namespace ExplainerFixtures {

using HistoryFixtures::Entry;
using HistoryFixtures::play;

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

inline void addPlays(ModelHarness &h, const QList<Entry> &plays)
{
    for (const Entry &entry : plays)
        h.switcher().history().append(entry);
}

inline void setHistoryExpanded(bool expanded)
{
    QSettings().setValue(QStringLiteral("rateLibrary.historyExpanded"), expanded);
}

} // namespace ExplainerFixtures
