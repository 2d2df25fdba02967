// Each explained setting's row: what it is bound to, its range and step, its label, and when it
// is disabled.
#include "RailExpect.h"

#include "HistoryFixtures.h"
#include "ModelHarness.h"
#include "SwitchTiming/SettingRows.h"

using Control = SettingRowValues::Control;

namespace {

// "title | value text | value in [minimum, maximum] step s", or "(off)" for a disabled row.
std::string describe(const SettingRowValues &row)
{
    return QStringLiteral("%1 | %2 | %3 in [%4, %5] step %6%7")
        .arg(row.title, row.valueText)
        .arg(row.value)
        .arg(row.minimum)
        .arg(row.maximum)
        .arg(row.step)
        .arg(row.enabled ? "" : " (off)")
        .toStdString();
}

} // namespace

TEST(SettingRows, everyRowWithANewUsersSettings)
{
    ModelHarness h;
    SwitcherModel &m = *h.model;
    const std::pair<SettingKey, const char *> rows[] = {
        {SettingKey::relock, " | 1200 ms | 1200 in [500, 3000] step 100"},
        {SettingKey::listeningWindow, "Listening Window | 4500 ms | 4500 in [3000, 15000] step 500"},
        {SettingKey::threshold, "Silence Threshold | -55 dBFS | -55 in [-80, -30] step 5"},
        {SettingKey::minimumQuiet, "Minimum Quiet | 400 ms | 400 in [300, 4000] step 100"},
        {SettingKey::fadeExtend, "Extend a Late Fade with a Brief Pause |  | 1 in [0, 1] step 1"},
        {SettingKey::pausePoint, "Pause Point | 400 ms before the end | 400 in [100, 3000] step 100"},
        {SettingKey::delay, "Delay Added | 0 ms · automatic | 0 in [0, 10000] step 50"},
        {SettingKey::automatic, "Set Automatically |  | 0 in [0, 0] step 0 (off)"},
    };
    for (const auto &[key, expected] : rows)
        EXPECT_EQ(describe(settingRowValues(key, m)), expected) << rawValue(key).toStdString();
    EXPECT_EQ(settingRowValues(SettingKey::fadeExtend, m).control, Control::toggle);
    EXPECT_EQ(settingRowValues(SettingKey::automatic, m).control, Control::button);
}

TEST(SettingRows, steppersCountMillisecondsWhileTheModelKeepsSeconds)
{
    ModelHarness h;
    SwitcherModel &m = *h.model;
    const auto stepUp = [&](SettingKey key) {
        const SettingRowValues row = settingRowValues(key, m);
        applySetting(key, row.value + row.step, m);
    };
    // The Listening Window's: the window's stepper test.
    stepUp(SettingKey::minimumQuiet);
    EXPECT_DOUBLE_EQ(m.quietHoldSec(), 0.5);
    stepUp(SettingKey::pausePoint);
    EXPECT_DOUBLE_EQ(h.switcher().pausePointSec(), 0.5) << "handed to the engine";
    stepUp(SettingKey::relock);
    EXPECT_EQ(m.leadMs(), 1300);
    EXPECT_EQ(h.switcher().relockLeadMsOverride(), 1300);

    // A threshold is written whole decibels toward zero, and steps keep its fraction.
    m.setQuietThresholdDb(-55.5);
    EXPECT_EQ(settingRowValues(SettingKey::threshold, m).valueText, "-55 dBFS");
    stepUp(SettingKey::threshold);
    EXPECT_DOUBLE_EQ(m.quietThresholdDb(), -50.5);

    // A value the stepper can't reach in whole milliseconds still reads back as one.
    m.setQuietWindowSec(4.2999999);
    EXPECT_EQ(settingRowValues(SettingKey::listeningWindow, m).value, 4300);

    applySetting(SettingKey::fadeExtend, 0, m);
    EXPECT_FALSE(m.fadeExtendPause());
}

TEST(SettingRows, fadeExtensionIsOffWithSwitchAtTheEnd)
{
    ModelHarness h;
    h.model->setBoundaryMode("lead");
    EXPECT_EQ(
        describe(settingRowValues(SettingKey::fadeExtend, *h.model)),
        "Extend a Late Fade with a Brief Pause | not used with Switch at the End | 1 in [0, 1] step 1 (off)");
    h.model->setBoundaryMode("pause");
    EXPECT_TRUE(settingRowValues(SettingKey::fadeExtend, *h.model).enabled);
}

TEST(SettingRows, delayAddedIsAutomaticUntilAStepSetsIt)
{
    ModelHarness h;
    SwitcherModel &m = *h.model;
    HistoryFixtures::appendStarts(h.switcher().history(),
                                  {430, 900, 1000, 1100, 800}); // automatic: 1200 - 430, to 100 ms
    SettingRowValues delay = settingRowValues(SettingKey::delay, m);
    EXPECT_EQ(delay.valueText, "800 ms · automatic");
    EXPECT_EQ(delay.value, 800);

    applySetting(SettingKey::delay, delay.value - delay.step, m);
    EXPECT_EQ(m.handOverDelayMs(), 750);
    EXPECT_EQ(settingRowValues(SettingKey::delay, m).valueText, "750 ms");
    EXPECT_TRUE(settingRowValues(SettingKey::automatic, m).enabled);

    applySetting(SettingKey::automatic, 0, m);
    EXPECT_EQ(m.handOverDelayMs(), std::nullopt);
    EXPECT_EQ(h.switcher().handOverDelayMs(), std::nullopt);
    EXPECT_EQ(settingRowValues(SettingKey::delay, m).valueText, "800 ms · automatic");
    EXPECT_FALSE(settingRowValues(SettingKey::automatic, m).enabled);
}
