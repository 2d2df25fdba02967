#include "FontStyles.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

namespace FontStyles {
namespace {

// Qt's points are 1/72 inch of the screen's logical resolution; the Mac's are logical pixels.
qreal logicalDpi()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const qreal dpi = screen ? screen->logicalDotsPerInchY() : 96.0;
    return dpi > 0 ? dpi : 96.0;
}

} // namespace

QFont systemFont(qreal points, QFont::Weight weight)
{
    QFont font = QGuiApplication::font();
    font.setPointSizeF(std::max(1.0, points * 72.0 / logicalDpi()));
    font.setWeight(weight);
    return font;
}

qreal points(const QFont &font)
{
    if (font.pointSizeF() > 0)
        return font.pointSizeF() * logicalDpi() / 72.0;
    return font.pixelSize();
}

QFont scaled(QFont font, qreal scale)
{
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * scale);
    else if (font.pixelSize() > 0)
        font.setPixelSize(std::max(1, int(font.pixelSize() * scale + 0.5)));
    return font;
}

QFont title3()
{
    return systemFont(15);
}
QFont headline()
{
    return systemFont(13, QFont::DemiBold);
}
QFont body()
{
    return systemFont(13);
}
QFont callout()
{
    return systemFont(12);
}
QFont caption()
{
    return systemFont(10);
}
QFont caption2()
{
    return systemFont(10);
}

} // namespace FontStyles
