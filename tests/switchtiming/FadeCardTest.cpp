// The "fade" card: quiet found early (the switch inside the fade) and found late (a brief
// pause, or passed over to the fallback method), with the settings a user would have.
#include "RailExpect.h"

using namespace railexpect;

namespace {

const QString intro = QStringLiteral(
    "The Zuvaradi meters Music.app's stream through the Listening Window. Quiet that holds for the Minimum "
    "Quiet with "
    "at least the Relock Time still to run switches the output inside the fade; the next track is handed to "
    "Music.app and runs on without a gap.");
const QString combinedMark =
    QStringLiteral("The Listening Window opens and the hand-over point passes: the next "
                   "track's rate differs, so it is kept back from Music.app.");
const QString lateQuiet =
    QStringLiteral("The fading music drops under the Silence Threshold, -55 dBFS — but late.");

// Relock Time 1200 ms, Minimum Quiet 0.4 s, -55 dBFS, Listening Window 4.5 s, Pause Point 0.4 s.
TimingInputs usual(const QString &mode = QStringLiteral("stop"), bool extend = true)
{
    TimingInputs in;
    in.leadMs = 1200;
    in.quietHoldSec = 0.4;
    in.quietThresholdDb = -55.0;
    in.quietWindowSec = 4.5;
    in.pausePointSec = 0.4;
    in.fadeExtendPause = extend;
    in.boundaryMode = mode;
    in.audioTap = true;
    in.tapSupported = true;
    in.delayMs = 0;
    return in;
}

Case fadeCase(const TimingInputs &in, const QString &id)
{
    const QList<Card> cards = SwitchTimingView::makeCards(in);
    const Case *c = findCase(cards, QStringLiteral("fade"), id);
    return c ? *c : Case{};
}

} // namespace

TEST(FadeCard, foundEarlyWithTheUsualSettings)
{
    const Case c = fadeCase(usual(), QStringLiteral("found"));
    const std::string where = "fade/found (1200 ms, 0.4 s, -55 dBFS, 4.5 s)";
    EXPECT_EQ(c.label, QStringLiteral("A fade found early"));
    EXPECT_EQ(c.settings,
              (QList<SettingKey>{SettingKey::listeningWindow, SettingKey::threshold, SettingKey::minimumQuiet,
                                 SettingKey::fadeExtend, SettingKey::pausePoint}))
        << where;
    EXPECT_EQ(c.note, intro + QStringLiteral(
                                  " Quiet found later than that gets the brief pause — see A fade found "
                                  "late; quiet found after the Pause Point is passed over and the fallback "
                                  "method takes the change."))
        << where << " note";
    EXPECT_TRUE(c.spec.zeroLine) << where;
    EXPECT_EQ(c.spec.zeroLabel, QStringLiteral("the end of the outgoing track")) << where;

    expectLane(
        where, "music", c.spec.music,
        {{-5.6, 0, RailFill::oldFading, "outgoing track", -2.0}, {0, 2.6, RailFill::next, "next track"}});
    expectLane(where, "output", c.spec.output,
               {{-5.6, -1.6, RailFill::old, "current rate"},
                {-1.6, -0.4, RailFill::relock, "relock"},
                {-0.4, 2.6, RailFill::next, "new rate"}});
    // The window opens after the hand-over point: one merged mark.
    expectMarks(
        where, c.spec.marks,
        {{-4.5, combinedMark, false, SettingKey::listeningWindow},
         {-2.0, "The fading music drops under the Silence Threshold, -55 dBFS.", false,
          SettingKey::threshold},
         {-1.6,
          "It has stayed quiet for the Minimum Quiet, 400 ms, with at least the Relock Time still to go: the "
          "switch is sent and the next track handed over.",
          true, SettingKey::minimumQuiet},
         {0, "The outgoing track ends under the last of the quiet and the next runs on at its rate.", false,
          std::nullopt}});
    expectSpans(where, c.spec.spans,
                {{-4.5, 0, "Listening Window 4500 ms", RailColor::primary, SettingKey::listeningWindow},
                 {-5.0, -1.6, "next track kept back from Music.app until the fade", RailColor::secondary,
                  std::nullopt},
                 {-2.0, -1.6, "Minimum Quiet 400 ms", RailColor::primary, SettingKey::minimumQuiet},
                 {-1.6, -0.4, "Relock Time 1200 ms — must end before the track does", RailColor::relock,
                  SettingKey::relock}});
}

