#include "SystemColors.h"

#include <QGuiApplication>
#include <QWidget>

#include <algorithm>

namespace SystemColors {
namespace {

QColor rgba(int r, int g, int b, qreal alpha)
{
    QColor color(r, g, b);
    color.setAlphaF(float(alpha));
    return color;
}

} // namespace

Appearance appearance(const QPalette &palette)
{
    return palette.color(QPalette::Window).lightnessF() < 0.5 ? Appearance::dark : Appearance::light;
}

Appearance currentAppearance()
{
    return appearance(QGuiApplication::palette());
}

Appearance appearanceOf(const QWidget *widget)
{
    return widget ? appearance(widget->palette()) : currentAppearance();
}

QColor accent(Appearance a)
{
    return blue(a);
}
QColor label(Appearance a)
{
    return forAppearance(a, rgba(0, 0, 0, 0.85), rgba(255, 255, 255, 0.85));
}
QColor secondaryLabel(Appearance a)
{
    return forAppearance(a, rgba(0, 0, 0, 0.50), rgba(255, 255, 255, 0.55));
}
QColor tertiaryLabel(Appearance a)
{
    return forAppearance(a, rgba(0, 0, 0, 0.26), rgba(255, 255, 255, 0.25));
}
QColor separator(Appearance a)
{
    return forAppearance(a, rgba(0, 0, 0, 0.10), rgba(255, 255, 255, 0.10));
}
QColor controlBackground(Appearance a)
{
    return forAppearance(a, QColor(0xff, 0xff, 0xff), QColor(0x1e, 0x1e, 0x1e));
}
QColor windowBackground(Appearance a)
{
    return forAppearance(a, QColor(0xec, 0xec, 0xec), QColor(0x32, 0x32, 0x32));
}
QColor selectedContentBackground(Appearance a)
{
    return forAppearance(a, QColor(0x00, 0x64, 0xe1), QColor(0x00, 0x58, 0xd0));
}
QColor blue(Appearance a)
{
    return forAppearance(a, QColor(0x00, 0x7a, 0xff), QColor(0x0a, 0x84, 0xff));
}
QColor red(Appearance a)
{
    return forAppearance(a, QColor(0xff, 0x3b, 0x30), QColor(0xff, 0x45, 0x3a));
}
QColor green(Appearance a)
{
    return forAppearance(a, QColor(0x28, 0xcd, 0x41), QColor(0x32, 0xd7, 0x4b));
}
QColor orange(Appearance a)
{
    return forAppearance(a, QColor(0xff, 0x95, 0x00), QColor(0xff, 0x9f, 0x0a));
}

QColor forAppearance(Appearance appearance, const QColor &light, const QColor &dark)
{
    return appearance == Appearance::dark ? dark : light;
}

QColor withOpacity(QColor color, qreal opacity)
{
    color.setAlphaF(float(color.alphaF() * std::clamp(opacity, 0.0, 1.0)));
    return color;
}

} // namespace SystemColors
