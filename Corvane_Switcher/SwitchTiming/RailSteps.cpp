#include "RailSteps.h"

#include "Platform/FontStyles.h"
#include "TimelineRail.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {
struct Tr {
    Q_DECLARE_TR_FUNCTIONS(SwitchTiming)
};

constexpr double columnGap = 18;
constexpr double stepGap = 5;
constexpr double discTextGap = 7;
constexpr int textFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
} // namespace

const RailStepsLayout::Item *RailStepsLayout::itemAt(const QPointF &point) const
{
    for (const Item &item : items) {
        if (item.disc.contains(point) || item.textRect.contains(point))
            return &item;
    }
    return nullptr;
}

RailSteps::Fonts RailSteps::Fonts::make(double textScale)
{
    return {FontStyles::systemFont(10.5 * textScale, QFont::DemiBold), FontStyles::systemFont(11 * textScale),
            FontStyles::systemFont(11 * textScale, QFont::DemiBold)};
}

RailStepsLayout RailSteps::layout(const QList<RailMark> &marks, int columns, const QRectF &rect,
                                  const Fonts &fonts)
{
    RailStepsLayout out;
    columns = std::max(1, columns);
    const QFontMetricsF discFm(fonts.disc);
    const double diameter = std::ceil(discFm.height() + 4);
    const double columnWidth = std::max(1.0, (rect.width() - (columns - 1) * columnGap) / columns);
    const QList<int> order = stepOrder(marks);
    const qsizetype perColumn = (order.size() + columns - 1) / columns;

    double bottom = rect.top();
    for (qsizetype i = 0; i < order.size(); ++i) {
        const RailMark &mark = marks[order[i]];
        const qsizetype column = perColumn > 0 ? i / perColumn : 0;
        const double left = rect.left() + column * (columnWidth + columnGap);
        const double top = i % std::max<qsizetype>(perColumn, 1) == 0
                               ? rect.top()
                               : out.items.last().textRect.bottom() + stepGap;
        RailStepsLayout::Item item;
        item.index = order[i];
        item.number = int(i) + 1;
        item.text = mark.label;
        item.strong = mark.strong;
        item.setting = mark.setting;
        const QFontMetricsF fm(mark.strong ? fonts.strongText : fonts.text);
        const double textLeft = left + diameter + discTextGap;
        const double textWidth = std::max(1.0, left + columnWidth - textLeft);
        const QRectF bounds = fm.boundingRect(QRectF(textLeft, top, textWidth, 1e6), textFlags, mark.label);
        const double firstLine = fm.height();
        item.disc = QRectF(left, top + std::max(0.0, (firstLine - diameter) / 2), diameter, diameter);
        item.textRect = QRectF(textLeft, top, textWidth, std::max(bounds.height(), firstLine));
        bottom = std::max({bottom, item.textRect.bottom(), item.disc.bottom()});
        out.items.append(item);
    }
    out.height = std::ceil(bottom - rect.top());
    return out;
}

RailSteps::RailSteps(QWidget *parent) : SettingLinksWidget(parent), m_fonts(Fonts::make(1.0))
{
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    //: Accessible name of the numbered steps under a timeline.
    setAccessibleName(Tr::tr("Steps"));
}

void RailSteps::setMarks(const QList<RailMark> &marks, double textScale, int columns)
{
    const int before = heightForWidth(width());
    m_marks = marks;
    m_columns = columns;
    if (textScale != m_textScale) {
        m_textScale = textScale;
        m_fonts = Fonts::make(textScale);
    }
    m_layout.reset();
    linksChanged();
    if (heightForWidth(width()) != before)
        updateGeometry();
    update();
}

void RailSteps::setKnockout(const QColor &color)
{
    if (m_knockout == color)
        return;
    m_knockout = color;
    update();
}

const RailStepsLayout &RailSteps::currentLayout() const
{
    if (!m_layout)
        m_layout = layout(m_marks, m_columns, QRectF(rect()), m_fonts);
    return *m_layout;
}

int RailSteps::heightForWidth(int width) const
{
    if (width == this->width())
        return int(currentLayout().height);
    return int(layout(m_marks, m_columns, QRectF(0, 0, width, 0), m_fonts).height);
}

QSize RailSteps::sizeHint() const
{
    return QSize(560, heightForWidth(560));
}

QSize RailSteps::minimumSizeHint() const
{
    return QSize(240, heightForWidth(240));
}

void RailSteps::paintEvent(QPaintEvent *)
{
    const RailStepsLayout &l = currentLayout();
    const SystemColors::Appearance appearance = SystemColors::appearanceOf(this);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor background = m_knockout.isValid() ? m_knockout : SystemColors::windowBackground(appearance);
    const std::optional<Link> hoveredLink = this->hoveredLink();
    for (const RailStepsLayout::Item &item : l.items) {
        const bool hovered = hoveredLink && hoveredLink->item == item.index;
        TimelineRail::paintDisc(painter, item.disc, item.number, item.strong, item.setting.has_value(),
                                hovered, m_fonts.disc, background, appearance);
        QFont font = item.strong ? m_fonts.strongText : m_fonts.text;
        font.setUnderline(hovered && item.setting);
        painter.setFont(font);
        painter.setPen(item.setting ? SystemColors::accent(appearance) : SystemColors::label(appearance));
        painter.drawText(item.textRect, textFlags, item.text);
    }
    paintFocus(painter);
}

QList<SettingLinksWidget::Link> RailSteps::links() const
{
    QList<Link> out;
    for (const RailStepsLayout::Item &item : currentLayout().items) {
        if (item.setting)
            out.append(Link{item.textRect.united(item.disc), *item.setting, item.index});
    }
    return out;
}

void RailSteps::resizeEvent(QResizeEvent *event)
{
    m_layout.reset();
    QWidget::resizeEvent(event);
}
