#pragma once

// Checks of a case's rail against what the user should see, element by element. A failure
// names the card, the case and the element ("fade/found music band 1 (outgoing track): from").

#include "SwitchTiming/SwitchTimingView.h"

#include <QSet>

#include <gtest/gtest.h>

#include <ostream>

inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace railexpect {

using Card = SwitchTimingView::Card;
using Case = SwitchTimingView::Case;

constexpr double eps = 1e-9;

struct Band {
    double from;
    double to;
    RailFill fill;
    QString label;
    std::optional<double> fadeAt = std::nullopt;
};

struct Mark {
    double t;
    QString label;
    bool strong;
    std::optional<SettingKey> setting;
};

struct Span {
    double from;
    double to;
    QString label;
    RailColor color;
    std::optional<SettingKey> setting;
};

inline std::string keyText(const std::optional<SettingKey> &key)
{
    return key ? rawValue(*key).toStdString() : std::string("none");
}

inline std::string fillText(RailFill fill)
{
    return rawValue(fill).toStdString();
}

inline std::string colorText(RailColor color)
{
    switch (color) {
    case RailColor::primary:
        return "primary";
    case RailColor::secondary:
        return "secondary";
    case RailColor::relock:
        return "relock";
    }
    return "?";
}

// The card with this id; fails the test when it is missing.
inline const Card *findCard(const QList<Card> &cards, const QString &id)
{
    for (const Card &card : cards) {
        if (card.id == id)
            return &card;
    }
    ADD_FAILURE() << "no card \"" << id.toStdString() << "\"";
    return nullptr;
}

inline const Case *findCase(const QList<Card> &cards, const QString &cardId, const QString &caseId)
{
    const Card *card = findCard(cards, cardId);
    if (!card)
        return nullptr;
    for (const Case &c : card->cases) {
        if (c.id == caseId)
            return &c;
    }
    ADD_FAILURE() << "card " << cardId.toStdString() << " has no case \"" << caseId.toStdString() << "\"";
    return nullptr;
}

inline void expectLane(const std::string &where, const char *laneName, const QList<RailBand> &actual,
                       const QList<Band> &expected)
{
    EXPECT_EQ(actual.size(), expected.size()) << where << " " << laneName << " lane: number of bands";
    for (qsizetype i = 0; i < std::min(actual.size(), expected.size()); ++i) {
        const RailBand &a = actual[i];
        const Band &e = expected[i];
        const std::string what =
            where + " " + laneName + " band " + std::to_string(i + 1) + " (" + e.label.toStdString() + ")";
        EXPECT_NEAR(a.from, e.from, eps) << what << ": from";
        EXPECT_NEAR(a.to, e.to, eps) << what << ": to";
        EXPECT_EQ(fillText(a.fill), fillText(e.fill)) << what << ": fill";
        EXPECT_EQ(a.label, e.label) << what << ": label";
        EXPECT_EQ(a.fadeAt.has_value(), e.fadeAt.has_value()) << what << ": has a fade point";
        if (a.fadeAt && e.fadeAt) {
            EXPECT_NEAR(*a.fadeAt, *e.fadeAt, eps) << what << ": fade point";
        }
    }
}

inline void expectMarks(const std::string &where, const QList<RailMark> &actual, const QList<Mark> &expected)
{
    EXPECT_EQ(actual.size(), expected.size()) << where << ": number of marks";
    for (qsizetype i = 0; i < std::min(actual.size(), expected.size()); ++i) {
        const RailMark &a = actual[i];
        const Mark &e = expected[i];
        const std::string what =
            where + " mark " + std::to_string(i + 1) + " (at " + std::to_string(e.t) + ")";
        EXPECT_NEAR(a.t, e.t, eps) << what << ": time";
        EXPECT_EQ(a.label, e.label) << what << ": text";
        EXPECT_EQ(a.strong, e.strong) << what << ": strong";
        EXPECT_EQ(keyText(a.setting), keyText(e.setting)) << what << ": setting";
        EXPECT_FALSE(a.color.has_value()) << what << ": colour is left to the rail";
    }
}

inline void expectSpans(const std::string &where, const QList<RailSpan> &actual, const QList<Span> &expected)
{
    EXPECT_EQ(actual.size(), expected.size()) << where << ": number of spans";
    for (qsizetype i = 0; i < std::min(actual.size(), expected.size()); ++i) {
        const RailSpan &a = actual[i];
        const Span &e = expected[i];
        const std::string what =
            where + " span " + std::to_string(i + 1) + " (" + e.label.toStdString() + ")";
        EXPECT_NEAR(a.from, e.from, eps) << what << ": from";
        EXPECT_NEAR(a.to, e.to, eps) << what << ": to";
        EXPECT_EQ(a.label, e.label) << what << ": label";
        EXPECT_EQ(colorText(a.color), colorText(e.color)) << what << ": colour";
        EXPECT_EQ(keyText(a.setting), keyText(e.setting)) << what << ": setting";
    }
}

// The numbered steps follow time, except where two marks share a time.
inline void expectMarksInTimeOrder(const std::string &where, const QList<RailMark> &marks)
{
    for (qsizetype i = 1; i < marks.size(); ++i) {
        EXPECT_LE(marks[i - 1].t, marks[i].t + eps) << where << ": mark " << i << " at " << marks[i - 1].t
                                                    << " comes before mark " << i + 1 << " at " << marks[i].t;
    }
}

// Every band, mark and span of the table has an id of its own.
inline void expectFreshIds(const QList<Card> &cards, QSet<QUuid> &seen)
{
    auto take = [&](const QUuid &id, const std::string &what) {
        EXPECT_FALSE(id.isNull()) << what << ": null id";
        EXPECT_FALSE(seen.contains(id)) << what << ": id used twice";
        seen.insert(id);
    };
    for (const Card &card : cards) {
        for (const Case &c : card.cases) {
            const std::string where = card.id.toStdString() + "/" + c.id.toStdString();
            for (const RailBand &b : c.spec.music)
                take(b.id, where + " music band " + b.label.toStdString());
            for (const RailBand &b : c.spec.output)
                take(b.id, where + " output band " + b.label.toStdString());
            for (const RailMark &m : c.spec.marks)
                take(m.id, where + " mark " + m.label.toStdString());
            for (const RailSpan &s : c.spec.spans)
                take(s.id, where + " span " + s.label.toStdString());
        }
    }
}

} // namespace railexpect
