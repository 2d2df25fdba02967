#pragma once

// The system's named colours, each with a light and a dark value as the Mac shows them. The dark
// values apply when the palette's window colour is dark.

#include <QColor>
#include <QPalette>

class QWidget;

namespace SystemColors {

enum class Appearance { light, dark };

// Dark when the window colour of `palette` (default: the application's) is dark.
Appearance appearance(const QPalette &palette);
Appearance currentAppearance();
Appearance appearanceOf(const QWidget *widget);

QColor accent(Appearance appearance = currentAppearance());
QColor label(Appearance appearance = currentAppearance());
QColor secondaryLabel(Appearance appearance = currentAppearance());
QColor tertiaryLabel(Appearance appearance = currentAppearance());
QColor separator(Appearance appearance = currentAppearance());
QColor controlBackground(Appearance appearance = currentAppearance());
QColor windowBackground(Appearance appearance = currentAppearance());
QColor selectedContentBackground(Appearance appearance = currentAppearance());
QColor blue(Appearance appearance = currentAppearance());
QColor red(Appearance appearance = currentAppearance());
QColor green(Appearance appearance = currentAppearance());
QColor orange(Appearance appearance = currentAppearance());

// A colour of our own with a light and a dark value: the one for `appearance`.
QColor forAppearance(Appearance appearance, const QColor &light, const QColor &dark);

// `color` at `opacity` (0 to 1) of its own alpha: "the separator colour at 35 % opacity".
QColor withOpacity(QColor color, qreal opacity);

} // namespace SystemColors
