// The table of cards, and the "stop", "pause", "lead", "none" and "pick" rails.
#include "RailExpect.h"

using namespace railexpect;
using Group = SwitchTimingView::Group;
using CardControl = SwitchTimingView::CardControl;

namespace {

const QString handOver =
    QStringLiteral("The hand-over point: the next track's rate differs, so it is kept back from Music.app.");

// Relock Time 1200 ms, Pause Point 0.4 s, no Delay Added, nothing measured.
TimingInputs usual()
{
    TimingInputs in;
    in.leadMs = 1200;
    in.pausePointSec = 0.4;
    in.quietWindowSec = 4.5;
    in.delayMs = 0;
    in.loadStats.reset();
    return in;
}

TimingInputs measured(int delayMs, qint64 typicalLoadMs)
{
    TimingInputs in = usual();
    in.delayMs = delayMs;
    in.loadStats = PlaybackHistory::MusicStartStats{12, 400, typicalLoadMs, 3100};
    return in;
}

Case onlyCase(const TimingInputs &in, const QString &cardId)
{
    const QList<Card> cards = SwitchTimingView::makeCards(in);
    const Case *c = findCase(cards, cardId, cardId);
    return c ? *c : Case{};
}

} // namespace

TEST(CardTable, sixCardsInOrderWithTheirTabsTitlesGroupsAndControls)
{
    const QList<Card> cards = SwitchTimingView::makeCards(usual());
    struct Expected {
        QString id, tab, title;
        Group group;
        CardControl control;
        bool showsLoad;
        QStringList caseIds, caseLabels;
    };
    const QList<Expected> expected = {
        {"fade",
         "Fade-Out Switching",
         "Fade-Out Switching",
         Group::first,
         CardControl::fadeToggle(),
         false,
         {"found", "late"},
         {"A fade found early", "A fade found late"}},
        {"stop",
         "Stop to Switch",
         "Stop to Switch",
         Group::fallback,
         CardControl::radio("stop"),
         true,
         {"stop"},
         {"Stop to Switch"}},
        {"pause",
         "Pause to Switch",
         "Pause to Switch",
         Group::fallback,
         CardControl::radio("pause"),
         false,
         {"pause"},
         {"Pause to Switch"}},
        {"lead",
         "Switch at the End",
         "Switch at the End",
         Group::also,
         CardControl::radio("lead"),
         false,
         {"lead"},
         {"Switch at the End"}},
        {"none",
         "Don't Switch",
         "Don't Switch",
         Group::also,
         CardControl::radio("none"),
         false,
         {"none"},
         {"Don't Switch"}},
        {"pick",
         "A picked track",
         "A picked track — Next, Previous, a new play",
         Group::always,
         CardControl::none(),
         true,
         {"pick"},
         {"A picked track"}},
    };
    ASSERT_EQ(cards.size(), expected.size());
    for (qsizetype i = 0; i < cards.size(); ++i) {
        const Card &c = cards[i];
        const Expected &e = expected[i];
        const std::string where = "card " + std::to_string(i + 1) + " (" + e.id.toStdString() + ")";
        EXPECT_EQ(c.id, e.id) << where;
        EXPECT_EQ(c.tab, e.tab) << where << ": tab";
        EXPECT_EQ(c.title, e.title) << where << ": title";
        EXPECT_EQ(int(c.group), int(e.group)) << where << ": stored group";
        EXPECT_TRUE(c.control == e.control) << where << ": control";
        EXPECT_EQ(c.showsLoad, e.showsLoad) << where << ": showsLoad";
        QStringList ids, labels;
        for (const Case &k : c.cases) {
            ids << k.id;
            labels << k.label;
        }
        EXPECT_EQ(ids, e.caseIds) << where << ": case ids";
        EXPECT_EQ(labels, e.caseLabels) << where << ": case labels";
    }
    const auto settingsOf = [&](const char *card) { return findCase(cards, card, card)->settings; };
    EXPECT_EQ(settingsOf("stop"), (QList<SettingKey>{SettingKey::delay, SettingKey::automatic}));
    EXPECT_EQ(settingsOf("pause"), QList<SettingKey>{SettingKey::pausePoint});
    EXPECT_TRUE(settingsOf("lead").isEmpty());
    EXPECT_TRUE(settingsOf("none").isEmpty());
    EXPECT_EQ(settingsOf("pick"), (QList<SettingKey>{SettingKey::delay, SettingKey::automatic}));
}

