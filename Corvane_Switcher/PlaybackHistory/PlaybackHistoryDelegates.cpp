#include "PlaybackHistoryDelegates.h"

#include "PlaybackHistoryStyle.h"
#include "PlaybackHistoryTableModel.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>

namespace {
constexpr int lineSpacing = 1;
constexpr int verticalMargin = 3;
constexpr int horizontalMargin = 4;
} // namespace

int PlaybackHistoryTrackDelegate::rowHeight(const QFont &body)
{
    return QFontMetrics(body).height() + lineSpacing +
           QFontMetrics(PlaybackHistoryStyle::captionFont()).height() + 2 * verticalMargin;
}

QSize PlaybackHistoryTrackDelegate::sizeHint(const QStyleOptionViewItem &option,
                                             const QModelIndex &index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(rowHeight(option.font));
    return size;
}

void PlaybackHistoryTrackDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                         const QModelIndex &index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QString title = opt.text;
    opt.text.clear();
    const QWidget *widget = opt.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget); // background and selection

    const bool selected = opt.state & QStyle::State_Selected;
    const QPalette::ColorGroup group =
        opt.state & QStyle::State_Active ? QPalette::Active : QPalette::Inactive;
    const QColor primary = selected ? opt.palette.color(group, QPalette::HighlightedText)
                                    : opt.palette.color(group, QPalette::Text);
    QColor secondary =
        selected ? primary : PlaybackHistoryStyle::toneColor(PlaybackHistoryTableModel::Tone::secondary);
    if (selected)
        secondary.setAlphaF(0.8f);

    const QRect area =
        opt.rect.adjusted(horizontalMargin, verticalMargin, -horizontalMargin, -verticalMargin);
    const QFont caption = PlaybackHistoryStyle::captionFont();
    const QFontMetrics titleMetrics(opt.font);
    const QFontMetrics captionMetrics(caption);

    painter->save();
    painter->setClipRect(opt.rect);
    painter->setFont(opt.font);
    painter->setPen(primary);
    const QRect titleRect(area.left(), area.top(), area.width(), titleMetrics.height());
    painter->drawText(titleRect, Qt::AlignLeft | Qt::AlignVCenter,
                      titleMetrics.elidedText(title, Qt::ElideRight, area.width()));
    painter->setFont(caption);
    painter->setPen(secondary);
    const QRect artistRect(area.left(), titleRect.bottom() + 1 + lineSpacing, area.width(),
                           captionMetrics.height());
    painter->drawText(artistRect, Qt::AlignLeft | Qt::AlignVCenter,
                      captionMetrics.elidedText(index.data(PlaybackHistoryTableModel::artistRole).toString(),
                                                Qt::ElideRight, area.width()));
    painter->restore();
}

void PlaybackHistoryTimeDelegate::initStyleOption(QStyleOptionViewItem *option,
                                                  const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    option->textElideMode = Qt::ElideMiddle;
}
