#pragma once

// The standard cell for texts from outside: the text is cut to what a line shows before the
// style lays it out (and before it looks for line breaks in it), and so is its tooltip. Both
// tables use it for every column without a drawing of its own.

#include <QStyledItemDelegate>

class ShownTextDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QString displayText(const QVariant &value, const QLocale &locale) const override;
    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override;
};
