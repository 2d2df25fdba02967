#include "LatestPlayStrip.h"

#include "Common/ElidingLabel.h"
#include "ExplainerStyle.h"
#include "Platform/FontStyles.h"
#include "Platform/Symbols.h"
#include "Platform/SystemColors.h"
#include "RateLibrary/RateLibraryCard.h"
#include "TextSymbolButton.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>

using namespace RateLibrary;

LatestPlayStrip::LatestPlayStrip(QWidget *parent) : QWidget(parent)
{
    setFixedHeight(stripHeight);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(10, 0, 10, 0);
    row->setSpacing(8);
    auto *play = new QLabel(this);
    play->setPixmap(Symbols::pixmap(QStringLiteral("play.fill"), SystemColors::accent(), 9));
    row->addWidget(play, 0, Qt::AlignVCenter);
    m_summary = new ElidingLabel(this);
    m_summary->setFont(FontStyles::caption());
    m_summary->setTextFormat(Qt::PlainText);
    ExplainerStyle::setSecondary(m_summary);
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
    m_summary->setFullText(summary);
}

QString LatestPlayStrip::summary() const
{
    return m_summary->fullText();
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
    painter.setRenderHint(QPainter::Antialiasing);
    const SystemColors::Appearance look = SystemColors::appearanceOf(this);
    const QPainterPath shape =
        unevenRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), m_corners.upper, m_corners.lower);
    painter.fillPath(shape, SystemColors::withOpacity(SystemColors::controlBackground(look), 0.4));
    painter.setPen(QPen(SystemColors::separator(look), 1));
    painter.drawPath(shape);
}
