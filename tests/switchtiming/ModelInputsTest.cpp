// The visualizer reads its settings from the shared model, the engine and the platform.
#include "RailExpect.h"

#include "HistoryFixtures.h"
#include "ModelHarness.h"

using namespace railexpect;

TEST(SwitchTimingModel, inputsComeFromTheModelTheEngineAndThePlatform)
{
    ModelHarness h;
    h.platform.musicApp.tapSupported = false;
    SwitcherModel &model = *h.model;
    model.setLeadMs(2000);
    model.setQuietWindowSec(6.0);
    model.setQuietThresholdDb(-60.0);
    model.setQuietHoldSec(0.7);
    model.setPausePointSec(0.5);
    model.setFadeExtendPause(false);
    model.setAudioTap(true);
    model.setBoundaryMode("pause");
    model.setHandOverDelayMs(std::nullopt);
    HistoryFixtures::appendStarts(h.switcher().history(), {700, 1100, 900, 1300, 800, 1000});

    const TimingInputs in = TimingInputs::fromModel(model);
    EXPECT_EQ(in.leadMs, 2000);
    EXPECT_DOUBLE_EQ(in.quietWindowSec, 6.0);
    EXPECT_DOUBLE_EQ(in.quietThresholdDb, -60.0);
    EXPECT_DOUBLE_EQ(in.quietHoldSec, 0.7);
    EXPECT_DOUBLE_EQ(in.pausePointSec, 0.5);
    EXPECT_FALSE(in.fadeExtendPause);
    EXPECT_TRUE(in.audioTap);
    EXPECT_FALSE(in.tapSupported) << "the platform's answer";
    EXPECT_EQ(in.boundaryMode, "pause");
    EXPECT_EQ(in.delayMs, 1300)
        << "no Delay Added set: the automatic one, the Relock Time less the fastest load";
    ASSERT_TRUE(in.loadStats.has_value());
    EXPECT_EQ(in.loadStats->typical, 1000);

    // The view reads the model afresh on every call; the Delay Added and the measured load show.
    model.setHandOverDelayMs(650);
    const SwitchTimingView view(&model);
    const QList<Card> cards = view.makeCards();
    const Case pick = caseOf(cards, "pick");
    expectLines("pick music band", lines(pick.spec.music),
                {"-6.6..0 old whatever was playing", "0..0.65 silence delay", "0.65..1.65 loading loading",
                 "1.65..3 new picked track"});
    EXPECT_EQ(lines(pick.spec.spans).value(2), "0.65..1.65 primary: typical load 1.0 s");
    EXPECT_EQ(lines(caseOf(cards, "stop").spec.marks).value(2),
              "0.65 delay: After the Delay Added, 650 ms, the next track is asked for.");
}

TEST(SwitchTimingModel, storedSettingsOutOfRangeReachTheRailsInsideTheirRanges)
{
    // Below and above every range: the rails, the engine and the store all take the nearest bound.
    using Settings = std::tuple<int, double, double, double, double, int>; // lead, window … delay
    const std::pair<Settings, Settings> cases[] = {
        {{300, 1.0, -10, 0.05, 0.0, 25000}, {500, 3.0, -30.0, 0.3, 0.1, 10000}},
        {{5000, 40.0, -200, 9.0, 7.5, 300}, {3000, 15.0, -80.0, 4.0, 3.0, 300}},
    };
    for (const auto &[stored, shown] : cases) {
        ModelHarness h([&stored = stored](QSettings &settings, const QString &) {
            const auto &[lead, window, threshold, hold, pause, delay] = stored;
            settings.setValue("switcher.relockLeadMsOverride", lead);
            settings.setValue("switcher.quietWindowSec", window);
            settings.setValue("switcher.quietThresholdDb", threshold);
            settings.setValue("switcher.quietHoldSec", hold);
            settings.setValue("switcher.pausePointSec", pause);
            settings.setValue("switcher.handOverDelayMs", delay);
        });
        const TimingInputs in = TimingInputs::fromModel(*h.model);
        EXPECT_EQ(Settings(in.leadMs, in.quietWindowSec, in.quietThresholdDb, in.quietHoldSec,
                           in.pausePointSec, in.delayMs),
                  shown);
        EXPECT_EQ(h.switcher().relockLeadMsOverride(), std::get<0>(shown));
        EXPECT_DOUBLE_EQ(h.switcher().quietThresholdDb(), std::get<2>(shown));
        EXPECT_EQ(h.settings->value("switcher.handOverDelayMs").toInt(), std::get<5>(shown));
    }
    {
        // In range, or no override at all (0 means none): nothing is written.
        ModelHarness h([&](QSettings &settings, const QString &) {
            settings.setValue("switcher.relockLeadMsOverride", 0);
            settings.setValue("switcher.quietWindowSec", 6.0);
        });
        EXPECT_EQ(h.model->leadMs(), 1200);
        EXPECT_EQ(h.switcher().relockLeadMsOverride(), 0);
        EXPECT_DOUBLE_EQ(h.model->quietWindowSec(), 6.0);
    }
    // Writes stay inside the ranges too.
    ModelHarness h;
    h.model->setQuietThresholdDb(-5);
    h.model->setPausePointSec(0.0);
    h.model->setHandOverDelayMs(-100);
    h.model->setLeadMs(100);
    EXPECT_EQ(h.switcher().relockLeadMsOverride(), 500);
    EXPECT_DOUBLE_EQ(h.model->quietThresholdDb(), -30.0);
    EXPECT_DOUBLE_EQ(h.switcher().pausePointSec(), 0.1);
    EXPECT_EQ(h.model->handOverDelayMs(), 0);
}
