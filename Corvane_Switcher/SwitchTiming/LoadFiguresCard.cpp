#include "LoadFiguresCard.h"

#include "Platform/FontStyles.h"
#include "Platform/SystemColors.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {
constexpr double horizontalPadding = 10;
constexpr double verticalPadding = 6;
constexpr double radius = 7;
constexpr int textFlags = Qt::AlignCenter | Qt::TextWordWrap;
} // namespace

LoadFiguresCard::LoadFiguresCard(QWidget *parent) : QWidget(parent)
{
    QSizePolicy policy(QSizePolicy::Maximum, QSizePolicy::Fixed);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    m_font = FontStyles::systemFont(10.5);
}

void LoadFiguresCard::setText(const QString &text, double textScale)
{
    QFont font = FontStyles::systemFont(10.5 * textScale);
    if (text == m_text && font == m_font)
        return;
    m_text = text;
    m_font = font;
    setAccessibleName(text);
    updateGeometry();
    update();
}

int LoadFiguresCard::heightForWidth(int width) const
{
    const QFontMetricsF fm(m_font);
    const QRectF text =
        fm.boundingRect(QRectF(0, 0, std::max(1.0, width - 2 * horizontalPadding), 1e6), textFlags, m_text);
    return int(std::ceil(std::max(text.height(), fm.height()) + 2 * verticalPadding));
}

QSize LoadFiguresCard::sizeHint() const
{
    const QFontMetricsF fm(m_font);
    return QSize(int(std::ceil(fm.horizontalAdvance(m_text) + 2 * horizontalPadding)),
                 int(std::ceil(fm.height() + 2 * verticalPadding)));
}

QSize LoadFiguresCard::minimumSizeHint() const
{
    // Two lines at the most: half the text's width.
    const int width = sizeHint().width() / 2 + int(horizontalPadding);
    return QSize(width, heightForWidth(width));
}

void LoadFiguresCard::paintEvent(QPaintEvent *)
{
    const SystemColors::Appearance appearance = SystemColors::appearanceOf(this);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    painter.fillPath(shape, SystemColors::withOpacity(SystemColors::controlBackground(appearance), 0.7));
    painter.setPen(QPen(SystemColors::separator(appearance), 1));
    painter.drawPath(shape);
    painter.setFont(m_font);
    painter.setPen(SystemColors::secondaryLabel(appearance));
    painter.drawText(
        QRectF(rect()).adjusted(horizontalPadding, verticalPadding, -horizontalPadding, -verticalPadding),
        textFlags, m_text);
}