TEST(CardTable, everyBandMarkAndSpanHasAFreshId)
{
    QSet<QUuid> seen;
    expectFreshIds(SwitchTimingView::makeCards(usual()), seen);
    expectFreshIds(SwitchTimingView::makeCards(usual()), seen); // a second table shares none
}

TEST(StopCard, stopToSwitchWithNoDelayAndNothingMeasured)
{
    const Case c = onlyCase(usual(), "stop");
    const std::string where = "stop/stop (delay 0 ms, load assumed)";
    EXPECT_EQ(c.note,
              QStringLiteral(
                  "Music.app is handed nothing beyond the current track until 5 s before its end; a next "
                  "track at a different rate is withheld, so Music.app stops by itself when the track ends "
                  "— to its last sample. The switch is sent in that stop; after the Delay Added, Music.app "
                  "is asked for the next track and loads it. The silence is the delay plus that load."))
        << where << " note";
    EXPECT_TRUE(c.spec.zeroLine) << where;
    EXPECT_EQ(c.spec.zeroLabel, QStringLiteral("the end of the outgoing track")) << where;
    expectLane(where, "music", c.spec.music,
               {{-5.6, 0, RailFill::old, "outgoing track · to its last sample"},
                {0, 0.9, RailFill::loading, "loading"},
                {0.9, 2.6, RailFill::next, "next track"}});
    expectLane(where, "output", c.spec.output,
               {{-5.6, 0, RailFill::old, "current rate"},
                {0, 1.2, RailFill::relock, "relock"},
                {1.2, 2.6, RailFill::next, "new rate"}});
    expectMarks(
        where, c.spec.marks,
        {{-5.0, handOver, false, std::nullopt},
         {0, "Music.app stops at the end of the track and the switch is sent.", true, std::nullopt},
         {0, "The next track is asked for at once (no Delay Added).", false, SettingKey::delay},
         {0.9, "The first note, after Music.app's typical load of 0.9 s (assumed).", false, std::nullopt}});
    expectSpans(where, c.spec.spans,
                {{-5.0, 0, "next track kept back from Music.app — it stops at the end", RailColor::secondary,
                  std::nullopt},
                 {0, 1.2, "Relock Time 1200 ms", RailColor::relock, SettingKey::relock},
                 {0, 0.9, "typical load 0.9 s (assumed)", RailColor::primary, std::nullopt}});
}

TEST(StopCard, stopToSwitchWithADelayAndAMeasuredLoad)
{
    const Case c = onlyCase(measured(1500, 1200), "stop");
    const std::string where = "stop/stop (delay 1500 ms, load 1.2 s)";
    expectLane(where, "music", c.spec.music,
               {{-5.6, 0, RailFill::old, "outgoing track · to its last sample"},
                {0, 1.5, RailFill::silence, "delay"},
                {1.5, 2.7, RailFill::loading, "loading"},
                {2.7, 3.7, RailFill::next, "next track"}});
    expectLane(where, "output", c.spec.output,
               {{-5.6, 0, RailFill::old, "current rate"},
                {0, 1.2, RailFill::relock, "relock"},
                {1.2, 3.7, RailFill::next, "new rate"}});
    expectMarks(
        where, c.spec.marks,
        {{-5.0, handOver, false, std::nullopt},
         {0, "Music.app stops at the end of the track and the switch is sent.", true, std::nullopt},
         {1.5, "After the Delay Added, 1500 ms, the next track is asked for.", false, SettingKey::delay},
         {2.7, "The first note, after Music.app's typical load of 1.2 s.", false, std::nullopt}});
    expectSpans(where, c.spec.spans,
                {{-5.0, 0, "next track kept back from Music.app — it stops at the end", RailColor::secondary,
                  std::nullopt},
                 {0, 1.2, "Relock Time 1200 ms", RailColor::relock, SettingKey::relock},
                 {0, 1.5, "Delay Added 1500 ms", RailColor::primary, SettingKey::delay},
                 {1.5, 2.7, "typical load 1.2 s", RailColor::primary, std::nullopt}});
}

