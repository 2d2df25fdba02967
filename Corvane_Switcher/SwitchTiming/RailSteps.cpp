#include "RailSteps.h"

#include "Platform/FontStyles.h"
#include "TimelineRail.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMouseEvent>
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

RailSteps::RailSteps(QWidget *parent) : QWidget(parent), m_fonts(Fonts::make(1.0))
{
    setMouseTracking(true);
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
    m_hovered = -1;
    const bool linked =
        std::any_of(marks.begin(), marks.end(), [](const RailMark &m) { return m.setting.has_value(); });
    setFocusPolicy(linked ? Qt::TabFocus : Qt::NoFocus);
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
    int linked = 0;
    for (const RailStepsLayout::Item &item : l.items) {
        if (item.setting && hasFocus() && linked++ == m_focus) {
            painter.setPen(QPen(SystemColors::withOpacity(SystemColors::accent(appearance), 0.8), 2));
            painter.setBrush(Qt::NoBrush);
            painter.drawRoundedRect(item.textRect.united(item.disc).adjusted(-3, -2, 3, 2), 4, 4);
        }
        const bool hovered = item.index == m_hovered;
        TimelineRail::paintDisc(painter, item.disc, item.number, item.strong, item.setting.has_value(),
                                hovered, m_fonts.disc, background, appearance);
        QFont font = item.strong ? m_fonts.strongText : m_fonts.text;
        font.setUnderline(hovered && item.setting);
        painter.setFont(font);
        painter.setPen(item.setting ? SystemColors::accent(appearance) : SystemColors::label(appearance));
        painter.drawText(item.textRect, textFlags, item.text);
    }
}

void RailSteps::setHovered(int index)
{
    if (index == m_hovered)
        return;
    m_hovered = index;
    const bool linked = index >= 0 && m_marks.value(index).setting.has_value();
    if (linked)
        setCursor(Qt::PointingHandCursor);
    else
        unsetCursor();
    update();
}

void RailSteps::mouseMoveEvent(QMouseEvent *event)
{
    const RailStepsLayout::Item *item = currentLayout().itemAt(event->position());
    setHovered(item ? item->index : -1);
    QWidget::mouseMoveEvent(event);
}

void RailSteps::mousePressEvent(QMouseEvent *event)
{
    const RailStepsLayout::Item *item = currentLayout().itemAt(event->position());
    m_pressed = item && event->button() == Qt::LeftButton ? item->setting : std::nullopt;
    if (m_pressed)
        event->accept();
    else
        QWidget::mousePressEvent(event);
}

void RailSteps::mouseReleaseEvent(QMouseEvent *event)
{
    const std::optional<SettingKey> pressed = std::exchange(m_pressed, std::nullopt);
    const RailStepsLayout::Item *item = currentLayout().itemAt(event->position());
    if (pressed && item && item->setting == pressed) {
        event->accept();
        if (onSetting)
            onSetting(*pressed);
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

void RailSteps::keyPressEvent(QKeyEvent *event)
{
    QList<SettingKey> links;
    for (const RailStepsLayout::Item &item : currentLayout().items) {
        if (item.setting)
            links.append(*item.setting);
    }
    const int last = std::max(0, int(links.size()) - 1);
    switch (event->key()) {
    case Qt::Key_Down:
    case Qt::Key_Right:
        m_focus = std::clamp(m_focus + 1, 0, last);
        break;
    case Qt::Key_Up:
    case Qt::Key_Left:
        m_focus = std::clamp(m_focus - 1, 0, last);
        break;
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!links.isEmpty() && onSetting)
            onSetting(links[std::clamp(m_focus, 0, last)]);
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    update();
}

void RailSteps::leaveEvent(QEvent *event)
{
    setHovered(-1);
    QWidget::leaveEvent(event);
}

void RailSteps::resizeEvent(QResizeEvent *event)
{
    m_layout.reset();
    QWidget::resizeEvent(event);
}
