#include "Stepper.h"

#include "Platform/Symbols.h"
#include "Platform/SystemColors.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {
constexpr int repeatDelayMs = 400;
constexpr int repeatIntervalMs = 90;
} // namespace

Stepper::Stepper(QWidget *parent) : QWidget(parent)
{
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    m_repeat.setSingleShot(false);
    connect(&m_repeat, &QTimer::timeout, this, [this] {
        m_repeat.setInterval(repeatIntervalMs);
        stepBy(m_held);
    });
}

void Stepper::setRange(double minimum, double maximum, double step)
{
    if (minimum == m_minimum && std::max(minimum, maximum) == m_maximum && step == m_step)
        return;
    m_minimum = minimum;
    m_maximum = std::max(minimum, maximum);
    m_step = step;
    update();
}

void Stepper::setValue(double value)
{
    if (value == m_value)
        return;
    m_value = value;
    update();
}

void Stepper::stepBy(int steps)
{
    if (steps == 0)
        return;
    const double next = std::clamp(m_value + steps * m_step, m_minimum, m_maximum);
    if (next == m_value)
        return;
    m_value = next;
    update();
    if (onStep)
        onStep(next);
}

QSize Stepper::sizeHint() const
{
    const int height = std::max(20, int(std::ceil(fontMetrics().height() * 1.45)));
    return QSize(int(std::ceil(height * 0.62)), height);
}

QRect Stepper::upArrowRect() const
{
    return QRect(0, 0, width(), height() / 2);
}

QRect Stepper::downArrowRect() const
{
    return QRect(0, height() / 2, width(), height() - height() / 2);
}

void Stepper::paintEvent(QPaintEvent *)
{
    const SystemColors::Appearance appearance = SystemColors::appearanceOf(this);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath shape;
    shape.addRoundedRect(frame, 5, 5);
    painter.fillPath(shape, SystemColors::controlBackground(appearance));
    painter.setPen(QPen(SystemColors::withOpacity(SystemColors::label(appearance), 0.2), 1));
    painter.drawPath(shape);
    painter.drawLine(QPointF(frame.left() + 3, height() / 2.0), QPointF(frame.right() - 3, height() / 2.0));
    if (m_held != 0) {
        painter.fillRect(m_held > 0 ? upArrowRect() : downArrowRect(),
                         SystemColors::withOpacity(SystemColors::label(appearance), 0.1));
    }
    const auto arrow = [&](const QRect &area, const QString &symbol, bool possible) {
        const QColor color = isEnabled() && possible ? SystemColors::label(appearance)
                                                     : SystemColors::tertiaryLabel(appearance);
        const double side = std::min(area.width(), area.height()) * 0.72;
        Symbols::paint(
            painter,
            QRectF(QPointF(area.center()) - QPointF(side / 2 - 0.5, side / 2 - 0.5), QSizeF(side, side)),
            symbol, color);
    };
    arrow(upArrowRect(), QStringLiteral("chevron.up"), m_value < m_maximum);
    arrow(downArrowRect(), QStringLiteral("chevron.down"), m_value > m_minimum);
    if (hasFocus()) {
        painter.setPen(QPen(SystemColors::withOpacity(SystemColors::accent(appearance), 0.7), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(frame.adjusted(1, 1, -1, -1), 4, 4);
    }
}

void Stepper::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_held = upArrowRect().contains(event->position().toPoint()) ? 1 : -1;
    stepBy(m_held);
    m_repeat.start(repeatDelayMs);
    update();
}

void Stepper::mouseReleaseEvent(QMouseEvent *event)
{
    m_repeat.stop();
    m_held = 0;
    update();
    QWidget::mouseReleaseEvent(event);
}

void Stepper::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Up:
        stepBy(1);
        break;
    case Qt::Key_Down:
        stepBy(-1);
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

void Stepper::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange && !isEnabled()) {
        m_repeat.stop();
        m_held = 0;
    }
    if (event->type() == QEvent::FontChange)
        updateGeometry();
    QWidget::changeEvent(event);
}
