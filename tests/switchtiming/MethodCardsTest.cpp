// The "stop", "pause", "lead", "none" and "pick" rails, and every card over the settings' ranges.
#include "RailExpect.h"

#include <QSet>

using namespace railexpect;

namespace {
const QString firstNoteAssumed = "0.9: The first note, after Music.app's typical load of 0.9 s (assumed).";
const QString loadSpanAssumed = "0..0.9 primary: typical load 0.9 s (assumed)";
const QString relockAtZero = "0..1.2 relock relock: Relock Time 1200 ms";
} // namespace

// One full check per card. With no Delay Added there is no delay band and no Delay Added span.
TEST(MethodCards, everyRailWithANewUsersSettings)
{
    const TimingInputs in;
    expectCase("stop (delay 0 ms, load assumed)", caseOf(in, "stop"),
               {"Music.app is handed nothing beyond the current track until 5 s before its end…",
                atTheEnd,
                {"-5.6..0 old outgoing track · to its last sample", "0..0.9 loading loading",
                 "0.9..2.6 new next track"},
                {"-5.6..0 old current rate", "0..1.2 relock relock", "1.2..2.6 new new rate"},
                {"-5: The hand-over point: the next track's rate differs, so it is kept back from Music.app.",
                 "0*: Music.app stops at the end of the track and the switch is sent.",
                 "0 delay: The next track is asked for at once (no Delay Added).", firstNoteAssumed},
                {"-5..0 secondary: next track kept back from Music.app — it stops at the end", relockAtZero,
                 loadSpanAssumed}});
    expectCase(
        "pause (1200 ms, Pause Point 400 ms)", caseOf(in, "pause"),
        {"Playback is paused at the Pause Point before the end and the switch is sent into the pause. "
         "Playback resumes with the Pause Point's worth of the Relock Time still to run, so the outgoing "
         "track's last 400 ms plays under the DAC's mute…",
         "no line: the end of the outgoing track",
         {"-5.6..-0.4 old outgoing track", "-0.4..0.4 silence paused 800 ms", "0.4..0.8 lost lost",
          "0.8..2.6 new next track"},
         {"-5.6..-0.4 old current rate", "-0.4..0.8 relock relock", "0.8..2.6 new new rate"},
         {"-0.4* pausePoint: The Pause Point, 400 ms before the end: playback pauses and the switch is "
          "sent.",
          "0.4: Playback resumes: the last 400 ms of the track plays under the mute's tail, lost.",
          "0.8: The mute ends and the next track starts at its rate."},
         {"-0.4..0.8 relock relock: Relock Time 1200 ms",
          "-0.4..0.4 secondary pausePoint: paused 800 ms = Relock Time − Pause Point"}});
    expectCase("lead (1200 ms)", caseOf(in, "lead"),
               {"The switch is sent the Relock Time before the end, so the DAC's mute covers the outgoing "
                "track's final 1200 ms…",
                atTheEnd,
                {"-5.6..-1.2 old outgoing track", "-1.2..0 lost lost", "0..2.6 new next track"},
                {"-5.6..-1.2 old current rate", "-1.2..0 relock relock", "0..2.6 new new rate"},
                {"-1.2* relock: The Relock Time, 1200 ms, before the end: the switch is sent, quiet or not.",
                 "0: The next track starts at its rate as the mute ends."},
                {"-1.2..0 relock relock: Relock Time 1200 ms — the end of the track, under the mute"}});
    expectCase("none", caseOf(in, "none"),
               {"Nothing is sent at the change…",
                atTheEnd,
                {"-5.6..0 old outgoing track", "0..2.6 new next track · resampled"},
                {"-5.6..2.6 old current rate, unchanged"},
                {"0: The next track runs on at the old rate."},
                {}});
    expectCase("pick (delay 0 ms, load assumed)", caseOf(in, "pick"),
               {"Zero here is the pick itself…",
                "line: the pick",
                {"-5.6..0 old whatever was playing", "0..0.9 loading loading", "0.9..2.6 new picked track"},
                {"-5.6..0 old current rate", "0..1.2 relock relock", "1.2..2.6 new new rate"},
                {"0*: The pick: the switch is sent and Music.app is paused.",
                 "0 delay: The track is asked for at once (no Delay Added).", firstNoteAssumed},
                {relockAtZero, loadSpanAssumed}});
}

