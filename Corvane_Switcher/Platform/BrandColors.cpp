#include "BrandColors.h"

namespace BrandColors {

QColor brandRedStart()
{
    return QColor(0xf2, 0x3b, 0x4f);
}
QColor brandRedEnd()
{
    return QColor(0xb3, 0x12, 0x4a);
}

QColor assetColor(const QString &name)
{
    if (name == QLatin1String("brandRedStart"))
        return brandRedStart();
    if (name == QLatin1String("brandRedEnd"))
        return brandRedEnd();
    return {};
}

QLinearGradient brandGradient(const QRectF &rect, Qt::LayoutDirection direction)
{
    const bool rightToLeft = direction == Qt::RightToLeft;
    QLinearGradient gradient(rightToLeft ? rect.topRight() : rect.topLeft(),
                             rightToLeft ? rect.topLeft() : rect.topRight());
    gradient.setColorAt(0, brandRedStart());
    gradient.setColorAt(1, brandRedEnd());
    return gradient;
}

} // namespace BrandColors