TEST(PauseCard, pauseToSwitchWithThePausePointInsideTheRelockTime)
{
    const Case c = onlyCase(usual(), "pause");
    const std::string where = "pause/pause (1200 ms, Pause Point 400 ms)";
    EXPECT_EQ(c.note,
              QStringLiteral(
                  "Playback is paused at the Pause Point before the end and the switch is sent into the "
                  "pause. Playback resumes with the Pause Point's worth of the Relock Time still to run, so "
                  "the outgoing track's last 400 ms plays under the DAC's mute — it is lost — and the next "
                  "track's first note lands as the mute ends. The pause is a command to Music.app, so it "
                  "can land late on a busy Mac; the resume is timed from where it actually landed."))
        << where << " note";
    EXPECT_FALSE(c.spec.zeroLine) << where << ": zero line is off";
    EXPECT_EQ(c.spec.zeroLabel, QStringLiteral("the end of the outgoing track")) << where;
    expectLane(where, "music", c.spec.music,
               {{-5.6, -0.4, RailFill::old, "outgoing track"},
                {-0.4, 0.4, RailFill::silence, "paused 800 ms"},
                {0.4, 0.8, RailFill::lost, "lost"},
                {0.8, 2.6, RailFill::next, "next track"}});
    expectLane(where, "output", c.spec.output,
               {{-5.6, -0.4, RailFill::old, "current rate"},
                {-0.4, 0.8, RailFill::relock, "relock"},
                {0.8, 2.6, RailFill::next, "new rate"}});
    expectMarks(where, c.spec.marks,
                {{-0.4, "The Pause Point, 400 ms before the end: playback pauses and the switch is sent.",
                  true, SettingKey::pausePoint},
                 {0.4, "Playback resumes: the last 400 ms of the track plays under the mute's tail, lost.",
                  false, std::nullopt},
                 {0.8, "The mute ends and the next track starts at its rate.", false, std::nullopt}});
    expectSpans(where, c.spec.spans,
                {{-0.4, 0.8, "Relock Time 1200 ms", RailColor::relock, SettingKey::relock},
                 {-0.4, 0.4, "paused 800 ms = Relock Time − Pause Point", RailColor::secondary,
                  SettingKey::pausePoint}});
}

TEST(PauseCard, aPausePointBeyondTheRelockTimeLeavesAZeroLengthPause)
{
    TimingInputs in = usual();
    in.pausePointSec = 1.5;
    const Case c = onlyCase(in, "pause");
    const std::string where = "pause/pause (1200 ms, Pause Point 1500 ms)";
    expectLane(where, "music", c.spec.music,
               {{-5.6, -1.5, RailFill::old, "outgoing track"},
                {-1.5, -1.5, RailFill::silence, "paused 0 ms"},
                {-1.5, -0.3, RailFill::lost, "lost"},
                {-0.3, 2.6, RailFill::next, "next track"}});
    expectLane(where, "output", c.spec.output,
               {{-5.6, -1.5, RailFill::old, "current rate"},
                {-1.5, -0.3, RailFill::relock, "relock"},
                {-0.3, 2.6, RailFill::next, "new rate"}});
    ASSERT_EQ(c.spec.marks.size(), 3) << where;
    EXPECT_NEAR(c.spec.marks[1].t, -1.5, eps) << where << ": resume shares the pause's time";
    EXPECT_EQ(c.spec.spans[1].label, QStringLiteral("paused 0 ms = Relock Time − Pause Point")) << where;
}

