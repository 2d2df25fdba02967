// The card table: what each switch method does around one track boundary, with the settings
// of the moment. Every band, mark, span and note below is what the user reads, so the numbers
// and words are kept exactly as the switcher behaves.
#include "SwitchTimingView.h"

#include "Units.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>

namespace {
struct Tr {
    Q_DECLARE_TR_FUNCTIONS(SwitchTiming)
};

using Card = SwitchTimingView::Card;
using Case = SwitchTimingView::Case;
using CardControl = SwitchTimingView::CardControl;
using Group = SwitchTimingView::Group;

RailBand band(double from, double to, RailFill fill, const QString &label,
              std::optional<double> fadeAt = std::nullopt)
{
    return RailBand{QUuid::createUuid(), from, to, fill, label, fadeAt};
}

RailMark mark(double t, const QString &label, bool strong, std::optional<SettingKey> setting)
{
    return RailMark{QUuid::createUuid(), t, label, strong, setting, std::nullopt};
}

RailSpan span(double from, double to, const QString &label, RailColor color,
              std::optional<SettingKey> setting)
{
    return RailSpan{QUuid::createUuid(), from, to, label, color, setting};
}

// Whether `a` lies more than 50 ms beyond `b`. Compared in whole milliseconds: the settings
// are stepped in milliseconds, and a difference of exactly 50 ms must not depend on how the
// two values happen to round in binary.
bool moreThan50msBeyond(double a, double b)
{
    return std::round(a * 1000.0) > std::round(b * 1000.0) + 50.0;
}

// The symbols every rail is built from, read once per table.
struct Symbols {
    explicit Symbols(const TimingInputs &in)
        : in(in), T(in.leadMs / 1000.0), Q(in.quietHoldSec), P(in.pausePointSec),
          Th(SwitchTimingView::thresholdText(in.quietThresholdDb)), Lw(SwitchTimingView::listeningLead(in)),
          E(SwitchTimingView::tailSpan(in)), S0(SwitchTimingView::railStart(in)),
          D(SwitchTimingView::delaySec(in)), L(SwitchTimingView::loadSec(in)),
          lead(in.boundaryMode == u"lead")
    {
    }

