#pragma once

// A rail written as lines a person can read and compare, one per element, and checked line by
// line so that a failure names the card, the case and the element ("fade/found music band 1").
//   band: "-5.6..0 oldFading outgoing track ~-2"  (~ the fade point)
//   mark: "-1.6* minimumQuiet: It has stayed…"    (* strong; the setting, or nothing)
//   span: "-4.5..0 primary listeningWindow: Listening Window 4500 ms"
// Times are written in whole milliseconds, so float noise never shows.

#include "SwitchTiming/SwitchTimingView.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>

inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace railexpect {

using Card = SwitchTimingView::Card;
using Case = SwitchTimingView::Case;

// The cases are written against a new user's settings, TimingInputs{}: Relock Time 1200 ms,
// Listening Window 4.5 s, -55 dBFS, Minimum Quiet 0.4 s, Pause Point 0.4 s, the brief pause on,
// mode "stop", no Delay Added and nothing measured.

constexpr double eps = 1e-9;

inline QString num(double t)
{
    return QString::number(std::round(t * 1000.0) / 1000.0 + 0.0, 'g', 12);
}

inline QString setting(const std::optional<SettingKey> &key)
{
    return key ? u' ' + rawValue(*key) : QString();
}

inline QString line(const RailBand &b)
{
    return num(b.from) + ".." + num(b.to) + u' ' + rawValue(b.fill) + u' ' + b.label +
           (b.fadeAt ? " ~" + num(*b.fadeAt) : QString());
}

inline QString line(const RailMark &m)
{
    return num(m.t) + (m.strong ? "*" : "") + setting(m.setting) + ": " + m.label +
           (m.color ? " (coloured)" : "");
}

inline QString line(const RailSpan &s)
{
    static const char *colors[] = {"primary", "secondary", "relock"};
    return num(s.from) + ".." + num(s.to) + u' ' + colors[int(s.color)] + setting(s.setting) + ": " + s.label;
}

template <typename T> QStringList lines(const QList<T> &elements)
{
    QStringList out;
    for (const T &e : elements)
        out << line(e);
    return out;
}

inline void expectLines(const std::string &where, const QStringList &actual, const QStringList &expected)
{
    EXPECT_EQ(actual.size(), expected.size()) << where << ": count\n" << actual.join('\n').toStdString();
    for (qsizetype i = 0; i < std::min(actual.size(), expected.size()); ++i)
        EXPECT_EQ(actual[i], expected[i]) << where << ' ' << i + 1;
}

// What one case shows. A note ending in "…" is checked as a beginning, an empty one not at all;
// the zero line reads "line: <caption>" or "no line: <caption>".
struct Rail {
    QString note, zero;
    QStringList music, output, marks, spans;
};

const QString atTheEnd = "line: the end of the outgoing track";

inline void expectCase(const std::string &where, const Case &c, const Rail &e)
{
    if (e.note.endsWith(u'…')) {
        EXPECT_TRUE(c.note.startsWith(e.note.chopped(1))) << where << " note: " << c.note.toStdString();
    } else if (!e.note.isEmpty()) {
        EXPECT_EQ(c.note, e.note) << where << " note";
    }
    EXPECT_EQ((c.spec.zeroLine ? "line: " : "no line: ") + c.spec.zeroLabel.value_or("none"), e.zero)
        << where;
    expectLines(where + " music band", lines(c.spec.music), e.music);
    expectLines(where + " output band", lines(c.spec.output), e.output);
    expectLines(where + " mark", lines(c.spec.marks), e.marks);
    expectLines(where + " span", lines(c.spec.spans), e.spans);
}

// The case of a table (the one named after the card when not given); fails the test when missing.
inline Case caseOf(const QList<Card> &cards, const QString &cardId, QString caseId = {})
{
    if (caseId.isEmpty())
        caseId = cardId;
    for (const Card &card : cards) {
        for (const Case &c : card.cases) {
            if (card.id == cardId && c.id == caseId)
                return c;
        }
    }
    ADD_FAILURE() << "no case " << cardId.toStdString() << '/' << caseId.toStdString();
    return {};
}

inline Case caseOf(const TimingInputs &in, const QString &cardId, const QString &caseId = {})
{
    return caseOf(SwitchTimingView::makeCards(in), cardId, caseId);
}

} // namespace railexpect
