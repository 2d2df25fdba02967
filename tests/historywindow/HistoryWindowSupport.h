#pragma once

// The Playback History window over plays of a test model.

#include "HistoryFixtures.h"
#include "ModelHarness.h"
#include "PlaybackHistory/PlaybackHistoryWindow.h"

#include <QCoreApplication>

#include <memory>

// `plays` appended to the history a minute apart, oldest first, then the window over them at
// 960 × 520, shown and laid out.
inline std::unique_ptr<PlaybackHistoryWindow> showHistoryWindow(ModelHarness &harness,
                                                                const QList<HistoryFixtures::Entry> &plays)
{
    for (const HistoryFixtures::Entry &entry : HistoryFixtures::inOrder(plays))
        harness.switcher().history().append(entry);
    auto window = std::make_unique<PlaybackHistoryWindow>(*harness.model);
    window->resize(960, 520);
    window->show();
    QCoreApplication::processEvents();
    return window;
}
