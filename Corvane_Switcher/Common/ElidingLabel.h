#pragma once

#include <QLabel>

// One line of text that shortens itself with "…" instead of widening the window.
class ElidingLabel final : public QLabel {
public:
    using QLabel::QLabel;
    void setFullText(const QString &text)
    {
        if (text == m_full)
            return;
        m_full = text;
        setToolTip({});
        updateText();
    }
    const QString &fullText() const { return m_full; }
    QSize minimumSizeHint() const override { return {0, QLabel::minimumSizeHint().height()}; }

protected:
    void resizeEvent(QResizeEvent *event) override
    {
        QLabel::resizeEvent(event);
        updateText();
    }

private:
    void updateText() { setText(fontMetrics().elidedText(m_full, Qt::ElideRight, width())); }
    QString m_full;
};
