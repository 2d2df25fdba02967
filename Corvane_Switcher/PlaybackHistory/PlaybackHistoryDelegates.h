#pragma once

#include "Common/ShownTextDelegate.h"

// The track cell: the title on one line, the artist below it in the caption font and the
// secondary colour. Every other cell is drawn by the standard delegate.
class PlaybackHistoryTrackDelegate final : public ShownTextDelegate {
    Q_OBJECT
public:
    using ShownTextDelegate::ShownTextDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    // The height every row gets: two lines of the track cell and a small margin.
    static int rowHeight();
};

// The time cell: when the column is too narrow for the whole date and time, the middle goes,
// so that both the day and the time of day stay readable.
class PlaybackHistoryTimeDelegate final : public ShownTextDelegate {
    Q_OBJECT
public:
    using ShownTextDelegate::ShownTextDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;
};
