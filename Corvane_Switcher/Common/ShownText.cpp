#include "ShownText.h"

#include <QTextBoundaryFinder>
#include <QTextDocument>

#include <algorithm>

namespace ShownText {

namespace {

const QChar ellipsis(0x2026);

// A line of up to this many characters shows whole, as a plain tooltip shows it.
constexpr qsizetype wholeLineLength = 80;

// How far around a cut the grapheme rules are asked: a cluster longer than this is cut between
// code points instead.
constexpr qsizetype lookAround = 64;

// `at` moved off the middle of a surrogate pair, towards the start.
qsizetype codePointStart(const QString &text, qsizetype at)
{
    if (at > 0 && at < text.size() && text.at(at).isLowSurrogate() && text.at(at - 1).isHighSurrogate())
        return at - 1;
    return at;
}

// The last grapheme boundary before `at` (the first after it when `forward`), or `at` itself when
// it is one, judged on the characters around it; a cluster longer than that look is cut between
// code points instead.
qsizetype graphemeBoundary(const QString &text, qsizetype at, bool forward)
{
    const qsizetype from = std::max<qsizetype>(0, at - lookAround);
    const qsizetype to = std::min(text.size(), at + lookAround);
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text.constData() + from, to - from);
    finder.setPosition(at - from);
    if (finder.isAtBoundary())
        return at;
    const qsizetype found = forward ? finder.toNextBoundary() : finder.toPreviousBoundary();
    // The window's own ends say nothing about the text around them.
    const bool inside = forward ? found > 0 && (from + found < to || to == text.size()) : found > 0;
    return inside ? from + found : codePointStart(text, at);
}

} // namespace

QString bounded(const QString &text, qsizetype length, Qt::TextElideMode mode)
{
    if (text.size() <= length)
        return text;
    // The start up to `head`, "…", and the end from `tail`.
    const auto joined = [&](qsizetype head, qsizetype tail) {
        QString shown;
        shown.reserve(head + 1 + text.size() - tail);
        shown.append(QStringView(text).left(head)).append(ellipsis).append(QStringView(text).mid(tail));
        return shown;
    };
    switch (mode) {
    case Qt::ElideLeft:
        return joined(0, graphemeBoundary(text, text.size() - length, true));
    case Qt::ElideMiddle:
        return joined(graphemeBoundary(text, length / 2, false),
                      graphemeBoundary(text, text.size() - length / 2, true));
    case Qt::ElideRight:
    case Qt::ElideNone:
        break;
    }
    return joined(graphemeBoundary(text, length, false), text.size());
}

QString elided(const QFontMetrics &metrics, const QString &text, int width, Qt::TextElideMode mode)
{
    return metrics.elidedText(bounded(text, lineLength, mode), mode, width);
}

QString elided(const QFontMetricsF &metrics, const QString &text, qreal width, Qt::TextElideMode mode)
{
    return metrics.elidedText(bounded(text, lineLength, mode), mode, width);
}

int advance(const QFontMetrics &metrics, const QString &text)
{
    return metrics.horizontalAdvance(bounded(text));
}

qreal advance(const QFontMetricsF &metrics, const QString &text)
{
    return metrics.horizontalAdvance(bounded(text));
}

QString literal(const QString &text)
{
    if (!Qt::mightBeRichText(text))
        return text;
    // Qt wraps rich text to a box of about 5:3, which breaks a short line that plain text would
    // show whole: lines of up to a plain tooltip's width are kept whole, longer ones wrap.
    qsizetype longest = 0;
    for (qsizetype start = 0; start <= text.size();) {
        qsizetype end = text.indexOf(QLatin1Char('\n'), start);
        if (end < 0)
            end = text.size();
        longest = std::max(longest, end - start);
        start = end + 1;
    }
    const QString style = longest <= wholeLineLength ? QStringLiteral("pre") : QStringLiteral("pre-wrap");
    // Line breaks as breaks: the markup would drop one at either end.
    return QStringLiteral("<p style=\"white-space:%1\">").arg(style) +
           text.toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>")) + QStringLiteral("</p>");
}

QString toolTip(const QString &text)
{
    return literal(bounded(text));
}

QString actionText(const QString &text)
{
    QString escaped = text;
    return escaped.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

QString windowTitle(const QString &text)
{
    QString escaped = text;
    return escaped.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
}

} // namespace ShownText
