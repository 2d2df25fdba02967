#include "RailLegend.h"

#include "Platform/FontStyles.h"
#include "RailFills.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

namespace {
struct Tr {
    Q_DECLARE_TR_FUNCTIONS(SwitchTiming)
};

constexpr double itemGap = 16;
constexpr double rowGap = 6;
constexpr double swatchTextGap = 6;
} // namespace

RailLegend::RailLegend(QWidget *parent) : QWidget(parent)
{
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    //: Accessible name of the legend of the timelines' colours.
    setAccessibleName(Tr::tr("Legend"));
    setTextScale(1.0);
}

void RailLegend::setTextScale(double scale)
{
    if (scale == m_scale)
        return;
    m_scale = scale;
    m_font = FontStyles::systemFont(10.5 * scale);
    updateGeometry();
    update();
}

RailLegend::Layout RailLegend::layout(const QRectF &rect, const QFont &font, Qt::LayoutDirection direction)
{
    // Left to right, then mirrored in a right-to-left layout: the swatch leads its name.
    const auto leading = [&](const QRectF &r) {
        if (direction == Qt::LeftToRight)
            return r;
        return QRectF(rect.left() + rect.right() - r.right(), r.top(), r.width(), r.height());
    };
    Layout out;
    const QFontMetricsF fm(font);
    const double lineHeight = fm.height();
    const QSizeF swatch(std::round(lineHeight * 1.6), std::round(lineHeight * 0.8));
    double x = rect.left();
    double y = rect.top();
    for (RailFill fill : RailFills::shownFills()) {
        Item item;
        item.fill = fill;
        item.text = RailFills::name(fill);
        const double textWidth = fm.horizontalAdvance(item.text);
        const double width = swatch.width() + swatchTextGap + textWidth;
        if (x > rect.left() && x + width > rect.right() + 1) {
            x = rect.left();
            y += lineHeight + rowGap;
        }
        item.swatch = leading(QRectF(QPointF(x, y + (lineHeight - swatch.height()) / 2), swatch));
        item.textRect = leading(QRectF(x + swatch.width() + swatchTextGap, y, textWidth, lineHeight));
        out.items.append(item);
        x += width + itemGap;
    }
    out.height = std::ceil(y + lineHeight - rect.top());
    return out;
}

int RailLegend::heightForWidth(int width) const
{
    return int(layout(QRectF(0, 0, width, 0), m_font).height);
}

QSize RailLegend::sizeHint() const
{
    return QSize(600, heightForWidth(600));
}

QSize RailLegend::minimumSizeHint() const
{
    return QSize(200, heightForWidth(200));
}

void RailLegend::paintEvent(QPaintEvent *)
{
    const SystemColors::Appearance appearance = SystemColors::appearanceOf(this);
    QPainter painter(this);
    painter.setFont(m_font);
    painter.setPen(SystemColors::secondaryLabel(appearance));
    for (const Item &item : currentLayout().items) {
        RailFills::paint(painter, item.swatch, item.fill, appearance);
        painter.drawText(item.textRect, Qt::AlignLeft | Qt::AlignVCenter, item.text);
    }
}
