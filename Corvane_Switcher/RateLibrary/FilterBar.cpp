#include "FilterBar.h"

#include "Common/ListMenu.h"
#include "Platform/FontStyles.h"
#include "RateLibraryTr.h"

#include <QAbstractListModel>
#include <QButtonGroup>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPointer>
#include <QResizeEvent>
#include <QToolButton>
#include <QVBoxLayout>

using namespace RateLibrary;
using RateLibraryText::Tr;

// The rate menu's items, "Any rate" then one per rate, each written as it is shown: a library
// may hold any number of distinct rates, and a new list is one reset of the menu.
class RateMenuModel final : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    const QList<double> &rates() const { return m_rates; }
    void setRates(QList<double> rates)
    {
        beginResetModel();
        m_rates = std::move(rates);
        endResetModel();
    }
    RateMenuItem item(int row) const
    {
        return row == 0 ? anyRateMenuItem() : rateMenuItem(m_rates.at(row - 1));
    }
    // The row whose value is `rate`; -1 when no item has it.
    int rowOf(double rate) const
    {
        if (rate == 0)
            return 0;
        const auto at = std::lower_bound(m_rates.begin(), m_rates.end(), rate);
        return at != m_rates.end() && *at == rate ? int(at - m_rates.begin()) + 1 : -1;
    }

    int rowCount(const QModelIndex &parent) const override
    {
        return parent.isValid() ? 0 : int(m_rates.size()) + 1;
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
            return {};
        return item(index.row()).title;
    }

private:
    QList<double> m_rates; // ascending, as `rateChoices` gives them
};

// The rate menu. Qt's own list measures every item each time it opens; past the items it
// measures whole, the menu opens a list of its own instead, which reads only the rows in view.
class RateMenuBox final : public QComboBox {
public:
    using QComboBox::QComboBox;

    void showPopup() override
    {
        if (count() <= FilterBar::measuredRateItems) {
            QComboBox::showPopup();
            return;
        }
        ListMenu::Entries entries;
        entries.count = count();
        entries.text = [this](qsizetype row) { return itemText(int(row)); };
        entries.checked = currentIndex();
        entries.pick = [this](qsizetype row) {
            setCurrentIndex(int(row));
            emit activated(int(row));
            emit textActivated(itemText(int(row)));
        };
        QMenu *menu = ListMenu::make(std::move(entries), popupWidth(), this);
        menu->setAccessibleName(accessibleName());
        // Rows read from a list that has since changed would pick the wrong rate.
        connect(model(), &QAbstractItemModel::modelReset, menu, &QWidget::close);
        connect(model(), &QAbstractItemModel::rowsRemoved, menu, &QWidget::close);
        connect(model(), &QAbstractItemModel::rowsInserted, menu, &QWidget::close);
        m_popup = menu;
        ListMenu::popUp(menu, mapToGlobal(layoutDirection() == Qt::RightToLeft ? rect().bottomRight()
                                                                               : rect().bottomLeft()));
    }
    void hidePopup() override
    {
        if (m_popup)
            m_popup->close();
        QComboBox::hidePopup();
    }

private:
    // As wide as the menu, or as its first and last items with the check mark's room, whichever
    // is wider: the items between are not measured.
    int popupWidth() const
    {
        const int last = count() - 1;
        int widest = 0;
        for (int row : {0, 1, 2, last - 1, last})
            widest = std::max(widest, fontMetrics().horizontalAdvance(itemText(row)));
        return std::max(width(), widest + iconSize().width() + 4 * fontMetrics().averageCharWidth());
    }

    QPointer<QMenu> m_popup;
};

