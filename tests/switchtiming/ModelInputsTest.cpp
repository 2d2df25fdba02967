// The visualizer reads its settings from the shared model, the engine and the platform.
#include "RailExpect.h"

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
    for (qint64 ms : {700, 1100, 900, 1300, 800, 1000}) {
        PlaybackHistory::Entry entry;
        entry.title = "Track";
        entry.musicStartMs = ms;
        h.switcher().history().append(entry);
    }

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
    EXPECT_EQ(in.delayMs, h.switcher().relockLeadMs()) << "no Delay Added set: the automatic one";
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
    const auto startedWith = [](std::initializer_list<std::pair<const char *, QVariant>> stored) {
        return std::make_unique<ModelHarness>([&](QSettings &settings, const QString &) {
            for (const auto &[key, value] : stored)
                settings.setValue(QString::fromUtf8(key), value);
        });
    };
    {
        const auto h = startedWith({{"switcher.relockLeadMsOverride", 300},
                                    {"switcher.quietWindowSec", 1.0},
                                    {"switcher.quietThresholdDb", -10},
                                    {"switcher.quietHoldSec", 0.05},
                                    {"switcher.pausePointSec", 0.0},
                                    {"switcher.handOverDelayMs", 25000}});
        const TimingInputs in = TimingInputs::fromModel(*h->model);
        EXPECT_EQ(in.leadMs, 500);
        EXPECT_DOUBLE_EQ(in.quietWindowSec, 3.0);
        EXPECT_DOUBLE_EQ(in.quietThresholdDb, -30.0);
        EXPECT_DOUBLE_EQ(in.quietHoldSec, 0.3);
        EXPECT_DOUBLE_EQ(in.pausePointSec, 0.1);
        EXPECT_EQ(in.delayMs, 10000);
        // The engine times with what the window shows, and the store is mended.
        EXPECT_EQ(h->model->switcher().relockLeadMsOverride(), 500);
        EXPECT_DOUBLE_EQ(h->model->switcher().quietThresholdDb(), -30.0);
        EXPECT_EQ(h->settings->value("switcher.handOverDelayMs").toInt(), 10000);
        EXPECT_EQ(caseOf(SwitchTimingView::makeCards(in), "lead").spec.marks.value(0).label,
                  "The Relock Time, 500 ms, before the end: the switch is sent, quiet or not.");
    }
    {
        const auto h = startedWith({{"switcher.relockLeadMsOverride", 5000},
                                    {"switcher.quietWindowSec", 40.0},
                                    {"switcher.quietThresholdDb", -200},
                                    {"switcher.quietHoldSec", 9.0},
                                    {"switcher.pausePointSec", 7.5}});
        const TimingInputs in = TimingInputs::fromModel(*h->model);
        EXPECT_EQ(in.leadMs, 3000);
        EXPECT_DOUBLE_EQ(in.quietWindowSec, 15.0);
        EXPECT_DOUBLE_EQ(in.quietThresholdDb, -80.0);
        EXPECT_DOUBLE_EQ(in.quietHoldSec, 4.0);
        EXPECT_DOUBLE_EQ(in.pausePointSec, 3.0);
        EXPECT_EQ(h->model->switcher().relockLeadMsOverride(), 3000);
    }
    {
        // In range, or no override at all (0 means none): nothing is written.
        const auto h = startedWith({{"switcher.relockLeadMsOverride", 0}, {"switcher.quietWindowSec", 6.0}});
        EXPECT_EQ(h->model->leadMs(), 1200);
        EXPECT_EQ(h->model->switcher().relockLeadMsOverride(), 0);
        EXPECT_DOUBLE_EQ(h->model->quietWindowSec(), 6.0);
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