TEST(LeadCard, switchAtTheEnd)
{
    const Case c = onlyCase(usual(), "lead");
    const std::string where = "lead/lead (1200 ms)";
    EXPECT_EQ(
        c.note,
        QStringLiteral("The switch is sent the Relock Time before the end, so the DAC's mute covers the "
                       "outgoing track's final 1200 ms — that much of it is lost — and the next track starts "
                       "already at its rate with no pause and no gap. For anyone who would rather lose a "
                       "track's last moment than hear any silence."))
        << where << " note";
    EXPECT_TRUE(c.spec.zeroLine) << where;
    expectLane(where, "music", c.spec.music,
               {{-5.6, -1.2, RailFill::old, "outgoing track"},
                {-1.2, 0, RailFill::lost, "lost"},
                {0, 2.6, RailFill::next, "next track"}});
    expectLane(where, "output", c.spec.output,
               {{-5.6, -1.2, RailFill::old, "current rate"},
                {-1.2, 0, RailFill::relock, "relock"},
                {0, 2.6, RailFill::next, "new rate"}});
    expectMarks(where, c.spec.marks,
                {{-1.2, "The Relock Time, 1200 ms, before the end: the switch is sent, quiet or not.", true,
                  SettingKey::relock},
                 {0, "The next track starts at its rate as the mute ends.", false, std::nullopt}});
    expectSpans(where, c.spec.spans,
                {{-1.2, 0, "Relock Time 1200 ms — the end of the track, under the mute", RailColor::relock,
                  SettingKey::relock}});
}

TEST(NoneCard, dontSwitch)
{
    const Case c = onlyCase(usual(), "none");
    const std::string where = "none/none";
    EXPECT_EQ(c.note,
              QStringLiteral("Nothing is sent at the change. The next track plays on at the current output "
                             "rate, resampled, until you pick a track."))
        << where << " note";
    expectLane(
        where, "music", c.spec.music,
        {{-5.6, 0, RailFill::old, "outgoing track"}, {0, 2.6, RailFill::next, "next track · resampled"}});
    expectLane(where, "output", c.spec.output, {{-5.6, 2.6, RailFill::old, "current rate, unchanged"}});
    expectMarks(where, c.spec.marks, {{0, "The next track runs on at the old rate.", false, std::nullopt}});
    expectSpans(where, c.spec.spans, {});
}

TEST(PickCard, aPickedTrackWithNoDelayAndNothingMeasured)
{
    const Case c = onlyCase(usual(), "pick");
    const std::string where = "pick/pick (delay 0 ms, load assumed)";
    EXPECT_EQ(c.note,
              QStringLiteral(
                  "Zero here is the pick itself. The switch is sent at once and whatever was playing is "
                  "paused; after the Delay Added Music.app is asked for the track and loads it. The delay "
                  "only exists to cover a DAC that relocks slower than Music.app loads — set automatically "
                  "it is that difference, or nothing. A same-rate pick has no switch and no delay."))
        << where << " note";
    EXPECT_TRUE(c.spec.zeroLine) << where;
    EXPECT_EQ(c.spec.zeroLabel, QStringLiteral("the pick")) << where << ": zero label";
    expectLane(where, "music", c.spec.music,
               {{-5.6, 0, RailFill::old, "whatever was playing"},
                {0, 0.9, RailFill::loading, "loading"},
                {0.9, 2.6, RailFill::next, "picked track"}});
    expectLane(where, "output", c.spec.output,
               {{-5.6, 0, RailFill::old, "current rate"},
                {0, 1.2, RailFill::relock, "relock"},
                {1.2, 2.6, RailFill::next, "new rate"}});
    expectMarks(
        where, c.spec.marks,
        {{0, "The pick: the switch is sent and Music.app is paused.", true, std::nullopt},
         {0, "The track is asked for at once (no Delay Added).", false, SettingKey::delay},
         {0.9, "The first note, after Music.app's typical load of 0.9 s (assumed).", false, std::nullopt}});
    expectSpans(where, c.spec.spans,
                {{0, 1.2, "Relock Time 1200 ms", RailColor::relock, SettingKey::relock},
                 {0, 0.9, "typical load 0.9 s (assumed)", RailColor::primary, std::nullopt}});
}

