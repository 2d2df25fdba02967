#pragma once

// How each kind of band looks, in light and dark palettes: a colour and a pattern of its own,
// so that the rail and its legend tell the fills apart in either appearance (and in print).

#include "RailTypes.h"

#include <QColor>
#include <QRectF>

#include <optional>

class QPainter;

namespace RailFills {

// The fills the visualizer's cards use, in the legend's order.
const QList<RailFill> &shownFills();
// The legend's name of a fill.
QString name(RailFill fill);
// A band label's colour over the fill.
QColor textColor(RailFill fill, SystemColors::Appearance appearance);

// Paints `fill` into `rect` (rounded ends). A band that fades out from `fadeX` to its end is
// given that x; `fill` none paints nothing.
void paint(QPainter &painter, const QRectF &rect, RailFill fill, SystemColors::Appearance appearance,
           std::optional<double> fadeX = std::nullopt);

} // namespace RailFills
