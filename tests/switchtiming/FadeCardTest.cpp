// The "fade" card: quiet found early (the switch inside the fade) and found late (a brief
// pause, or passed over to the fallback method).
#include "RailExpect.h"

using namespace railexpect;

namespace {
const QString combinedMark =
    "The Listening Window opens and the hand-over point passes: the next track's rate "
    "differs, so it is kept back from Music.app.";
} // namespace

TEST(FadeCard, foundEarlyAndFoundLateWithABriefPause)
{
    const TimingInputs in;
    expectCase("fade/found (1200 ms, 0.4 s, -55 dBFS, 4.5 s)", caseOf(in, "fade", "found"),
               {"The Zuvaradi meters Music.app's stream through the Listening Window. Quiet that holds…",
                atTheEnd,
                {"-5.6..0 oldFading outgoing track ~-2", "0..2.6 new next track"},
                {"-5.6..-1.6 old current rate", "-1.6..-0.4 relock relock", "-0.4..2.6 new new rate"},
                // The window opens after the hand-over point: one merged mark.
                {"-4.5 listeningWindow: " + combinedMark,
                 "-2 threshold: The fading music drops under the Silence Threshold, -55 dBFS.",
                 "-1.6* minimumQuiet: It has stayed quiet for the Minimum Quiet, 400 ms, with at least the "
                 "Relock Time still to go: the switch is sent and the next track handed over.",
                 "0: The outgoing track ends under the last of the quiet and the next runs on at its rate."},
                {"-4.5..0 primary listeningWindow: Listening Window 4500 ms",
                 "-5..-1.6 secondary: next track kept back from Music.app until the fade",
                 "-2..-1.6 primary minimumQuiet: Minimum Quiet 400 ms",
                 "-1.6..-0.4 relock relock: Relock Time 1200 ms — must end before the track does"}});
    expectCase(
        "fade/late extended (1200 ms, Pause Point 400 ms)", caseOf(in, "fade", "late"),
        {"Quiet confirmed with less than the Relock Time left (here 800 ms) still switches. Playback "
         "pauses at the Pause Point for only what the relock has left — the Relock Time minus the time "
         "that was left at the switch, 400 ms here — then the last 400 ms plays under the mute's tail…",
         atTheEnd,
         {"-5.6..-0.4 oldFading outgoing track ~-1.2", "-0.4..0 silence paused 400 ms",
          "0..0.4 stubFading stub", "0.4..2.6 new next track"},
         {"-5.6..-0.8 old current rate", "-0.8..0.4 relock relock", "0.4..2.6 new new rate"},
         {"-1.2 threshold: The fading music drops under the Silence Threshold, -55 dBFS — but late.",
          "-0.8* minimumQuiet: It has stayed quiet for the Minimum Quiet, 400 ms, but with less than "
          "the Relock Time left: the switch is sent anyway.",
          "-0.4 pausePoint: The Pause Point, 400 ms before the end: playback pauses.",
          "0: Playback resumes: the last 400 ms plays under the mute's tail.",
          "0.4: The mute ends and the next track starts at its rate."},
         {"-1.2..-0.8 primary minimumQuiet: Minimum Quiet 400 ms",
          "-0.8..0.4 relock relock: Relock Time 1200 ms — finished inside the pause",
          "-0.4..0 secondary pausePoint: paused 400 ms = Relock Time − 800 ms left"}});
}

