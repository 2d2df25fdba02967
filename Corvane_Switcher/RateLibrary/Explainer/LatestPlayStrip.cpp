#include "LatestPlayStrip.h"

#include "Common/ShownText.h"
#include "ExplainerStyle.h"
#include "Platform/FontStyles.h"
#include "Platform/Symbols.h"
#include "Platform/SystemColors.h"
#include "RateLibrary/RateLibraryCard.h"
#include "TextSymbolButton.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QStyle>

using namespace RateLibrary;

// The summary on one line, cut with "…" at the tail. A new text only repaints the line: unlike a
// label, it never asks the explainer to lay itself out again.
class LatestPlaySummaryLine final : public QWidget {
public:
    explicit LatestPlaySummaryLine(QWidget *parent) : QWidget(parent)
    {
        setFont(FontStyles::caption());
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }
    void setText(const QString &text)
    {
        if (text == m_text)
            return;
        m_text = text;
        setAccessibleName(ShownText::bounded(text));
        update();
    }
    const QString &text() const { return m_text; }
    QSize sizeHint() const override { return {200, fontMetrics().height()}; }
    QSize minimumSizeHint() const override { return {0, fontMetrics().height()}; }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setPen(SystemColors::secondaryLabel(SystemColors::appearanceOf(this)));
        painter.drawText(rect(), ShownText::elided(fontMetrics(), m_text, width()),
                         ExplainerStyle::textOption(
                             QStyle::visualAlignment(layoutDirection(), Qt::AlignLeft) | Qt::AlignVCenter));
    }

private:
    QString m_text;
};

LatestPlayStrip::LatestPlayStrip(QWidget *parent) : QWidget(parent)
{
    setFixedHeight(stripHeight);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(10, 0, 10, 0);
    row->setSpacing(8);
    auto *play = new QLabel(this);
    play->setPixmap(Symbols::pixmap(QStringLiteral("play.fill"), SystemColors::accent(), 9));
    row->addWidget(play, 0, Qt::AlignVCenter);
    m_summary = new LatestPlaySummaryLine(this);
    row->addWidget(m_summary, 1, Qt::AlignVCenter);
    m_toggle = new TextSymbolButton(
        {FontStyles::caption(), TextSymbolButton::Tone::secondary, 9, TextSymbolButton::Tone::secondary},
        this);
    m_toggle->setToolTip(historyToggleHelp());
    connect(m_toggle, &QAbstractButton::clicked, this, &LatestPlayStrip::historyToggled);
    row->addWidget(m_toggle, 0, Qt::AlignVCenter);
    showExpanded(false);
}

void LatestPlayStrip::showSummary(const QString &summary)
{
    m_summary->setText(summary);
}

QString LatestPlayStrip::summary() const
{
    return m_summary->text();
}

void LatestPlayStrip::showExpanded(bool expanded)
{
    m_toggle->setLabel(historyToggleTitle(),
                       expanded ? QStringLiteral("chevron.up") : QStringLiteral("chevron.down"));
    const StripCorners corners = latestStripCorners(expanded);
    if (corners != m_corners) {
        m_corners = corners;
        update();
    }
}

void LatestPlayStrip::enterEvent(QEnterEvent *event)
{
    QWidget::enterEvent(event);
    emit entered();
}

void LatestPlayStrip::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    m_background.paint(painter, *this, {m_corners.upper, m_corners.lower, 0.4});
}
