#include "ListMenu.h"

#include "Common/ShownText.h"
#include "Platform/Symbols.h"
#include "Platform/SystemColors.h"

#include <QAbstractListModel>
#include <QIcon>
#include <QListView>
#include <QMenu>
#include <QPixmap>
#include <QWidgetAction>

#include <algorithm>

namespace ListMenu {

namespace {

// The entries as rows of one list, each written as it shows.
class EntriesModel final : public QAbstractListModel {
public:
    EntriesModel(Entries entries, QObject *parent)
        : QAbstractListModel(parent), m_entries(std::move(entries)),
          m_check(Symbols::icon(QStringLiteral("checkmark"), SystemColors::label())), m_blank(blankIcon())
    {
    }

    int rowCount(const QModelIndex &parent) const override
    {
        return parent.isValid() ? 0 : int(m_entries.count);
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || !m_entries.text)
            return {};
        switch (role) {
        case Qt::DisplayRole:
        case Qt::AccessibleTextRole:
            return ShownText::bounded(m_entries.text(index.row()));
        case Qt::DecorationRole:
            // A check mark on the chosen entry, and the same room before every other one.
            return index.row() == m_entries.checked ? m_check : m_blank;
        default:
            return {};
        }
    }
    void pick(int row) const
    {
        if (m_entries.pick)
            m_entries.pick(row);
    }

private:
    static QIcon blankIcon()
    {
        QPixmap blank(16, 16);
        blank.fill(Qt::transparent);
        return QIcon(blank);
    }

    Entries m_entries;
    QIcon m_check;
    QIcon m_blank;
};

} // namespace

QMenu *make(Entries entries, int width, QWidget *parent)
{
    auto *menu = new QMenu(parent);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    auto *list = new QListView;
    const qsizetype count = entries.count;
    const qsizetype checked = entries.checked;
    auto *model = new EntriesModel(std::move(entries), list);
    list->setModel(model);
    list->setUniformItemSizes(true);
    list->setFrameShape(QFrame::NoFrame);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setTextElideMode(Qt::ElideRight);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setMouseTracking(true);
    const int shown = int(std::clamp<qsizetype>(count, 1, rows));
    list->setFixedSize(width, shown * list->sizeHintForRow(0) + 2 * list->frameWidth());
    if (checked >= 0 && checked < count) {
        const QModelIndex chosen = model->index(int(checked));
        list->setCurrentIndex(chosen);
        list->scrollTo(chosen, QAbstractItemView::PositionAtCenter);
    }
    const auto choose = [menu, model](const QModelIndex &index) {
        if (!menu->isVisible()) // a click may also activate: one pick
            return;
        menu->close();
        model->pick(index.row());
    };
    QObject::connect(list, &QAbstractItemView::activated, menu, choose);
    QObject::connect(list, &QAbstractItemView::clicked, menu, choose);
    auto *action = new QWidgetAction(menu);
    action->setDefaultWidget(list);
    menu->addAction(action);
    return menu;
}

void popUp(QMenu *menu, const QPoint &at)
{
    menu->popup(at);
    if (auto *list = menu->findChild<QListView *>()) {
        menu->setActiveAction(menu->actions().constFirst());
        list->setFocus(Qt::PopupFocusReason);
    }
}

} // namespace ListMenu