// The window's mark stands apart from the hand-over point (one more mark) only when it opens more
// than 50 ms earlier; its span is labelled with the setting, even where Relock Time + 1 s draws it earlier.
TEST(FadeCard, listeningWindowMarkAndSpan)
{
    const QString opens = "-%1 listeningWindow: The Listening Window opens: the Zuvaradi starts metering how "
                          "loud Music.app is playing.";
    const struct {
        int leadMs;
        double window;
        QString lead; // where the window opens as drawn
        bool apart;
        double start, switchAt;
    } cases[] = {
        {1200, 6.0, "6", true, -6.6, -1.6},
        {1200, 5.05, "5.05", false, -5.65, -1.6},
        {1200, 5.0, "5", false, -5.6, -1.6},
        {3000, 3.0, "4", false, -5.6, -3.4},
    };
    for (const auto &k : cases) {
        TimingInputs in;
        in.leadMs = k.leadMs;
        in.quietWindowSec = k.window;
        const Case c = caseOf(in, "fade", "found");
        SCOPED_TRACE("fade/found, " + std::to_string(k.leadMs) + " ms, window " + std::to_string(k.window));
        const QStringList marks = lines(c.spec.marks);
        ASSERT_EQ(marks.size(), k.apart ? 5 : 4);
        EXPECT_EQ(marks[0], k.apart ? opens.arg(k.lead) : '-' + k.lead + " listeningWindow: " + combinedMark);
        EXPECT_EQ(lines(c.spec.spans).value(0),
                  QString("-%1..0 primary listeningWindow: Listening Window %2 ms")
                      .arg(k.lead)
                      .arg(qRound(k.window * 1000)));
        EXPECT_NEAR(c.spec.music[0].from, k.start, eps) << "rail start";
        EXPECT_EQ(line(c.spec.output[1]), num(k.switchAt) + "..-0.4 relock relock");
    }
}

// Which rail the late case takes, the time left at the switch, the reason and the Pause Point
// span, over the mode, the extension and the Pause Point.
TEST(FadeCard, lateCaseFollowsTheModeTheExtensionAndThePausePoint)
{
    const QString atOrBeyond =
        "is at or beyond the Relock Time (1200 ms): quiet found with less than the "
        "Relock Time left is already past the Pause Point, so there is nothing to "
        "pause into. Lower the Pause Point below the Relock Time to extend late fades.";
    const QString passedOver = "0..2.6 new next track · as the fallback method has it";
    const QString pausePointSpan =
        "-%1..0 secondary pausePoint: Pause Point %2 ms — at or beyond the Relock Time";
    const struct {
        QString mode;
        bool extend;
        double pausePoint;
        QString timeLeft, noteEnd, secondBand, pausePointSpan;
    } cases[] = {
        {"stop", true, 1.5, "(here 600 ms) is passed over", "(1500 ms) " + atOrBeyond, passedOver,
         pausePointSpan.arg(1.5).arg(1500)},
        // Exactly 50 ms short of the Relock Time is not enough room to pause into.
        {"stop", true, 1.15, "(here 600 ms) is passed over", "(1150 ms) " + atOrBeyond, passedOver,
         pausePointSpan.arg(1.15).arg(1150)},
        {"stop", true, 1.1, "(here 1150 ms) still switches", "as when the fade is found early.",
         "-1.1..-1.05 silence paused 50 ms", ""},
        {"pause", false, 0.4, "(here 800 ms) is passed over", "Extend a Late Fade with a Brief Pause is off.",
         passedOver, ""},
        // No Pause Point span: the mode, not the Pause Point, is the reason.
        {"lead", true, 0.4, "(here 800 ms) is passed over",
         "not used with Switch at the End, which fires at the Relock Time before the end, quiet or not.",
         passedOver, ""},
    };
    for (const auto &k : cases) {
        TimingInputs in;
        in.pausePointSec = k.pausePoint;
        in.fadeExtendPause = k.extend;
        in.boundaryMode = k.mode;
        const Case late = caseOf(in, "fade", "late");
        SCOPED_TRACE("fade/late, " + k.mode.toStdString() + (k.extend ? ", extended" : "") +
                     ", Pause Point " + std::to_string(k.pausePoint) + ": " + late.note.toStdString());
        EXPECT_TRUE(late.note.contains("Relock Time left " + k.timeLeft));
        EXPECT_TRUE(late.note.endsWith(k.noteEnd));
        EXPECT_EQ(lines(late.spec.music).value(1), k.secondBand);
        EXPECT_EQ(lines(late.spec.spans).filter("Pause Point ").value(0), k.pausePointSpan);
    }
}
