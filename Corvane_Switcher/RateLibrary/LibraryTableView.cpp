#include "LibraryTableView.h"

#include "Common/ShownTextDelegate.h"
#include "LearnedRatesTableModel.h"
#include "RateLibraryRowText.h"

#include <QHeaderView>
#include <QStyleOptionHeader>

using namespace RateLibrary;

namespace {

// The Mac points the sort arrow up for ascending order; Qt's styles point it down.
class LibraryHeader final : public QHeaderView {
public:
    explicit LibraryHeader(QWidget *parent) : QHeaderView(Qt::Horizontal, parent) {}

protected:
    void initStyleOptionForIndex(QStyleOptionHeader *option, int logicalIndex) const override
    {
        QHeaderView::initStyleOptionForIndex(option, logicalIndex);
        if (option->sortIndicator == QStyleOptionHeader::SortDown)
            option->sortIndicator = QStyleOptionHeader::SortUp;
        else if (option->sortIndicator == QStyleOptionHeader::SortUp)
            option->sortIndicator = QStyleOptionHeader::SortDown;
    }
};

} // namespace

LibraryTableView::LibraryTableView(LearnedRatesTableModel *model, RateCellDelegate::OpenMenu openPinMenu,
                                   QWidget *parent)
    : QTableView(parent)
{
    setHorizontalHeader(new LibraryHeader(this));
    setModel(model);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(false);
    setWordWrap(false);
    setAlternatingRowColors(true);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setContextMenuPolicy(Qt::CustomContextMenu);
    verticalHeader()->hide();

    setItemDelegate(new ShownTextDelegate(this));
    auto *trackDelegate = new TrackCellDelegate(this);
    setItemDelegateForColumn(0, trackDelegate);
    setItemDelegateForColumn(3, new RateCellDelegate(std::move(openPinMenu), this));
    setItemDelegateForColumn(4, new SourceBadgeDelegate(this));
    QHeaderView *rows = verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(trackDelegate->sizeHint(QStyleOptionViewItem(), QModelIndex()).height());

    QHeaderView *columns = horizontalHeader();
    columns->setSectionsClickable(true);
    columns->setSortIndicatorShown(true);
    columns->setHighlightSections(false);
    columns->setStretchLastSection(false);
    columns->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    columns->setMinimumSectionSize(40);
    const auto &described = tableColumns();
    for (int c = 0; c < described.size(); ++c) {
        columns->setSectionResizeMode(c, QHeaderView::Interactive);
        columns->resizeSection(c, described[c].idealWidth);
    }
    connect(columns, &QHeaderView::sectionResized, this, [columns](int section, int, int size) {
        const TableColumn &described = tableColumns().at(section);
        if (size < described.minWidth)
            columns->resizeSection(section, described.minWidth);
        else if (described.maxWidth > 0 && size > described.maxWidth)
            columns->resizeSection(section, described.maxWidth);
    });
}

void LibraryTableView::showSortOrder(const SortOrder &order)
{
    if (order.isEmpty())
        return;
    const auto &described = tableColumns();
    for (int c = 0; c < described.size(); ++c) {
        if (described[c].key == order.first().key)
            horizontalHeader()->setSortIndicator(c, order.first().reverse ? Qt::DescendingOrder
                                                                          : Qt::AscendingOrder);
    }
}

void LibraryTableView::fitColumns()
{
    const auto &columns = tableColumns();
    int fixed = 0;
    for (int c = 2; c < columns.size(); ++c)
        fixed += horizontalHeader()->sectionSize(c);
    const int room = viewport()->width() - fixed;
    const int ideal = columns[0].idealWidth + columns[1].idealWidth;
    const int track = std::max(columns[0].minWidth, room * columns[0].idealWidth / ideal);
    horizontalHeader()->resizeSection(0, track);
    horizontalHeader()->resizeSection(1, std::max(columns[1].minWidth, room - track));
}

void LibraryTableView::resizeEvent(QResizeEvent *event)
{
    QTableView::resizeEvent(event);
    fitColumns();
}
