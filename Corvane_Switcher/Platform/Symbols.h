#pragma once

// The symbols the windows show, by their system symbol names ("gearshape", "info.circle", ...),
// drawn by us: a symbol is a small vector drawing in one colour, sized like a glyph of the
// given point size.

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QStringList>

class QPainter;
class QRectF;

namespace Symbols {

// Every name there is a drawing for.
QStringList names();
bool has(const QString &name);

// Draws the symbol into `rect` (a square works best); an unknown name draws nothing.
void paint(QPainter &painter, const QRectF &rect, const QString &name, const QColor &color);

// The symbol at the size of a glyph of `pointSize`, for a screen of `devicePixelRatio`
// (0: the application's).
QPixmap pixmap(const QString &name, const QColor &color, qreal pointSize, qreal devicePixelRatio = 0);
QIcon icon(const QString &name, const QColor &color, qreal pointSize = 13);

} // namespace Symbols