// The pause band has zero length; the lost band runs from the Pause Point to the Relock Time after it.
TEST(PauseCard, aPausePointBeyondTheRelockTimeLeavesAZeroLengthPause)
{
    TimingInputs in;
    in.pausePointSec = 1.5;
    const Case c = caseOf(in, "pause");
    expectLines("pause (Pause Point 1500 ms) music band", lines(c.spec.music),
                {"-5.6..-1.5 old outgoing track", "-1.5..-1.5 silence paused 0 ms", "-1.5..-0.3 lost lost",
                 "-0.3..2.6 new next track"});
    EXPECT_EQ(lines(c.spec.spans).value(1),
              "-1.5..-1.5 secondary pausePoint: paused 0 ms = Relock Time − Pause Point");
}

// Over the settings' whole ranges: lanes run without gaps from the rail start to the rail end,
// the steps follow time, and every band, mark and span of every table has an id of its own. The
// early fade's steps are left out where the Minimum Quiet is longer than 0.6 s: the quiet then
// begins before the drawn Listening Window, and the step list, which orders by time, puts it first.
TEST(AllCards, lanesAreContinuousStepsFollowTimeAndIdsAreFresh)
{
    const int leads[] = {500, 1200, 3000}, delays[] = {0, 10000};
    const double pauses[] = {0.1, 1.15, 1.25, 3.0}, holds[] = {0.3, 0.6, 4.0}, windows[] = {3.0, 5.0, 15.0};
    const QString modes[] = {"stop", "pause", "lead", "none"};
    const bool extends[] = {true, false};
    QSet<QUuid> seen;
    const auto fresh = [&seen](const QUuid &id) {
        const qsizetype before = seen.size();
        seen.insert(id);
        return !id.isNull() && seen.size() > before;
    };
    for (int n = 0; n < 3 * 4 * 3 * 3 * 4 * 2 * 2; ++n) {
        int rest = n;
        const auto next = [&rest](const auto &values) {
            const auto &value = values[rest % std::size(values)];
            rest /= std::size(values);
            return value;
        };
        TimingInputs in;
        in.leadMs = next(leads);
        in.pausePointSec = next(pauses);
        in.quietHoldSec = next(holds);
        in.quietWindowSec = next(windows);
        in.boundaryMode = next(modes);
        in.fadeExtendPause = next(extends);
        in.delayMs = next(delays);
        if (in.delayMs > 0)
            in.loadStats = PlaybackHistory::MusicStartStats{5, 100, 4000, 9000};
        SCOPED_TRACE(
            QString::asprintf("lead %d ms, pause %g s, hold %g s, window %g s, %s, extend %d, delay %d",
                              in.leadMs, in.pausePointSec, in.quietHoldSec, in.quietWindowSec,
                              qPrintable(in.boundaryMode), in.fadeExtendPause, in.delayMs)
                .toStdString());
        const double start = SwitchTimingView::railStart(in), end = SwitchTimingView::tailSpan(in);
        for (const Card &card : SwitchTimingView::makeCards(in)) {
            for (const Case &c : card.cases) {
                const std::string where = card.id.toStdString() + '/' + c.id.toStdString();
                for (const QList<RailBand> *lane : {&c.spec.music, &c.spec.output}) {
                    ASSERT_FALSE(lane->isEmpty()) << where;
                    EXPECT_NEAR(lane->first().from, start, eps) << where << ": lane start";
                    EXPECT_NEAR(lane->last().to, end, eps) << where << ": lane end";
                    for (qsizetype i = 0; i < lane->size(); ++i) {
                        EXPECT_TRUE(fresh((*lane)[i].id)) << where << " band " << i + 1 << ": id used before";
                        if (i > 0) {
                            EXPECT_NEAR((*lane)[i].from, (*lane)[i - 1].to, eps)
                                << where << ": gap before band " << i + 1;
                        }
                    }
                }
                for (qsizetype i = 0; i < c.spec.marks.size(); ++i) {
                    EXPECT_TRUE(fresh(c.spec.marks[i].id))
                        << where << " mark " << i + 1 << ": id used before";
                    if (i > 0 && !(c.id == u"found" && in.quietHoldSec > 0.6)) {
                        EXPECT_LE(c.spec.marks[i - 1].t, c.spec.marks[i].t + eps)
                            << where << ": mark " << i << " after mark " << i + 1;
                    }
                }
                for (const RailSpan &span : c.spec.spans)
                    EXPECT_TRUE(fresh(span.id))
                        << where << " span " << span.label.toStdString() << ": id used before";
            }
        }
        if (::testing::Test::HasFailure())
            return;
    }
}
