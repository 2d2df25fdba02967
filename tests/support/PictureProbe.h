#pragma once

// Looks into a window's picture the way a person would: is this colour in that region, is that
// region one plain colour. Regions are given in a widget's own coordinates and found in the
// picture of its window.

#include <QColor>
#include <QImage>
#include <QRect>
#include <QWidget>

#include <cstdlib>

namespace PictureProbe {

// The picture of `window` as the run command saves it.
inline QImage picture(QWidget &window)
{
    return window.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// `local` (in `widget`'s coordinates) in the picture of the window that holds `widget`.
inline QRect inWindow(const QWidget &widget, const QRect &local)
{
    return QRect(widget.mapTo(widget.window(), local.topLeft()), local.size());
}

inline bool near(QRgb pixel, const QColor &colour, int tolerance)
{
    return std::abs(qRed(pixel) - colour.red()) <= tolerance &&
           std::abs(qGreen(pixel) - colour.green()) <= tolerance &&
           std::abs(qBlue(pixel) - colour.blue()) <= tolerance;
}

// How many pixels of `region` (all of the picture when empty) are within `tolerance` of
// `colour` in each channel: text drawn in a colour leaves its solid strokes at that colour.
inline int pixelsNear(const QImage &image, const QColor &colour, QRect region = {}, int tolerance = 24)
{
    region = region.isEmpty() ? image.rect() : region.intersected(image.rect());
    int count = 0;
    for (int y = region.top(); y <= region.bottom(); ++y) {
        for (int x = region.left(); x <= region.right(); ++x)
            count += near(image.pixel(x, y), colour, tolerance) ? 1 : 0;
    }
    return count;
}

// How many pixels of `region` differ from its top-left pixel: 0 for a plain region.
inline int pixelsUnlikeTheFirst(const QImage &image, QRect region)
{
    region = region.intersected(image.rect());
    if (region.isEmpty())
        return 0;
    const QColor first = image.pixelColor(region.topLeft());
    return region.width() * region.height() - pixelsNear(image, first, region, 0);
}

} // namespace PictureProbe
