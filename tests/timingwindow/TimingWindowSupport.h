#pragma once

// The visualizer window over a test model, with the text size and load figures a test asks for.

#include "HistoryFixtures.h"
#include "ModelHarness.h"
#include "SwitchTiming/CardPanel.h"
#include "SwitchTiming/SwitchTimingWindow.h"

#include <QCoreApplication>
#include <QSettings>

#include <gtest/gtest.h>

#include <memory>

namespace TimingWindowTest {

// Lets the layouts settle: a changed height asks its parents again, one pass at a time.
inline void settle()
{
    for (int pass = 0; pass < 8; ++pass)
        QCoreApplication::processEvents();
}

inline void setTextSize(int index)
{
    QSettings().setValue(QStringLiteral("switcher.settingsTextSize"), index);
}

// Plays with a start time, so that the load is measured (median 1000 ms).
inline void addMeasuredPlays(ModelHarness &h)
{
    HistoryFixtures::appendStarts(h.switcher().history(), {700, 1100, 900, 1300, 800, 1000, 2400});
}

// A shown window with its own test clock; the text size as given (the default is the largest).
struct Shown {
    explicit Shown(ModelHarness &h, QSize size = QSize(860, 760)) : window(*h.model, &clock)
    {
        window.resize(size);
        window.show();
        settle();
    }
    TestClock clock;
    SwitchTimingWindow window;
};

} // namespace TimingWindowTest