TEST(PickCard, aPickedTrackWithADelayAndAMeasuredLoad)
{
    const Case c = onlyCase(measured(300, 850), "pick");
    const std::string where = "pick/pick (delay 300 ms, load 0.85 s)";
    expectLane(where, "music", c.spec.music,
               {{-5.6, 0, RailFill::old, "whatever was playing"},
                {0, 0.3, RailFill::silence, "delay"},
                {0.3, 1.15, RailFill::loading, "loading"},
                {1.15, 2.6, RailFill::next, "picked track"}});
    expectMarks(where, c.spec.marks,
                {{0, "The pick: the switch is sent and Music.app is paused.", true, std::nullopt},
                 {0.3, "After the Delay Added, 300 ms, the track is asked for.", false, SettingKey::delay},
                 {1.15, "The first note, after Music.app's typical load of 0.8 s.", false, std::nullopt}});
    expectSpans(where, c.spec.spans,
                {{0, 1.2, "Relock Time 1200 ms", RailColor::relock, SettingKey::relock},
                 {0, 0.3, "Delay Added 300 ms", RailColor::primary, SettingKey::delay},
                 {0.3, 1.15, "typical load 0.8 s", RailColor::primary, std::nullopt}});
}

// Over the settings' whole ranges: lanes run without gaps from the rail start to the rail end,
// and the steps follow time. The early fade is left out where the Minimum Quiet is longer than
// 0.6 s: the quiet then begins before the drawn Listening Window, and the step list, which
// orders by time, puts it first.
TEST(AllCards, lanesAreContinuousAndStepsFollowTime)
{
    int checked = 0;
    for (int leadMs : {500, 1200, 3000}) {
        for (double pause : {0.1, 1.15, 1.25, 3.0}) {
            for (double hold : {0.3, 0.6, 4.0}) {
                for (double window : {3.0, 5.0, 15.0}) {
                    for (const QString mode : {"stop", "pause", "lead", "none"}) {
                        for (bool extend : {true, false}) {
                            for (int delayMs : {0, 10000}) {
                                TimingInputs in;
                                in.leadMs = leadMs;
                                in.pausePointSec = pause;
                                in.quietHoldSec = hold;
                                in.quietWindowSec = window;
                                in.boundaryMode = mode;
                                in.fadeExtendPause = extend;
                                in.delayMs = delayMs;
                                if (delayMs > 0)
                                    in.loadStats = PlaybackHistory::MusicStartStats{5, 100, 4000, 9000};
                                const double start = SwitchTimingView::railStart(in);
                                const double end = SwitchTimingView::tailSpan(in);
                                for (const Card &card : SwitchTimingView::makeCards(in)) {
                                    for (const Case &c : card.cases) {
                                        const std::string where =
                                            card.id.toStdString() + "/" + c.id.toStdString() + " (lead " +
                                            std::to_string(leadMs) + " ms, pause " + std::to_string(pause) +
                                            " s, hold " + std::to_string(hold) + " s, window " +
                                            std::to_string(window) + " s, " + mode.toStdString() +
                                            (extend ? ", extend" : "") + ", delay " +
                                            std::to_string(delayMs) + ")";
                                        for (const QList<RailBand> *lane : {&c.spec.music, &c.spec.output}) {
                                            ASSERT_FALSE(lane->isEmpty()) << where;
                                            EXPECT_NEAR(lane->first().from, start, eps)
                                                << where << ": lane start";
                                            EXPECT_NEAR(lane->last().to, end, eps) << where << ": lane end";
                                            for (qsizetype i = 1; i < lane->size(); ++i)
                                                EXPECT_NEAR((*lane)[i].from, (*lane)[i - 1].to, eps)
                                                    << where << ": gap before band " << i + 1;
                                        }
                                        if (!(c.id == u"found" && hold > 0.6))
                                            expectMarksInTimeOrder(where, c.spec.marks);
                                        ++checked;
                                    }
                                }
                                if (::testing::Test::HasFailure())
                                    return;
                            }
                        }
                    }
                }
            }
        }
    }
    EXPECT_GT(checked, 0);
}
