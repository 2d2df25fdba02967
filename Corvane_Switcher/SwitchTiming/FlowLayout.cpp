#include "FlowLayout.h"

#include <QGuiApplication>
#include <QStyle>
#include <QWidget>

#include <algorithm>

FlowLayout::FlowLayout(int spacing, int rowSpacing, QWidget *parent)
    : QLayout(parent), m_rowSpacing(rowSpacing)
{
    setSpacing(spacing);
    setContentsMargins(0, 0, 0, 0);
}

FlowLayout::~FlowLayout()
{
    while (QLayoutItem *item = takeAt(0))
        delete item;
}

void FlowLayout::addItem(QLayoutItem *item)
{
    m_items.append(item);
    invalidate();
}

int FlowLayout::count() const
{
    return int(m_items.size());
}

QLayoutItem *FlowLayout::itemAt(int index) const
{
    return m_items.value(index);
}

QLayoutItem *FlowLayout::takeAt(int index)
{
    if (index < 0 || index >= m_items.size())
        return nullptr;
    QLayoutItem *item = m_items.takeAt(index);
    invalidate();
    return item;
}

void FlowLayout::setLastItemTrailing(bool trailing)
{
    m_lastItemTrailing = trailing;
    invalidate();
}

void FlowLayout::invalidate()
{
    m_cachedHeight.reset();
    QLayout::invalidate();
}

int FlowLayout::heightForWidth(int width) const
{
    if (!m_cachedHeight || m_cachedHeight->first != width)
        m_cachedHeight = std::pair(width, doLayout(QRect(0, 0, width, 0), false));
    return m_cachedHeight->second;
}

QSize FlowLayout::sizeHint() const
{
    // Everything on one row, as wide as it wants.
    int width = 0;
    int height = 0;
    int shown = 0;
    for (const QLayoutItem *item : m_items) {
        if (item->isEmpty())
            continue;
        const QSize hint = item->sizeHint();
        width += hint.width() + (shown++ > 0 ? spacing() : 0);
        height = std::max(height, hint.height());
    }
    const QMargins m = contentsMargins();
    return QSize(width + m.left() + m.right(), height + m.top() + m.bottom());
}

QSize FlowLayout::minimumSize() const
{
    // As narrow as the widest item; as high as that width needs.
    int width = 0;
    for (const QLayoutItem *item : m_items) {
        if (!item->isEmpty())
            width = std::max(width, item->sizeHint().width());
    }
    const QMargins m = contentsMargins();
    width += m.left() + m.right();
    return QSize(width, heightForWidth(width));
}

void FlowLayout::setGeometry(const QRect &rect)
{
    QLayout::setGeometry(rect);
    doLayout(rect, true);
}

int FlowLayout::doLayout(const QRect &rect, bool apply) const
{
    const QRect area = rect.marginsRemoved(contentsMargins());
    // Laid out left to right, then mirrored in a right-to-left layout: every row begins at the
    // leading edge.
    const Qt::LayoutDirection direction =
        parentWidget() ? parentWidget()->layoutDirection() : QGuiApplication::layoutDirection();
    struct Placed {
        QLayoutItem *item;
        QSize size;
        int x;
    };
    QList<Placed> row;
    int y = area.top();
    int rows = 0;
    const auto finishRow = [&] {
        if (row.isEmpty())
            return;
        int height = 0;
        for (const Placed &p : row)
            height = std::max(height, p.size.height());
        if (apply) {
            for (const Placed &p : row)
                p.item->setGeometry(QStyle::visualRect(
                    direction, area, QRect(QPoint(p.x, y + (height - p.size.height()) / 2), p.size)));
        }
        y += height + m_rowSpacing;
        ++rows;
        row.clear();
    };

    QLayoutItem *last = nullptr;
    for (QLayoutItem *item : m_items) {
        if (!item->isEmpty() && item->widget())
            last = item;
    }
    int x = area.left();
    for (QLayoutItem *item : m_items) {
        if (item->isEmpty() || !item->widget())
            continue;
        QSize size = item->sizeHint();
        size.setWidth(std::min(size.width(), std::max(0, area.width())));
        if (item->hasHeightForWidth())
            size.setHeight(item->heightForWidth(size.width()));
        if (!row.isEmpty() && x + size.width() > area.right() + 1) {
            finishRow();
            x = area.left();
        }
        const bool trailing = m_lastItemTrailing && item == last;
        row.append({item, size, trailing ? area.right() + 1 - size.width() : x});
        x += size.width() + spacing();
    }
    finishRow();
    if (apply)
        m_rows = rows;
    const int used = rows > 0 ? y - m_rowSpacing - area.top() : 0;
    const QMargins m = contentsMargins();
    return used + m.top() + m.bottom();
}
