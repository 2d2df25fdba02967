#pragma once

#include <QString>

class QSettings;

// The settings window's text size, shared with the visualizer: a stored step 0 to 3 that every
// font size of those windows is multiplied by. The settings window writes the step; others read it.
class SettingsTextScale final {
public:
    static QString key(); // "switcher.settingsTextSize"
    static constexpr int defaultIndex = 3;

    // The stored step as it stands (3 when absent or not a number); `settings` defaults to the app's.
    static int storedIndex(const QSettings *settings = nullptr);
    // Below 0 counts as 0, above 3 as 3.
    static int clampedIndex(int index);
    // 0.9, 1.0, 1.15 or 1.3 for the clamped step.
    static double scale(int index);
    // The scale of the stored step.
    static double current(const QSettings *settings = nullptr);
};
