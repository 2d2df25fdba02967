#pragma once

// The table's drawn cells. They paint from the model's roles only, so the table stays fast with
// any number of rows (no widget per cell).

#include <QStyledItemDelegate>

#include <functional>

// Title over artist, with the "Now playing" note before them.
class TrackCellDelegate final : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override;
    // Where the note is drawn in a cell of `cell`.
    static QRect noteRect(const QRect &cell);
};

// The rate as a borderless pull-down: a click on it asks for the row's pin menu.
class RateCellDelegate final : public QStyledItemDelegate {
    Q_OBJECT
public:
    using OpenMenu = std::function<void(const QModelIndex &index, const QPoint &globalPos)>;
    RateCellDelegate(OpenMenu openMenu, QObject *parent)
        : QStyledItemDelegate(parent), m_openMenu(std::move(openMenu))
    {
    }
    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                     const QModelIndex &index) override;
    // The pull-down's label and chevron in a cell of `cell` showing `text`.
    static QRect pullDownRect(const QStyleOptionViewItem &option, const QString &text);

private:
    OpenMenu m_openMenu;
};

// The source as a tinted capsule.
class SourceBadgeDelegate final : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
};