TEST(FadeCard, foundEarlyListeningWindowBeforeOrAtTheHandOverPoint)
{
    const QString windowOpens = QStringLiteral(
        "The Listening Window opens: the Zuvaradi starts metering how loud Music.app is playing.");
    const QString handOver = QStringLiteral(
        "The hand-over point: the next track's rate differs, so it is kept back from Music.app.");

    TimingInputs in = usual();
    in.quietWindowSec = 6.0;
    Case c = fadeCase(in, QStringLiteral("found"));
    ASSERT_GE(c.spec.marks.size(), 2) << "fade/found, window 6.0 s";
    expectMarks(
        "fade/found, window 6.0 s (first two)", c.spec.marks.mid(0, 2),
        {{-6.0, windowOpens, false, SettingKey::listeningWindow}, {-5.0, handOver, false, std::nullopt}});
    EXPECT_NEAR(c.spec.music.first().from, -6.6, eps) << "fade/found, window 6.0 s: rail start";
    EXPECT_NEAR(c.spec.output.first().from, -6.6, eps) << "fade/found, window 6.0 s: rail start";
    EXPECT_EQ(c.spec.marks.size(), 5) << "fade/found, window 6.0 s";

    for (double window : {5.0, 5.05}) {
        in.quietWindowSec = window;
        c = fadeCase(in, QStringLiteral("found"));
        const std::string where = "fade/found, window " + std::to_string(window) + " s";
        ASSERT_EQ(c.spec.marks.size(), 4) << where << ": within 50 ms, merged";
        expectMarks(where + " (first)", c.spec.marks.mid(0, 1),
                    {{-window, combinedMark, false, SettingKey::listeningWindow}});
    }

    in.quietWindowSec = 5.1;
    EXPECT_EQ(fadeCase(in, QStringLiteral("found")).spec.marks.size(), 5)
        << "fade/found, window 5.1 s: apart";
}

TEST(FadeCard, foundEarlyListeningWindowSpanNamesTheSettingNotTheDrawnLead)
{
    TimingInputs in = usual();
    in.leadMs = 3000;
    in.quietWindowSec = 3.0;
    const Case c = fadeCase(in, QStringLiteral("found"));
    const std::string where = "fade/found (3000 ms, 3.0 s)";
    ASSERT_FALSE(c.spec.marks.isEmpty()) << where;
    expectMarks(where + " (first)", c.spec.marks.mid(0, 1),
                {{-4.0, combinedMark, false, SettingKey::listeningWindow}});
    ASSERT_FALSE(c.spec.spans.isEmpty()) << where;
    expectSpans(where + " (first)", c.spec.spans.mid(0, 1),
                {{-4.0, 0, "Listening Window 3000 ms", RailColor::primary, SettingKey::listeningWindow}});
    EXPECT_NEAR(c.spec.output[1].from, -3.4, eps) << where << ": switch";
    EXPECT_NEAR(c.spec.output[1].to, -0.4, eps) << where << ": relock ends";
    EXPECT_NEAR(c.spec.music[0].fadeAt.value_or(0), -3.8, eps) << where << ": fade point";
}

TEST(FadeCard, foundEarlyNoteFollowsTheModeAndTheExtension)
{
    EXPECT_EQ(
        fadeCase(usual(QStringLiteral("lead")), QStringLiteral("found")).note,
        intro + QStringLiteral(" Quiet found later than that is passed over — Switch at the End has already "
                               "fired at the Relock Time, quiet or not, so Extend a Late Fade with a Brief "
                               "Pause is not used with it."))
        << "fade/found note, mode lead";
    EXPECT_EQ(fadeCase(usual(QStringLiteral("lead"), false), QStringLiteral("found")).note,
              fadeCase(usual(QStringLiteral("lead")), QStringLiteral("found")).note)
        << "fade/found note, mode lead, extension off";
    EXPECT_EQ(
        fadeCase(usual(QStringLiteral("pause"), false), QStringLiteral("found")).note,
        intro + QStringLiteral(" Quiet found later than that is passed over — the fallback method takes the "
                               "change (or turn on Extend a Late Fade with a Brief Pause)."))
        << "fade/found note, mode pause, extension off";
}

