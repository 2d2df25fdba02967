#pragma once

// Texts from outside (a companion's titles, notices and warnings, a history file's plays, a
// device's name) may run to millions of characters, and laying a text out costs its whole length
// on every paint. No line or paragraph shows more than a few thousand characters, so whatever
// elides, measures or wraps such a text for display takes it through here first: cut to a
// bounded prefix, and only then laid out. Search and sort keep the whole text.

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QString>

namespace ShownText {

// More than any line shows, however wide the screen.
inline constexpr qsizetype lineLength = 4000;
// A paragraph that wraps in a fixed-width sheet: about fifteen lines of it.
inline constexpr qsizetype paragraphLength = 1000;

// `text` itself when it holds at most `length` UTF-16 units; otherwise the part that `mode`
// keeps (the start, the end, or both ends) cut on grapheme boundaries, with "…" where the rest
// was. A surrogate pair is never split.
QString bounded(const QString &text, qsizetype length = lineLength, Qt::TextElideMode mode = Qt::ElideRight);

// As QFontMetrics::elidedText of the whole text, at a cost bounded by `lineLength`.
QString elided(const QFontMetrics &metrics, const QString &text, int width,
               Qt::TextElideMode mode = Qt::ElideRight);
QString elided(const QFontMetricsF &metrics, const QString &text, qreal width,
               Qt::TextElideMode mode = Qt::ElideRight);

// The width of `bounded(text)`: what a text needs to show whole, as far as any line shows it.
int advance(const QFontMetrics &metrics, const QString &text);
qreal advance(const QFontMetricsF &metrics, const QString &text);

// `text` as a label, tooltip or message box in Qt's automatic text format shows it, character
// for character. Qt takes a text that looks like markup (Qt::mightBeRichText: "<b>x</b>", a
// "&lt;", an "<img src=…>") as rich text; such a text comes back escaped, as rich text that keeps
// its spaces and line breaks. Any other text comes back as it is.
QString literal(const QString &text);

// A tooltip showing a text from outside: a line of it, shown literally.
QString toolTip(const QString &text);

// A text from outside as the text of a menu item or a button, where Qt takes "&" as marking the
// shortcut letter: each "&" doubled, so that it shows as itself and makes no shortcut.
QString actionText(const QString &text);

// A text from outside in a window's title, where Qt takes "[*]" as the place of the modified
// mark and drops it: each "[*]" doubled, so that it shows as itself.
QString windowTitle(const QString &text);

} // namespace ShownText
