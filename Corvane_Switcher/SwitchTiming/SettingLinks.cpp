#include "SettingLinks.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

SettingLinksWidget::SettingLinksWidget(QWidget *parent) : QWidget(parent)
{
    setMouseTracking(true);
}

std::optional<SettingLinksWidget::Link> SettingLinksWidget::hoveredLink() const
{
    if (!m_hovered)
        return std::nullopt;
    const QList<Link> all = links();
    return *m_hovered < all.size() ? std::optional(all[*m_hovered]) : std::nullopt;
}

std::optional<SettingLinksWidget::Link> SettingLinksWidget::linkAt(const QPointF &point) const
{
    for (const Link &link : links()) {
        if (link.area.contains(point))
            return link;
    }
    return std::nullopt;
}

void SettingLinksWidget::linksChanged()
{
    m_hovered.reset();
    unsetCursor();
    setFocusPolicy(links().isEmpty() ? Qt::NoFocus : Qt::TabFocus);
}

void SettingLinksWidget::setHovered(std::optional<int> index)
{
    if (index == m_hovered)
        return;
    m_hovered = index;
    if (index)
        setCursor(Qt::PointingHandCursor);
    else
        unsetCursor();
    update();
}

void SettingLinksWidget::paintFocus(QPainter &painter) const
{
    const QList<Link> all = links();
    if (!hasFocus() || all.isEmpty())
        return;
    const QRectF area = all[std::clamp(m_focus, 0, int(all.size()) - 1)].area;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(
        QPen(SystemColors::withOpacity(SystemColors::accent(SystemColors::appearanceOf(this)), 0.8), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(area.adjusted(-2, -2, 2, 2), 4, 4);
    painter.restore();
}

void SettingLinksWidget::mouseMoveEvent(QMouseEvent *event)
{
    const QList<Link> all = links();
    std::optional<int> index;
    for (qsizetype i = 0; i < all.size() && !index; ++i) {
        if (all[i].area.contains(event->position()))
            index = int(i);
    }
    setHovered(index);
    QWidget::mouseMoveEvent(event);
}

void SettingLinksWidget::mousePressEvent(QMouseEvent *event)
{
    const std::optional<Link> link =
        event->button() == Qt::LeftButton ? linkAt(event->position()) : std::nullopt;
    m_pressed = link ? std::optional(link->setting) : std::nullopt;
    if (m_pressed)
        event->accept();
    else
        QWidget::mousePressEvent(event);
}

void SettingLinksWidget::mouseReleaseEvent(QMouseEvent *event)
{
    const std::optional<SettingKey> pressed = std::exchange(m_pressed, std::nullopt);
    const std::optional<Link> link = linkAt(event->position());
    // A click is a press and a release on the same link.
    if (pressed && event->button() == Qt::LeftButton && link && link->setting == *pressed) {
        event->accept();
        if (onSetting)
            onSetting(*pressed);
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

void SettingLinksWidget::leaveEvent(QEvent *event)
{
    setHovered(std::nullopt);
    QWidget::leaveEvent(event);
}

void SettingLinksWidget::keyPressEvent(QKeyEvent *event)
{
    const QList<Link> all = links();
    if (all.isEmpty()) {
        QWidget::keyPressEvent(event);
        return;
    }
    const int last = int(all.size()) - 1;
    const int forward = layoutDirection() == Qt::RightToLeft ? -1 : 1;
    switch (event->key()) {
    case Qt::Key_Right:
        m_focus = std::clamp(m_focus + forward, 0, last);
        break;
    case Qt::Key_Left:
        m_focus = std::clamp(m_focus - forward, 0, last);
        break;
    case Qt::Key_Down:
        m_focus = std::clamp(m_focus + 1, 0, last);
        break;
    case Qt::Key_Up:
        m_focus = std::clamp(m_focus - 1, 0, last);
        break;
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (onSetting)
            onSetting(all[std::clamp(m_focus, 0, last)].setting);
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    update();
}
