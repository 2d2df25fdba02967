#include "PlaybackHistoryDelegates.h"

#include "Common/TitleOverArtist.h"
#include "PlaybackHistoryStyle.h"
#include "PlaybackHistoryTableModel.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>

namespace {
constexpr int verticalMargin = 3;
constexpr int horizontalMargin = 4;
} // namespace

int PlaybackHistoryTrackDelegate::rowHeight()
{
    return TitleOverArtist::height() + 2 * verticalMargin;
}

QSize PlaybackHistoryTrackDelegate::sizeHint(const QStyleOptionViewItem &option,
                                             const QModelIndex &index) const
{
    QSize size = ShownTextDelegate::sizeHint(option, index);
    size.setHeight(rowHeight());
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

    const QRect area = opt.rect.adjusted(horizontalMargin, 0, -horizontalMargin, 0);
    painter->save();
    painter->setClipRect(opt.rect);
    TitleOverArtist::paint(*painter, area, title, primary,
                           index.data(PlaybackHistoryTableModel::artistRole).toString(), secondary);
    painter->restore();
}

void PlaybackHistoryTimeDelegate::initStyleOption(QStyleOptionViewItem *option,
                                                  const QModelIndex &index) const
{
    ShownTextDelegate::initStyleOption(option, index);
    option->textElideMode = Qt::ElideMiddle;
}
