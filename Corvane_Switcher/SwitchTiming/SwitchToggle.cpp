#include "SwitchToggle.h"

#include "Platform/SystemColors.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

SwitchToggle::SwitchToggle(QWidget *parent) : QAbstractButton(parent)
{
    setCheckable(true);
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setCursor(Qt::PointingHandCursor);
}

QSize SwitchToggle::sizeHint() const
{
    const int height = std::max(14, int(std::round(fontMetrics().height() * 1.05)));
    return QSize(int(std::round(height * 1.8)), height);
}

void SwitchToggle::paintEvent(QPaintEvent *)
{
    const SystemColors::Appearance appearance = SystemColors::appearanceOf(this);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QSize hint = sizeHint();
    QRectF track(0, (height() - hint.height()) / 2.0, hint.width(), hint.height());
    track.adjust(0.5, 0.5, -0.5, -0.5);
    const double radius = track.height() / 2;
    QColor fill = isChecked() ? SystemColors::accent(appearance)
                              : SystemColors::withOpacity(SystemColors::label(appearance), 0.18);
    if (!isEnabled())
        fill = SystemColors::withOpacity(fill, 0.45);
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawRoundedRect(track, radius, radius);
    const double knob = track.height() - 3;
    const double x = isChecked() ? track.right() - 1.5 - knob : track.left() + 1.5;
    painter.setBrush(isEnabled() ? QColor(Qt::white) : QColor(0xf4, 0xf4, 0xf4));
    painter.setPen(QPen(SystemColors::withOpacity(QColor(Qt::black), 0.15), 0.5));
    painter.drawEllipse(QRectF(x, track.top() + 1.5, knob, knob));
    if (hasFocus()) {
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(SystemColors::withOpacity(SystemColors::accent(appearance), 0.6), 2));
        painter.drawRoundedRect(track.adjusted(-1, -1, 1, 1), radius + 1, radius + 1);
    }
}