FilterBar::FilterBar(QWidget *parent) : QWidget(parent)
{
    m_choosers = new QWidget(this);
    auto *choosers = new QHBoxLayout(m_choosers);
    choosers->setContentsMargins(0, 0, 0, 0);
    choosers->setSpacing(10);

    m_tierLabel = new QLabel(Tr::tr("Show rates for"), m_choosers);
    m_tierLabel->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    choosers->addWidget(m_tierLabel);

    m_tierMenu = new QComboBox(m_choosers);
    m_tierMenu->setAccessibleName(Tr::tr("Show rates for"));
    m_tierMenu->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_tierMenu->setToolTip(
        Tr::tr("A track's rate is remembered separately for each Music.app streaming setting it "
               "was heard under. The first item follows whatever Music.app is set to. Local "
               "files and uploads play the same under every setting and are always shown."));
    choosers->addWidget(m_tierMenu);
    connect(m_tierMenu, &QComboBox::activated, this, [this](int index) {
        if (index >= 0 && index < m_tierChoices.size())
            emit tierFilterChosen(m_tierChoices.at(index));
    });

    auto *segments = new QWidget(m_choosers);
    segments->setAccessibleName(Tr::tr("Show"));
    auto *segmentRow = new QHBoxLayout(segments);
    segmentRow->setContentsMargins(0, 0, 0, 0);
    segmentRow->setSpacing(0);
    m_kinds = new QButtonGroup(this);
    m_kinds->setExclusive(true);
    for (KindFilter kind : allKindFilters()) {
        auto *segment = new QToolButton(segments);
        segment->setText(label(kind));
        segment->setObjectName(rawValue(kind));
        segment->setCheckable(true);
        segment->setToolButtonStyle(Qt::ToolButtonTextOnly);
        m_kinds->addButton(segment, int(kind));
        segmentRow->addWidget(segment);
    }
    connect(m_kinds, &QButtonGroup::idClicked, this,
            [this](int id) { emit kindFilterChosen(KindFilter(id)); });
    choosers->addWidget(segments);

    m_rateMenu = new RateMenuBox(m_choosers);
    m_rateMenu->setAccessibleName(Tr::tr("Rate"));
    m_rateMenu->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_rateItems = new RateMenuModel(this);
    m_rateMenu->setModel(m_rateItems);
    // Its list lays out the rows in view only.
    if (auto *list = qobject_cast<QListView *>(m_rateMenu->view()))
        list->setUniformItemSizes(true);
    choosers->addWidget(m_rateMenu);
    connect(m_rateMenu, &QComboBox::activated, this, [this](int index) {
        if (index >= 0 && index < m_rateItems->rowCount({}))
            emit rateFilterChosen(m_rateItems->item(index).value);
    });
    m_choosers->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);

    m_search = new QLineEdit(this);
    m_search->setPlaceholderText(Tr::tr("Search track, artist or album"));
    // Every keystroke filters; there is no submit step.
    connect(m_search, &QLineEdit::textChanged, this, [this](const QString &text) {
        if (!m_showing)
            emit searchEdited(text);
    });

    m_column = new QVBoxLayout(this);
    // The bar's minimum is minimumSizeHint(), not whatever the arrangement on show asks for.
    m_column->setSizeConstraint(QLayout::SetNoConstraint);
    m_column->setContentsMargins(0, 0, 0, 0);
    m_column->setSpacing(8);
    m_row = new QHBoxLayout;
    m_row->setSpacing(10);
    m_row->addWidget(m_choosers);
    m_row->addStretch(1);
    m_column->addLayout(m_row);
    m_search->setFixedWidth(narrowSearchWidth);
    m_column->addWidget(m_search, 0, Qt::AlignLeft);
}

QAbstractButton *FilterBar::kindSegment(KindFilter kind) const
{
    return m_kinds->button(int(kind));
}

void FilterBar::showState(const LearnedRatesWindowView &view, const QList<TierMenuItem> &tierItems,
                          const QList<double> &rateChoices)
{
    m_showing = true;

    // The first title follows Music.app's setting, so the items are compared on every change.
    bool sameTier = m_tierChoices.size() == tierItems.size();
    for (int i = 0; sameTier && i < tierItems.size(); ++i)
        sameTier = m_tierMenu->itemText(i) == tierItems[i].title;
    if (!sameTier) {
        m_tierMenu->clear();
        m_tierChoices.clear();
        for (const TierMenuItem &item : tierItems) {
            if (item.separator)
                m_tierMenu->insertSeparator(m_tierMenu->count());
            else
                m_tierMenu->addItem(item.title);
            m_tierChoices.append(item.selects);
        }
    }
    int tierIndex = -1;
    for (int i = 0; i < tierItems.size(); ++i) {
        if (!tierItems[i].separator && tierItems[i].selects == view.tierFilter)
            tierIndex = i;
    }
    m_tierMenu->setCurrentIndex(tierIndex);

    if (QAbstractButton *segment = kindSegment(view.kindFilter))
        segment->setChecked(true);

    if (rateChoices != m_rateItems->rates()) {
        m_rateItems->setRates(rateChoices);
        const int count = m_rateItems->rowCount({});
        if (count <= measuredRateItems) {
            m_rateMenu->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        } else {
            qsizetype longest = 0;
            for (int row : {0, 1, 2, count - 2, count - 1})
                longest = std::max(longest, m_rateItems->item(row).title.size());
            m_rateMenu->setMinimumContentsLength(int(longest) + 1);
            m_rateMenu->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        }
    }
    // A chosen rate no row has any more shows as no choice.
    m_rateMenu->setCurrentIndex(m_rateItems->rowOf(view.rateFilter));

    if (m_search->text() != view.search)
        m_search->setText(view.search);
    m_showing = false;
    arrange(width());
}

int FilterBar::wideWidth() const
{
    const QMargins margins = contentsMargins();
    return margins.left() + m_choosers->sizeHint().width() + 10 + wideSearchWidth + margins.right();
}

int FilterBar::narrowWidth() const
{
    const QMargins margins = contentsMargins();
    return margins.left() + std::max(m_choosers->sizeHint().width(), narrowSearchWidth) + margins.right();
}

QSize FilterBar::minimumSizeHint() const
{
    return {narrowWidth(), QWidget::minimumSizeHint().height()};
}

bool FilterBar::event(QEvent *event)
{
    // The choosers' widths change with their menus' items and with the font.
    if (event->type() == QEvent::LayoutRequest)
        arrange(width());
    return QWidget::event(event);
}

void FilterBar::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    arrange(event->size().width());
}

void FilterBar::arrange(int width)
{
    const bool wide = wideWidth() <= width;
    if (wide == m_wide)
        return;
    m_wide = wide;
    m_row->removeWidget(m_search);
    m_column->removeWidget(m_search);
    if (wide) {
        m_search->setFixedWidth(wideSearchWidth);
        m_row->addWidget(m_search);
    } else {
        m_search->setFixedWidth(narrowSearchWidth);
        m_column->addWidget(m_search, 0, Qt::AlignLeft);
    }
    // Place the field now rather than on the next layout pass, so no frame shows it where the
    // other arrangement had it.
    m_column->activate();
}