    const TimingInputs &in;
    const double T;   // Relock Time
    const double Q;   // Minimum Quiet
    const double P;   // Pause Point
    const QString Th; // Silence Threshold in whole decibels
    const double H = SwitchTimingView::handOverPoint;
    const double K = SwitchTimingView::stopLag;
    const double Lw; // when the Listening Window opens as drawn
    const double E;  // the right end of every rail
    const double S0; // the left end of every lane
    const double D;  // Delay Added
    const double L;  // Music.app's typical load
    const bool lead; // Switch at the End is the boundary mode
};

QString ms(double seconds)
{
    return SwitchTimingView::msText(seconds);
}

QString handOverText()
{
    return Tr::tr("The hand-over point: the next track's rate differs, so it is kept back from Music.app.");
}

QString firstNoteText(const Symbols &s)
{
    const QString seconds = Units::seconds(Bundle::main(), s.L);
    if (SwitchTimingView::loadAssumed(s.in)) {
        //: The placeholder is an assumed load time in seconds ("0.9 s").
        return Tr::tr("The first note, after Music.app's typical load of %1 (assumed).").arg(seconds);
    }
    //: The placeholder is the measured load time in seconds ("0.9 s").
    return Tr::tr("The first note, after Music.app's typical load of %1.").arg(seconds);
}

QString relockSpanText(const Symbols &s)
{
    return Tr::tr("Relock Time %1").arg(ms(s.T));
}

QString minimumQuietSpanText(const Symbols &s)
{
    return Tr::tr("Minimum Quiet %1").arg(ms(s.Q));
}

QString lateQuietMarkText(const Symbols &s)
{
    //: The placeholder is the Silence Threshold in whole decibels ("-55").
    return Tr::tr("The fading music drops under the Silence Threshold, %1 dBFS — but late.").arg(s.Th);
}

Case fadeFound(const Symbols &s)
{
    const double F = s.T + s.Q + 0.4; // how long before the end the quiet begins
    const double W = -(s.T + 0.4);    // where the switch is sent

    QString tail;
    if (s.in.fadeExtendPause && !s.lead) {
        tail = Tr::tr(
            "Quiet found later than that gets the brief pause — see A fade found late; quiet found after "
            "the Pause Point is passed over and the fallback method takes the change.");
    } else if (s.lead) {
        tail = Tr::tr(
            "Quiet found later than that is passed over — Switch at the End has already fired at the "
            "Relock Time, quiet or not, so Extend a Late Fade with a Brief Pause is not used with it.");
    } else {
        tail = Tr::tr(
            "Quiet found later than that is passed over — the fallback method takes the change (or turn "
            "on Extend a Late Fade with a Brief Pause).");
    }
    const QString note = Tr::tr("The Zuvaradi meters Music.app's stream through the Listening Window. Quiet "
                                "that holds for the Minimum "
                                "Quiet with at least the Relock Time still to run switches the output inside "
                                "the fade; the next track "
                                "is handed to Music.app and runs on without a gap.") +
                         u' ' + tail;

    RailSpec spec;
    spec.zeroLabel = SwitchTimingView::endLabel();
    spec.music = {band(s.S0, 0, RailFill::oldFading, Tr::tr("outgoing track"), -F),
                  band(0, s.E, RailFill::next, Tr::tr("next track"))};
    spec.output = {band(s.S0, W, RailFill::old, Tr::tr("current rate")),
                   band(W, W + s.T, RailFill::relock, Tr::tr("relock")),
                   band(W + s.T, s.E, RailFill::next, Tr::tr("new rate"))};

    if (moreThan50msBeyond(s.Lw, s.H)) {
        spec.marks.append(
            mark(-s.Lw,
                 Tr::tr("The Listening Window opens: the Zuvaradi starts metering how loud Music.app "
                        "is playing."),
                 false, SettingKey::listeningWindow));
        spec.marks.append(mark(-s.H, handOverText(), false, std::nullopt));
    } else {
        spec.marks.append(
            mark(-s.Lw,
                 Tr::tr("The Listening Window opens and the hand-over point passes: the next track's "
                        "rate differs, so it is kept back from Music.app."),
                 false, SettingKey::listeningWindow));
    }
    //: The placeholder is the Silence Threshold in whole decibels ("-55").
    spec.marks.append(mark(-F,
                           Tr::tr("The fading music drops under the Silence Threshold, %1 dBFS.").arg(s.Th),
                           false, SettingKey::threshold));
    //: The placeholder is the Minimum Quiet in milliseconds.
    spec.marks.append(
        mark(W,
             Tr::tr("It has stayed quiet for the Minimum Quiet, %1, with at least the Relock Time still "
                    "to go: the switch is sent and the next track handed over.")
                 .arg(ms(s.Q)),
             true, SettingKey::minimumQuiet));
    spec.marks.append(mark(
        0, Tr::tr("The outgoing track ends under the last of the quiet and the next runs on at its rate."),
        false, std::nullopt));

    // The label names the setting itself, though the bracket starts where the window opens as drawn.
    spec.spans = {
        span(-s.Lw, 0, Tr::tr("Listening Window %1").arg(ms(s.in.quietWindowSec)), RailColor::primary,
             SettingKey::listeningWindow),
        span(-s.H, W, Tr::tr("next track kept back from Music.app until the fade"), RailColor::secondary,
             std::nullopt),
        span(-F, W, minimumQuietSpanText(s), RailColor::primary, SettingKey::minimumQuiet),
        span(W, W + s.T, Tr::tr("Relock Time %1 — must end before the track does").arg(ms(s.T)),
             RailColor::relock, SettingKey::relock),
    };

    return Case{QStringLiteral("found"),
                Tr::tr("A fade found early"),
                {SettingKey::listeningWindow, SettingKey::threshold, SettingKey::minimumQuiet,
                 SettingKey::fadeExtend, SettingKey::pausePoint},
                note,
                spec};
}

// Late quiet still switches, and playback pauses just long enough for the relock to finish.
RailSpec extendedLateRail(const Symbols &s, QString &note)
{
    const double A = (s.T + s.P) / 2; // time left when the quiet is confirmed
    const double Z = -A - s.Q;        // where the quiet begins
    const double R = s.T - A;         // the pause: what the relock still needs

    note =
        Tr::tr(
            "Quiet confirmed with less than the Relock Time left (here %1) still switches. Playback pauses "
            "at "
            "the Pause Point for only what the relock has left — the Relock Time minus the time that was "
            "left "
            "at the switch, %2 here — then the last %3 plays under the mute's tail and the next track starts "
            "as the mute ends. In Stop to Switch the next track is handed to Music.app at the switch, as "
            "when "
            "the fade is found early.")
            .arg(ms(A), ms(R), ms(s.P));

    RailSpec spec;
    spec.zeroLabel = SwitchTimingView::endLabel();
    spec.music = {band(s.S0, -s.P, RailFill::oldFading, Tr::tr("outgoing track"), Z),
                  band(-s.P, R - s.P, RailFill::silence, Tr::tr("paused %1").arg(ms(R))),
                  band(R - s.P, R, RailFill::stubFading, Tr::tr("stub")),
                  band(R, s.E, RailFill::next, Tr::tr("next track"))};
    spec.output = {band(s.S0, -A, RailFill::old, Tr::tr("current rate")),
                   band(-A, R, RailFill::relock, Tr::tr("relock")),
                   band(R, s.E, RailFill::next, Tr::tr("new rate"))};
    spec.marks = {
        mark(Z, lateQuietMarkText(s), false, SettingKey::threshold),
        mark(
            -A,
            Tr::tr(
                "It has stayed quiet for the Minimum Quiet, %1, but with less than the Relock Time left: the "
                "switch is sent anyway.")
                .arg(ms(s.Q)),
            true, SettingKey::minimumQuiet),
        mark(-s.P, Tr::tr("The Pause Point, %1 before the end: playback pauses.").arg(ms(s.P)), false,
             SettingKey::pausePoint),
        mark(R - s.P, Tr::tr("Playback resumes: the last %1 plays under the mute's tail.").arg(ms(s.P)),
             false, std::nullopt),
        mark(R, Tr::tr("The mute ends and the next track starts at its rate."), false, std::nullopt),
    };
    spec.spans = {
        span(Z, -A, minimumQuietSpanText(s), RailColor::primary, SettingKey::minimumQuiet),
        span(-A, R, Tr::tr("Relock Time %1 — finished inside the pause").arg(ms(s.T)), RailColor::relock,
             SettingKey::relock),
        //: The pause length, then the time that was left at the switch; both in milliseconds.
        span(-s.P, R - s.P, Tr::tr("paused %1 = Relock Time − %2 left").arg(ms(R), ms(A)),
             RailColor::secondary, SettingKey::pausePoint),
    };
    return spec;
}

// Late quiet is let go and the fallback method switches at the end.
RailSpec passedOverLateRail(const Symbols &s, QString &note)
{
    const bool extendable = moreThan50msBeyond(s.T, s.P);
    const double A = extendable ? (s.T + s.P) / 2 : s.T / 2;
    const double Z = -A - s.Q;

    QString reason;
    if (s.lead) {
        reason = Tr::tr(
            "Extend a Late Fade with a Brief Pause is not used with Switch at the End, which fires at the "
            "Relock Time before the end, quiet or not.");
    } else if (!s.in.fadeExtendPause) {
        reason = Tr::tr("Extend a Late Fade with a Brief Pause is off.");
    } else {
        //: Two durations in milliseconds: the Pause Point, then the Relock Time.
        reason =
            Tr::tr(
                "The Pause Point (%1) is at or beyond the Relock Time (%2): quiet found with less than the "
                "Relock Time left is already past the Pause Point, so there is nothing to pause into. Lower "
                "the Pause Point below the Relock Time to extend late fades.")
                .arg(ms(s.P), ms(s.T));
    }
    //: The placeholder is a duration in milliseconds.
    note =
        Tr::tr(
            "Quiet confirmed with less than the Relock Time left (here %1) is passed over: no switch is sent "
            "inside the fade, and the fallback method takes the change at the end of the track.")
            .arg(ms(A)) +
        u' ' + reason;

    RailSpec spec;
    spec.zeroLabel = SwitchTimingView::endLabel();
    spec.music = {band(s.S0, 0, RailFill::oldFading, Tr::tr("outgoing track"), Z),
                  band(0, s.E, RailFill::next, Tr::tr("next track · as the fallback method has it"))};
    spec.output = {band(s.S0, 0, RailFill::old, Tr::tr("current rate")),
                   band(0, s.E, RailFill::silence, Tr::tr("the fallback method's switch"))};
    spec.marks = {
        mark(Z, lateQuietMarkText(s), false, SettingKey::threshold),
        mark(-A,
             Tr::tr("It has stayed quiet for the Minimum Quiet, %1, but with less than the Relock Time left: "
                    "passed "
                    "over, nothing is sent.")
                 .arg(ms(s.Q)),
             true, SettingKey::minimumQuiet),
        mark(0, Tr::tr("The track ends; the fallback method takes the change."), false, std::nullopt),
    };
    spec.spans = {
        span(Z, -A, minimumQuietSpanText(s), RailColor::primary, SettingKey::minimumQuiet),
        //: The time left at the switch, then the Relock Time; both in milliseconds.
        span(-A, 0, Tr::tr("%1 left — less than the Relock Time %2").arg(ms(A), ms(s.T)),
             RailColor::secondary, SettingKey::relock),
    };
    // Only when the Pause Point is the reason.
    if (!s.lead && s.in.fadeExtendPause) {
        spec.spans.append(span(-s.P, 0, Tr::tr("Pause Point %1 — at or beyond the Relock Time").arg(ms(s.P)),
                               RailColor::secondary, SettingKey::pausePoint));
    }
    return spec;
}

Case fadeLate(const Symbols &s)
{
    QString note;
    const bool extended = s.in.fadeExtendPause && !s.lead && moreThan50msBeyond(s.T, s.P);
    RailSpec spec = extended ? extendedLateRail(s, note) : passedOverLateRail(s, note);
    return Case{
        QStringLiteral("late"),
        Tr::tr("A fade found late"),
        {SettingKey::threshold, SettingKey::minimumQuiet, SettingKey::fadeExtend, SettingKey::pausePoint},
        note,
        spec};
}

Case stopCase(const Symbols &s)
{
    //: The placeholder is a whole number of seconds ("5").
    const QString note = Tr::tr("Music.app is handed nothing beyond the current track until %1 s before its "
                                "end; a next track at a "
                                "different rate is withheld, so Music.app stops by itself when the track "
                                "ends — to its last sample. "
                                "The switch is sent in that stop; after the Delay Added, Music.app is asked "
                                "for the next track and "
                                "loads it. The silence is the delay plus that load.")
                             .arg(static_cast<qint64>(s.H));

    RailSpec spec;
    spec.zeroLabel = SwitchTimingView::endLabel();
    spec.music = {band(s.S0, 0, RailFill::old, Tr::tr("outgoing track · to its last sample"))};
    SwitchTimingView::loadBands(spec.music, Tr::tr("next track"), s.in);
    spec.output = {band(s.S0, s.K, RailFill::old, Tr::tr("current rate")),
                   band(s.K, s.K + s.T, RailFill::relock, Tr::tr("relock")),
                   band(s.K + s.T, s.E, RailFill::next, Tr::tr("new rate"))};

    spec.marks = {
        mark(-s.H, handOverText(), false, std::nullopt),
        mark(0, Tr::tr("Music.app stops at the end of the track and the switch is sent."), true,
             std::nullopt),
        mark(s.D,
             s.in.delayMs > 0 ? Tr::tr("After the Delay Added, %1, the next track is asked for.").arg(ms(s.D))
                              : Tr::tr("The next track is asked for at once (no Delay Added)."),
             false, SettingKey::delay),
        mark(s.D + s.L, firstNoteText(s), false, std::nullopt),
    };

    spec.spans = {
        span(-s.H, 0, Tr::tr("next track kept back from Music.app — it stops at the end"),
             RailColor::secondary, std::nullopt),
        span(s.K, s.K + s.T, relockSpanText(s), RailColor::relock, SettingKey::relock),
    };
    if (s.in.delayMs > 0)
        spec.spans.append(
            span(0, s.D, Tr::tr("Delay Added %1").arg(ms(s.D)), RailColor::primary, SettingKey::delay));
    spec.spans.append(SwitchTimingView::loadSpan(s.in));

    return Case{QStringLiteral("stop"),
                Tr::tr("Stop to Switch"),
                {SettingKey::delay, SettingKey::automatic},
                note,
                spec};
}

Case pauseCase(const Symbols &s)
{
    const double R = std::max(s.T - s.P, 0.0); // the pause length

    //: The placeholder is the Pause Point in milliseconds.
    const QString note = Tr::tr("Playback is paused at the Pause Point before the end and the switch is sent "
                                "into the pause. Playback "
                                "resumes with the Pause Point's worth of the Relock Time still to run, so "
                                "the outgoing track's last "
                                "%1 plays under the DAC's mute — it is lost — and the next track's first "
                                "note lands as the mute ends. "
                                "The pause is a command to Music.app, so it can land late on a busy Mac; the "
                                "resume is timed from "
                                "where it actually landed.")
                             .arg(ms(s.P));

    RailSpec spec;
    spec.zeroLine = false;
    spec.zeroLabel = SwitchTimingView::endLabel();
    spec.music = {band(s.S0, -s.P, RailFill::old, Tr::tr("outgoing track")),
                  band(-s.P, R - s.P, RailFill::silence, Tr::tr("paused %1").arg(ms(R))),
                  band(R - s.P, s.T - s.P, RailFill::lost, Tr::tr("lost")),
                  band(s.T - s.P, s.E, RailFill::next, Tr::tr("next track"))};
    spec.output = {band(s.S0, -s.P, RailFill::old, Tr::tr("current rate")),
                   band(-s.P, s.T - s.P, RailFill::relock, Tr::tr("relock")),
                   band(s.T - s.P, s.E, RailFill::next, Tr::tr("new rate"))};
    spec.marks = {
        mark(-s.P,
             Tr::tr("The Pause Point, %1 before the end: playback pauses and the switch is sent.")
                 .arg(ms(s.P)),
             true, SettingKey::pausePoint),
        mark(R - s.P,
             Tr::tr("Playback resumes: the last %1 of the track plays under the mute's tail, lost.")
                 .arg(ms(s.P)),
             false, std::nullopt),
        mark(s.T - s.P, Tr::tr("The mute ends and the next track starts at its rate."), false, std::nullopt),
    };
    spec.spans = {
        span(-s.P, s.T - s.P, relockSpanText(s), RailColor::relock, SettingKey::relock),
        span(-s.P, R - s.P, Tr::tr("paused %1 = Relock Time − Pause Point").arg(ms(R)), RailColor::secondary,
             SettingKey::pausePoint),
    };
    return Case{QStringLiteral("pause"), Tr::tr("Pause to Switch"), {SettingKey::pausePoint}, note, spec};
}

Case leadCase(const Symbols &s)
{
    //: The placeholder is the Relock Time in milliseconds.
    const QString note =
        Tr::tr("The switch is sent the Relock Time before the end, so the DAC's mute covers the outgoing "
               "track's "
               "final %1 — that much of it is lost — and the next track starts already at its rate with no "
               "pause and "
               "no gap. For anyone who would rather lose a track's last moment than hear any silence.")
            .arg(ms(s.T));

    RailSpec spec;
    spec.zeroLabel = SwitchTimingView::endLabel();
    spec.music = {band(s.S0, -s.T, RailFill::old, Tr::tr("outgoing track")),
                  band(-s.T, 0, RailFill::lost, Tr::tr("lost")),
                  band(0, s.E, RailFill::next, Tr::tr("next track"))};
    spec.output = {band(s.S0, -s.T, RailFill::old, Tr::tr("current rate")),
                   band(-s.T, 0, RailFill::relock, Tr::tr("relock")),
                   band(0, s.E, RailFill::next, Tr::tr("new rate"))};
    spec.marks = {
        mark(-s.T,
             Tr::tr("The Relock Time, %1, before the end: the switch is sent, quiet or not.").arg(ms(s.T)),
             true, SettingKey::relock),
        mark(0, Tr::tr("The next track starts at its rate as the mute ends."), false, std::nullopt),
    };
    spec.spans = {span(-s.T, 0, Tr::tr("Relock Time %1 — the end of the track, under the mute").arg(ms(s.T)),
                       RailColor::relock, SettingKey::relock)};
    return Case{QStringLiteral("lead"), Tr::tr("Switch at the End"), {}, note, spec};
}

Case noneCase(const Symbols &s)
{
    const QString note =
        Tr::tr("Nothing is sent at the change. The next track plays on at the current output rate, "
               "resampled, until you pick a track.");
    RailSpec spec;
    spec.zeroLabel = SwitchTimingView::endLabel();
    spec.music = {band(s.S0, 0, RailFill::old, Tr::tr("outgoing track")),
                  band(0, s.E, RailFill::next, Tr::tr("next track · resampled"))};
    spec.output = {band(s.S0, s.E, RailFill::old, Tr::tr("current rate, unchanged"))};
    spec.marks = {mark(0, Tr::tr("The next track runs on at the old rate."), false, std::nullopt)};
    return Case{QStringLiteral("none"), Tr::tr("Don't Switch"), {}, note, spec};
}

Case pickCase(const Symbols &s)
{
    const QString note = Tr::tr(
        "Zero here is the pick itself. The switch is sent at once and whatever was playing is paused; after "
        "the Delay Added Music.app is asked for the track and loads it. The delay only exists to cover a DAC "
        "that relocks slower than Music.app loads — set automatically it is that difference, or nothing. A "
        "same-rate pick has no switch and no delay.");

    RailSpec spec;
    //: The caption of the zero line on the picked-track rail.
    spec.zeroLabel = Tr::tr("the pick");
    spec.music = {band(s.S0, 0, RailFill::old, Tr::tr("whatever was playing"))};
    SwitchTimingView::loadBands(spec.music, Tr::tr("picked track"), s.in);
    spec.output = {band(s.S0, 0, RailFill::old, Tr::tr("current rate")),
                   band(0, s.T, RailFill::relock, Tr::tr("relock")),
                   band(s.T, s.E, RailFill::next, Tr::tr("new rate"))};
    spec.marks = {
        mark(0, Tr::tr("The pick: the switch is sent and Music.app is paused."), true, std::nullopt),
        mark(s.D,
             s.in.delayMs > 0 ? Tr::tr("After the Delay Added, %1, the track is asked for.").arg(ms(s.D))
                              : Tr::tr("The track is asked for at once (no Delay Added)."),
             false, SettingKey::delay),
        mark(s.D + s.L, firstNoteText(s), false, std::nullopt),
    };
    spec.spans = {span(0, s.T, relockSpanText(s), RailColor::relock, SettingKey::relock)};
    if (s.in.delayMs > 0)
        spec.spans.append(
            span(0, s.D, Tr::tr("Delay Added %1").arg(ms(s.D)), RailColor::primary, SettingKey::delay));
    spec.spans.append(SwitchTimingView::loadSpan(s.in));

    return Case{QStringLiteral("pick"),
                Tr::tr("A picked track"),
                {SettingKey::delay, SettingKey::automatic},
                note,
                spec};
}

} // namespace

