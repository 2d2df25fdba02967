#include "RateLibraryCard.h"

#include "Platform/FontStyles.h"

#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QVBoxLayout>

#include <algorithm>

namespace RateLibrary {

QPainterPath unevenRoundedRect(const QRectF &rect, qreal upperRadius, qreal lowerRadius)
{
    const qreal limit = std::min(rect.width(), rect.height()) / 2;
    const qreal upper = std::clamp(upperRadius, 0.0, limit);
    const qreal lower = std::clamp(lowerRadius, 0.0, limit);
    QPainterPath path;
    path.moveTo(rect.left() + upper, rect.top());
    path.lineTo(rect.right() - upper, rect.top());
    path.arcTo(QRectF(rect.right() - 2 * upper, rect.top(), 2 * upper, 2 * upper), 90, -90);
    path.lineTo(rect.right(), rect.bottom() - lower);
    path.arcTo(QRectF(rect.right() - 2 * lower, rect.bottom() - 2 * lower, 2 * lower, 2 * lower), 0, -90);
    path.lineTo(rect.left() + lower, rect.bottom());
    path.arcTo(QRectF(rect.left(), rect.bottom() - 2 * lower, 2 * lower, 2 * lower), 270, -90);
    path.lineTo(rect.left(), rect.top() + upper);
    path.arcTo(QRectF(rect.left(), rect.top(), 2 * upper, 2 * upper), 180, -90);
    path.closeSubpath();
    return path;
}

void CardBackground::paint(QPainter &painter, const QWidget &widget, const CardShape &shape)
{
    const SystemColors::Appearance look = SystemColors::appearanceOf(&widget);
    const qreal ratio = widget.devicePixelRatioF();
    const QSize pixels = widget.size() * ratio;
    if (m_picture.size() != pixels || m_picture.devicePixelRatio() != ratio || !(m_shape == shape) ||
        m_look != look) {
        m_picture = QPixmap(pixels);
        m_picture.setDevicePixelRatio(ratio);
        m_picture.fill(Qt::transparent);
        m_shape = shape;
        m_look = look;
        QPainter picture(&m_picture);
        picture.setRenderHint(QPainter::Antialiasing);
        // Inset by half the pen so the 1-point outline lands on whole pixels.
        const QPainterPath path = unevenRoundedRect(QRectF(widget.rect()).adjusted(0.5, 0.5, -0.5, -0.5),
                                                    shape.upperRadius, shape.lowerRadius);
        picture.fillPath(path,
                         SystemColors::withOpacity(SystemColors::controlBackground(look), shape.fillOpacity));
        picture.setPen(QPen(SystemColors::separator(look), 1));
        picture.drawPath(path);
    }
    painter.drawPixmap(0, 0, m_picture);
}

CardFrame::CardFrame(QWidget *parent) : QFrame(parent) {}

void CardFrame::setShape(const CardShape &shape)
{
    if (shape == m_shape)
        return;
    m_shape = shape;
    update();
}

void CardFrame::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    m_background.paint(painter, *this, m_shape);
}

QFrame *card(QWidget *content, QWidget *parent)
{
    auto *frame = new CardFrame(parent);
    frame->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    auto *layout = new QVBoxLayout(frame);
    layout->setContentsMargins(12, 10, 12, 10);
    layout->addWidget(content);
    return frame;
}

QLabel *sectionLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(QLocale().toUpper(text), parent);
    QFont font = FontStyles::systemFont(10, QFont::Medium);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 0.4);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, SystemColors::secondaryLabel());
    label->setPalette(palette);
    return label;
}

} // namespace RateLibrary