TEST(FadeCard, lateExtendedWithABriefPause)
{
    const Case c = fadeCase(usual(QStringLiteral("stop")), QStringLiteral("late"));
    const std::string where = "fade/late extended (1200 ms, Pause Point 400 ms)";
    EXPECT_EQ(c.label, QStringLiteral("A fade found late"));
    EXPECT_EQ(c.settings, (QList<SettingKey>{SettingKey::threshold, SettingKey::minimumQuiet,
                                             SettingKey::fadeExtend, SettingKey::pausePoint}))
        << where;
    EXPECT_EQ(c.note,
              QStringLiteral(
                  "Quiet confirmed with less than the Relock Time left (here 800 ms) still switches. "
                  "Playback pauses at the Pause Point for only what the relock has left — the Relock Time "
                  "minus the time that was left at the switch, 400 ms here — then the last 400 ms plays "
                  "under the mute's tail and the next track starts as the mute ends. In Stop to Switch the "
                  "next track is handed to Music.app at the switch, as when the fade is found early."))
        << where << " note";
    EXPECT_TRUE(c.spec.zeroLine) << where;
    EXPECT_EQ(c.spec.zeroLabel, QStringLiteral("the end of the outgoing track")) << where;
    expectLane(where, "music", c.spec.music,
               {{-5.6, -0.4, RailFill::oldFading, "outgoing track", -1.2},
                {-0.4, 0.0, RailFill::silence, "paused 400 ms"},
                {0.0, 0.4, RailFill::stubFading, "stub"},
                {0.4, 2.6, RailFill::next, "next track"}});
    expectLane(where, "output", c.spec.output,
               {{-5.6, -0.8, RailFill::old, "current rate"},
                {-0.8, 0.4, RailFill::relock, "relock"},
                {0.4, 2.6, RailFill::next, "new rate"}});
    expectMarks(
        where, c.spec.marks,
        {{-1.2, lateQuiet, false, SettingKey::threshold},
         {-0.8,
          "It has stayed quiet for the Minimum Quiet, 400 ms, but with less than the Relock Time left: the "
          "switch is sent anyway.",
          true, SettingKey::minimumQuiet},
         {-0.4, "The Pause Point, 400 ms before the end: playback pauses.", false, SettingKey::pausePoint},
         {0.0, "Playback resumes: the last 400 ms plays under the mute's tail.", false, std::nullopt},
         {0.4, "The mute ends and the next track starts at its rate.", false, std::nullopt}});
    expectSpans(where, c.spec.spans,
                {{-1.2, -0.8, "Minimum Quiet 400 ms", RailColor::primary, SettingKey::minimumQuiet},
                 {-0.8, 0.4, "Relock Time 1200 ms — finished inside the pause", RailColor::relock,
                  SettingKey::relock},
                 {-0.4, 0.0, "paused 400 ms = Relock Time − 800 ms left", RailColor::secondary,
                  SettingKey::pausePoint}});
}

TEST(FadeCard, latePassedOverWithSwitchAtTheEnd)
{
    const Case c = fadeCase(usual(QStringLiteral("lead")), QStringLiteral("late"));
    const std::string where = "fade/late passed over, mode lead";
    EXPECT_EQ(c.note,
              QStringLiteral(
                  "Quiet confirmed with less than the Relock Time left (here 800 ms) is passed over: no "
                  "switch is sent inside the fade, and the fallback method takes the change at the end of "
                  "the track. Extend a Late Fade with a Brief Pause is not used with Switch at the End, "
                  "which fires at the Relock Time before the end, quiet or not."))
        << where << " note";
    expectLane(where, "music", c.spec.music,
               {{-5.6, 0, RailFill::oldFading, "outgoing track", -1.2},
                {0, 2.6, RailFill::next, "next track · as the fallback method has it"}});
    expectLane(where, "output", c.spec.output,
               {{-5.6, 0, RailFill::old, "current rate"},
                {0, 2.6, RailFill::silence, "the fallback method's switch"}});
    expectMarks(
        where, c.spec.marks,
        {{-1.2, lateQuiet, false, SettingKey::threshold},
         {-0.8,
          "It has stayed quiet for the Minimum Quiet, 400 ms, but with less than the Relock Time left: "
          "passed over, nothing is sent.",
          true, SettingKey::minimumQuiet},
         {0, "The track ends; the fallback method takes the change.", false, std::nullopt}});
    // No Pause Point span: the mode, not the Pause Point, is the reason.
    expectSpans(where, c.spec.spans,
                {{-1.2, -0.8, "Minimum Quiet 400 ms", RailColor::primary, SettingKey::minimumQuiet},
                 {-0.8, 0, "800 ms left — less than the Relock Time 1200 ms", RailColor::secondary,
                  SettingKey::relock}});
}