QList<SwitchTimingView::Card> SwitchTimingView::makeCards(const TimingInputs &in)
{
    const Symbols s(in);
    const QString fade = Tr::tr("Fade-Out Switching");
    const QString stop = Tr::tr("Stop to Switch");
    const QString pause = Tr::tr("Pause to Switch");
    const QString lead = Tr::tr("Switch at the End");
    const QString none = Tr::tr("Don't Switch");
    return {
        Card{QStringLiteral("fade"),
             fade,
             fade,
             Group::first,
             CardControl::fadeToggle(),
             {fadeFound(s), fadeLate(s)},
             false},
        Card{QStringLiteral("stop"),
             stop,
             stop,
             Group::fallback,
             CardControl::radio(QStringLiteral("stop")),
             {stopCase(s)},
             true},
        Card{QStringLiteral("pause"),
             pause,
             pause,
             Group::fallback,
             CardControl::radio(QStringLiteral("pause")),
             {pauseCase(s)},
             false},
        Card{QStringLiteral("lead"),
             lead,
             lead,
             Group::also,
             CardControl::radio(QStringLiteral("lead")),
             {leadCase(s)},
             false},
        Card{QStringLiteral("none"),
             none,
             none,
             Group::also,
             CardControl::radio(QStringLiteral("none")),
             {noneCase(s)},
             false},
        Card{QStringLiteral("pick"),
             Tr::tr("A picked track"),
             Tr::tr("A picked track — Next, Previous, a new play"),
             Group::always,
             CardControl::none(),
             {pickCase(s)},
             true},
    };
}
