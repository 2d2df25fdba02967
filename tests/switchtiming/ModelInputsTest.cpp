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
    model.setBoundaryMode(QStringLiteral("pause"));
    model.setHandOverDelayMs(std::nullopt);
    for (qint64 ms : {700, 1100, 900, 1300, 800, 1000}) {
        PlaybackHistory::Entry entry;
        entry.title = QStringLiteral("Track");
        entry.musicStartMs = ms;
        h.switcher().history().append(entry);
    }

    TimingInputs in = TimingInputs::fromModel(model);
    EXPECT_EQ(in.leadMs, 2000);
    EXPECT_DOUBLE_EQ(in.quietWindowSec, 6.0);
    EXPECT_DOUBLE_EQ(in.quietThresholdDb, -60.0);
    EXPECT_DOUBLE_EQ(in.quietHoldSec, 0.7);
    EXPECT_DOUBLE_EQ(in.pausePointSec, 0.5);
    EXPECT_FALSE(in.fadeExtendPause);
    EXPECT_TRUE(in.audioTap);
    EXPECT_FALSE(in.tapSupported) << "the platform's answer";
    EXPECT_FALSE(in.fadeSwitching());
    EXPECT_EQ(in.boundaryMode, QStringLiteral("pause"));
    EXPECT_EQ(in.delayMs, h.switcher().relockLeadMs()) << "no Delay Added set: the automatic one";
    ASSERT_TRUE(in.loadStats.has_value());
    EXPECT_EQ(in.loadStats->typical, 1000);

    model.setHandOverDelayMs(650);
    EXPECT_EQ(TimingInputs::fromModel(model).delayMs, 650) << "the Delay Added as set";

    // The view reads the model afresh on every call.
    const SwitchTimingView view(&model);
    const QList<Card> cards = view.makeCards();
    const Card *fade = findCard(cards, QStringLiteral("fade"));
    ASSERT_NE(fade, nullptr);
    EXPECT_EQ(int(view.group(*fade)), int(SwitchTimingView::Group::always))
        << "fade card on a system without a tap";
    const Case *pick = findCase(cards, QStringLiteral("pick"), QStringLiteral("pick"));
    ASSERT_NE(pick, nullptr);
    ASSERT_EQ(pick->spec.marks.size(), 3);
    EXPECT_EQ(pick->spec.marks[1].label,
              QStringLiteral("After the Delay Added, 650 ms, the track is asked for."));
    EXPECT_EQ(pick->spec.marks[2].label,
              QStringLiteral("The first note, after Music.app's typical load of 1.0 s."));
    EXPECT_NEAR(view.listeningLead(), 6.0, eps);
    EXPECT_NEAR(view.railStart(), -6.6, eps);

    h.platform.musicApp.tapSupported = true;
    EXPECT_EQ(int(view.group(*fade)), int(SwitchTimingView::Group::first)) << "fade card once a tap can run";
    EXPECT_EQ(view.groupTitle(SwitchTimingView::Group::first), QStringLiteral("Primary Switch Method"));
}
