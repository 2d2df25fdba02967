#pragma once

#include "ShownText.h"

#include <QEvent>
#include <QLabel>

// One line of text that shortens itself with "…" instead of widening the window. It asks for
// the width of its whole text and takes what it is given. Its text is plain: it may come from
// outside, and a line cut short is no markup anyway.
class ElidingLabel final : public QLabel {
public:
    explicit ElidingLabel(QWidget *parent = nullptr) : QLabel(parent) { setTextFormat(Qt::PlainText); }
    void setFullText(const QString &text)
    {
        if (text == m_full)
            return;
        m_full = text;
        setToolTip({});
        m_fullWidth = -1;
        updateText();
        updateGeometry();
    }
    const QString &fullText() const { return m_full; }
    QSize sizeHint() const override
    {
        if (m_fullWidth < 0)
            m_fullWidth = ShownText::advance(fontMetrics(), m_full);
        QSize hint = QLabel::sizeHint();
        hint.setWidth(hint.width() - fontMetrics().horizontalAdvance(text()) + m_fullWidth);
        return hint;
    }
    QSize minimumSizeHint() const override { return {0, QLabel::minimumSizeHint().height()}; }

protected:
    void resizeEvent(QResizeEvent *event) override
    {
        QLabel::resizeEvent(event);
        updateText();
    }
    void changeEvent(QEvent *event) override
    {
        QLabel::changeEvent(event);
        if (event->type() == QEvent::FontChange) {
            m_fullWidth = -1;
            updateText();
        }
    }

private:
    void updateText() { setText(ShownText::elided(fontMetrics(), m_full, width())); }
    QString m_full;
    mutable int m_fullWidth = -1;
};
