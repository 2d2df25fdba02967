#pragma once

// Plays and settings for the explainer's tests.

#include "HistoryFixtures.h"
#include "ModelHarness.h"

#include <QSettings>

namespace ExplainerFixtures {

using HistoryFixtures::Entry;
using HistoryFixtures::evening;

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
