#pragma once

// What a user reads where Qt shows a text: labels, tooltips and message boxes take a text that
// looks like markup as rich text, menu items and buttons take "&" as marking a shortcut letter.

#include <QApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QTextDocument>
#include <QWidget>

namespace ReadTexts {

// The characters a label in `format` shows for `text`.
inline QString inLabel(const QString &text, Qt::TextFormat format = Qt::AutoText)
{
    const bool rich = format == Qt::RichText || (format == Qt::AutoText && Qt::mightBeRichText(text));
    if (!rich)
        return text;
    QTextDocument document;
    document.setHtml(text);
    return document.toPlainText();
}

inline QString inLabel(const QLabel &label)
{
    return inLabel(label.text(), label.textFormat());
}

// The characters a menu item or a button shows for `text`: "&&" shows "&", and a lone "&" only
// underlines the letter after it.
inline QString inAction(const QString &text)
{
    QString shown;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) != u'&')
            shown.append(text.at(i));
        else if (++i < text.size())
            shown.append(text.at(i));
    }
    return shown;
}

// Qt's tooltip while it shows.
inline QLabel *toolTipLabel()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        auto *label = qobject_cast<QLabel *>(widget);
        if (label && widget->objectName() == u"qtooltip_label" && widget->isVisible())
            return label;
    }
    return nullptr;
}

// What shows when the pointer rests at `at` on `widget`: its tooltip, as the user reads it;
// empty when none shows.
inline QString toolTipAt(QWidget *widget, const QPoint &at)
{
    // Hidden at once: QToolTip::hideText() lets the old text linger a moment.
    if (QLabel *old = toolTipLabel())
        old->hide();
    QHelpEvent help(QEvent::ToolTip, at, widget->mapToGlobal(at));
    QApplication::sendEvent(widget, &help);
    QLabel *shown = toolTipLabel();
    const QString text = shown ? inLabel(*shown) : QString();
    if (shown)
        shown->hide();
    return text;
}

} // namespace ReadTexts
