#pragma once

// The Mac's text styles as fonts. Sizes are given in the Mac's points, which are logical pixels
// there; here they are converted so that a 13-point font is 13 logical pixels high as well.

#include <QFont>

namespace FontStyles {

QFont systemFont(qreal points, QFont::Weight weight = QFont::Normal);

QFont title3();   // 15
QFont headline(); // 13, semibold
QFont body();     // 13
QFont callout();  // 12
QFont caption();  // 10
QFont caption2(); // 10

// `font` where its digits already share one width, else the fixed-pitch font at the same size,
// so that figures line up in a column.
QFont equalWidthDigits(const QFont &font);

// The same font at a scaled size (the visualizer's text scale).
QFont scaled(QFont font, qreal scale);
// A font's size in the Mac's points (the inverse of systemFont's conversion).
qreal points(const QFont &font);

} // namespace FontStyles