TEST(FadeCard, latePassedOverBecauseThePausePointIsBeyondTheRelockTime)
{
    TimingInputs in = usual(QStringLiteral("stop"));
    in.pausePointSec = 1.5;
    const Case c = fadeCase(in, QStringLiteral("late"));
    const std::string where = "fade/late passed over, Pause Point 1500 ms";
    EXPECT_EQ(c.note,
              QStringLiteral(
                  "Quiet confirmed with less than the Relock Time left (here 600 ms) is passed over: no "
                  "switch is sent inside the fade, and the fallback method takes the change at the end of "
                  "the track. The Pause Point (1500 ms) is at or beyond the Relock Time (1200 ms): quiet "
                  "found with less than the Relock Time left is already past the Pause Point, so there is "
                  "nothing to pause into. Lower the Pause Point below the Relock Time to extend late "
                  "fades."))
        << where << " note";
    EXPECT_NEAR(c.spec.music[0].fadeAt.value_or(0), -1.0, eps) << where << ": fade point";
    expectMarks(
        where, c.spec.marks,
        {{-1.0, lateQuiet, false, SettingKey::threshold},
         {-0.6,
          "It has stayed quiet for the Minimum Quiet, 400 ms, but with less than the Relock Time left: "
          "passed over, nothing is sent.",
          true, SettingKey::minimumQuiet},
         {0, "The track ends; the fallback method takes the change.", false, std::nullopt}});
    expectSpans(where, c.spec.spans,
                {{-1.0, -0.6, "Minimum Quiet 400 ms", RailColor::primary, SettingKey::minimumQuiet},
                 {-0.6, 0, "600 ms left — less than the Relock Time 1200 ms", RailColor::secondary,
                  SettingKey::relock},
                 {-1.5, 0, "Pause Point 1500 ms — at or beyond the Relock Time", RailColor::secondary,
                  SettingKey::pausePoint}});
}

TEST(FadeCard, latePassedOverWithTheExtensionOff)
{
    const Case c = fadeCase(usual(QStringLiteral("pause"), false), QStringLiteral("late"));
    const std::string where = "fade/late passed over, extension off";
    EXPECT_TRUE(
        c.note.endsWith(QStringLiteral("at the end of the track. Extend a Late Fade with a Brief Pause is "
                                       "off.")))
        << where << " note: " << c.note.toStdString();
    EXPECT_TRUE(c.note.contains(QStringLiteral("(here 800 ms)"))) << where << " note: A is half-way";
    EXPECT_EQ(c.spec.spans.size(), 2) << where << ": no Pause Point span";
    EXPECT_EQ(c.spec.output.last().fill, RailFill::silence) << where;
}

TEST(FadeCard, lateExtensionNeedsMoreThan50msBetweenPausePointAndRelockTime)
{
    TimingInputs in = usual(QStringLiteral("stop"));
    in.pausePointSec = 1.15; // exactly 50 ms short of the Relock Time
    Case c = fadeCase(in, QStringLiteral("late"));
    EXPECT_TRUE(c.note.contains(QStringLiteral("(here 600 ms) is passed over")))
        << "fade/late, Pause Point 1150 ms: passed over with half the Relock Time; " << c.note.toStdString();
    EXPECT_TRUE(c.note.contains(
        QStringLiteral("The Pause Point (1150 ms) is at or beyond the Relock Time (1200 ms)")))
        << "fade/late, Pause Point 1150 ms: reason";

    in.pausePointSec = 1.1;
    c = fadeCase(in, QStringLiteral("late"));
    EXPECT_TRUE(c.note.startsWith(
        QStringLiteral("Quiet confirmed with less than the Relock Time left (here 1150 ms) still switches.")))
        << "fade/late, Pause Point 1100 ms: extended; " << c.note.toStdString();
    ASSERT_EQ(c.spec.music.size(), 4) << "fade/late, Pause Point 1100 ms";
    EXPECT_EQ(c.spec.music[1].label, QStringLiteral("paused 50 ms"))
        << "fade/late, Pause Point 1100 ms: pause band";
}
