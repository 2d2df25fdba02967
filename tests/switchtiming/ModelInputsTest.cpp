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
