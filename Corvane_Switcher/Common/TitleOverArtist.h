#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

class QPainter;

// The track cell both tables share: the title on one line in the body font, the artist on one
// line below it in the caption font, 1 point apart, each cut with "…" when too long, the pair
// centred vertically in the cell.
namespace TitleOverArtist {

// The height of the two lines, without margins.
int height();
void paint(QPainter &painter, const QRect &area, const QString &title, const QColor &titleColor,
           const QString &artist, const QColor &artistColor);

} // namespace TitleOverArtist
