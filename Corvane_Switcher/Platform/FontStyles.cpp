#include "FontStyles.h"

#include <QFontDatabase>
#include <QFontMetricsF>
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

QFont equalWidthDigits(const QFont &font)
{
    const QFontMetricsF metrics(font);
    const qreal zero = metrics.horizontalAdvance(QChar(u'0'));
    for (char16_t digit = u'1'; digit <= u'9'; ++digit) {
        if (!qFuzzyCompare(metrics.horizontalAdvance(QChar(digit)), zero)) {
            QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
            fixed.setPointSizeF(font.pointSizeF());
            return fixed;
        }
    }
    return font;
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
