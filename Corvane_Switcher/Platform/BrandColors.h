#pragma once

// The application's own colour assets and the brand gradient drawn with them.

#include <QColor>
#include <QLinearGradient>
#include <QRectF>
#include <QString>

namespace BrandColors {

QColor brandRedStart();
QColor brandRedEnd();
// An asset colour by its name ("brandRedStart", "brandRedEnd"); invalid for any other name.
QColor assetColor(const QString &name);

// From "brandRedStart" at the leading edge of `rect` to "brandRedEnd" at its trailing edge.
QLinearGradient brandGradient(const QRectF &rect, Qt::LayoutDirection direction = Qt::LeftToRight);

} // namespace BrandColors
