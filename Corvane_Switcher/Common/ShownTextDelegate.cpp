#include "ShownTextDelegate.h"

#include "ShownText.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QToolTip>

QString ShownTextDelegate::displayText(const QVariant &value, const QLocale &locale) const
{
    if (value.typeId() == QMetaType::QString)
        return QStyledItemDelegate::displayText(ShownText::bounded(value.toString()), locale);
    return QStyledItemDelegate::displayText(value, locale);
}

bool ShownTextDelegate::helpEvent(QHelpEvent *event, QAbstractItemView *view,
                                  const QStyleOptionViewItem &option, const QModelIndex &index)
{
    if (!event || !view || event->type() != QEvent::ToolTip)
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    // As the standard cell shows its tooltip, the text bounded.
    const QString tip =
        index.isValid() ? ShownText::toolTip(index.data(Qt::ToolTipRole).toString()) : QString();
    QToolTip::showText(event->globalPos(), tip, view->viewport(), option.rect);
    event->setAccepted(!tip.isEmpty());
    return true;
}
