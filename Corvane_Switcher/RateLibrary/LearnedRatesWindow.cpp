#include "LearnedRatesWindow.h"

#include "EmptyStateView.h"
#include "Explainer/PredictionExplainer.h"
#include "FilterBar.h"
#include "FooterBar.h"
#include "HeapMemory.h"
#include "ImportPreviewSheet.h"
#include "LearnedRatesTableModel.h"
#include "LibraryTableView.h"
#include "RateLibraryIndex.h"
#include "RateLibraryRowText.h"
#include "SwitcherModel.h"
#include "WindowFactories.h"

#include <QApplication>
#include <QFrame>
#include <QHeaderView>
#include <QHideEvent>
#include <QMenu>
#include <QMessageBox>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QTableView>
#include <QThreadPool>
#include <QVBoxLayout>

#include <utility>

using namespace RateLibrary;

namespace RateLibrary {

LibraryInputs libraryInputs(const SwitcherModel &model, std::shared_ptr<const RateLibraryIndex> library)
{
    LibraryInputs inputs;
    inputs.library = std::move(library);
    inputs.musicQuality = model.musicQuality();
    inputs.device = model.device();
    return inputs;
}

} // namespace RateLibrary

namespace {

QFrame *divider(QWidget *parent)
{
    auto *line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Plain);
    line->setForegroundRole(QPalette::Mid);
    return line;
}

} // namespace

LearnedRatesWindow::LearnedRatesWindow(SwitcherModel &model, QWidget *parent)
    : QWidget(parent), m_model(&model)
{
    m_view.model = &model;
    m_view.historyExpanded = storedHistoryExpanded();
    m_view.openWindow = [workspace = model.platform().workspace](const QString &id) {
        if (workspace) {
            workspace->activateApplication();
            workspace->openWindow(id);
        }
    };
    setMinimumSize(minimumWindowSize);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    // Header: the explainer's cards go into `headerArea`, then the filter bar.
    auto *header = new QWidget(this);
    auto *headerColumn = new QVBoxLayout(header);
    headerColumn->setContentsMargins(12, 12, 12, 12);
    headerColumn->setSpacing(10);
    m_headerArea = new QVBoxLayout;
    m_headerArea->setSpacing(10);
    headerColumn->addLayout(m_headerArea);
    m_explainer = new PredictionExplainer(model, m_view);
    m_headerArea->addWidget(new ExplainerScrollArea(m_explainer, header));
    m_filterBar = new FilterBar(header);
    m_filterBar->setContentsMargins(0, 2, 0, 0);
    headerColumn->addWidget(m_filterBar);
    column->addWidget(header);
    column->addWidget(divider(this));

    m_middle = new QStackedWidget(this);
    m_emptyState = new EmptyStateView(m_middle);
    m_middle->addWidget(m_emptyState);
    buildTable();
    m_middle->addWidget(m_table);
    // However tall the explainer is, the table keeps room for a few rows; the explainer scrolls.
    m_middle->setMinimumHeight(minimumTableHeight);
    column->addWidget(m_middle, 1);
    column->addWidget(divider(this));

    m_footer = new FooterBar(
        model, [this](Confirmation kind) { presentConfirmation(kind); }, this);
    column->addWidget(m_footer);

    connect(m_filterBar, &FilterBar::tierFilterChosen, this, &LearnedRatesWindow::setTierFilter);
    connect(m_filterBar, &FilterBar::kindFilterChosen, this, &LearnedRatesWindow::setKindFilter);
    connect(m_filterBar, &FilterBar::rateFilterChosen, this, &LearnedRatesWindow::setRateFilter);
    connect(m_filterBar, &FilterBar::searchEdited, this, &LearnedRatesWindow::setSearch);
    connect(&model, &SwitcherModel::changed, this, &LearnedRatesWindow::refresh);
    refresh();
    m_importPreview = std::make_unique<ImportPreviewBinding>(model, this);
}

LearnedRatesWindow::~LearnedRatesWindow()
{
    // What the model announces from here on (the sheet's preview dismissed, the subscription
    // ended) must not reach a window half taken down.
    if (m_model)
        disconnect(m_model, nullptr, this, nullptr);
    m_importPreview.reset();
    // Deleted without being hidden first: still tell the companion we stopped listening.
    if (m_subscribed && m_model)
        endSubscription();
    // The explainer writes the view state, which goes before the child widgets do.
    delete std::exchange(m_explainer, nullptr);
}

void LearnedRatesWindow::buildTable()
{
    m_tableModel = new LearnedRatesTableModel(this);
    auto *table = new LibraryTableView(
        m_tableModel,
        [this](const QModelIndex &index, const QPoint &globalPos) { showPinMenu(index, globalPos); },
        m_middle);
    m_table = table;
    table->showSortOrder(m_view.sortOrder);
    // A header click replaces the sort order with that column's.
    connect(m_table->horizontalHeader(), &QHeaderView::sortIndicatorChanged, this,
            [this](int section, Qt::SortOrder order) {
                if (section < 0 || section >= tableColumns().size())
                    return;
                setSortOrder({SortComparator{tableColumns().at(section).key, order == Qt::DescendingOrder}});
            });
    connect(m_table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &LearnedRatesWindow::userSelectionChanged);
    connect(m_table, &QWidget::customContextMenuRequested, this, &LearnedRatesWindow::showContextMenu);
}

ImportPreviewSheet *LearnedRatesWindow::importPreviewSheet() const
{
    return m_importPreview ? m_importPreview->sheet() : nullptr;
}

void LearnedRatesWindow::setNow(std::function<QDateTime()> now)
{
    m_explainer->setNow(now);
    m_tableModel->setNow(std::move(now));
    m_table->viewport()->update();
}

void LearnedRatesWindow::refresh()
{
    if (!m_model)
        return;
    SwitcherModel &model = *m_model;
    m_inputs = libraryInputs(model, indexFor(model.learnedRates()));
    std::vector<int> visible = visibleRowIndices(m_inputs, m_view);
    ++m_filterPasses;
    const bool peer = model.switcher().link().isPeer();
    m_region = middleRegion(peer, m_inputs, m_view, visible.size());

    m_filterBar->showState(m_view, tierMenuItems(m_inputs.musicQuality), rateChoices(m_inputs, m_view));
    m_footer->showItems(RateLibrary::footerBar(model, libraryCounts(m_inputs, visible.size())));

    m_restoringSelection = true;
    const bool reset = m_region == MiddleRegion::table
                           ? m_tableModel->setRows(m_inputs.library, std::move(visible), pinRates())
                           : m_tableModel->setRows(nullptr, {}, {});
    if (reset)
        restoreSelection();
    m_restoringSelection = false;

    if (m_region == MiddleRegion::table) {
        m_middle->setCurrentWidget(m_table);
    } else {
        m_emptyState->setTexts(emptyStateText(m_region));
        m_middle->setCurrentWidget(m_emptyState);
    }
    m_explainer->refresh(m_inputs);
}

std::shared_ptr<const RateLibraryIndex>
LearnedRatesWindow::indexFor(const std::optional<SwitcherProtocol::LearnedRates> &rates)
{
    const std::shared_ptr<const RateLibraryIndex> &shown = m_inputs.library;
    if (!rates) {
        m_preparing.reset();
        return nullptr;
    }
    // The same rows under a new header (outputs, now playing, notice) reuse what is prepared.
    if ((shown && shown->rates().rows.isSharedWith(rates->rows)) || !preparedInBackground(*rates))
        return RateLibraryIndex::forLibrary(*rates, shown);
    if (!m_preparing || !m_preparing->rows.isSharedWith(rates->rows))
        startPreparing(*rates);
    return shown; // until the new one is ready; none shows "Loading…"
}

bool LearnedRatesWindow::preparedInBackground(const SwitcherProtocol::LearnedRates &rates)
{
    if (rates.rows.size() + rates.outputs.size() >= backgroundPreparationRows)
        return true;
    // A few rows may still carry millions of characters, all of them lowered for the search.
    const auto length = [](const std::optional<QString> &text) { return text ? text->size() : 0; };
    qsizetype text = 0;
    for (const Row &row : rates.rows)
        text += length(row.title) + length(row.artist) + length(row.album);
    return text >= backgroundPreparationText;
}

void LearnedRatesWindow::startPreparing(const SwitcherProtocol::LearnedRates &rates)
{
    m_preparing = rates;
    QPointer<LearnedRatesWindow> window(this);
    const SortComparator initial = LearnedRatesWindowView().sortOrder.first();
    // The one on show is only read: its prepared texts never change.
    QThreadPool::globalInstance()->start([window, rates, initial, earlier = m_inputs.library]() mutable {
        // With the table's first sort, also off the main thread.
        auto index = std::make_shared<const RateLibraryIndex>(rates, earlier.get(), initial.key);
        // Freed here when the window has let it go meanwhile.
        earlier.reset();
        QMetaObject::invokeMethod(
            qApp,
            [window, index]() mutable {
                if (window)
                    window->adoptPrepared(std::move(index));
                else
                    releaseOffMainThread(std::move(index));
            },
            Qt::QueuedConnection);
    });
}

void LearnedRatesWindow::adoptPrepared(std::shared_ptr<const RateLibraryIndex> index)
{
    // A newer Rate Library may have arrived (or none) while this one was being prepared.
    if (!m_preparing || !m_preparing->rows.isSharedWith(index->rates().rows) || !m_model) {
        releaseOffMainThread(std::move(index));
        return;
    }
    m_preparing.reset();
    std::shared_ptr<const RateLibraryIndex> replaced = std::move(m_inputs.library);
    m_inputs.library = std::move(index);
    refresh();
    releaseOffMainThread(std::move(replaced));
}

void LearnedRatesWindow::releaseOffMainThread(std::shared_ptr<const RateLibraryIndex> index)
{
    // Freeing 100,000 rows and their search text takes tens of milliseconds; when this is the
    // last reference, let a worker thread pay for it, and give the freed pages back: the next
    // library is the same size, and the switcher stays open all day.
    if (index && index->size() >= backgroundPreparationRows) {
        QThreadPool::globalInstance()->start([index = std::move(index)]() mutable {
            index.reset();
            HeapMemory::giveBackFreedPages();
        });
    }
}

void LearnedRatesWindow::setTierFilter(const TierFilter &filter)
{
    m_view.tierFilter = filter;
    refresh();
}

void LearnedRatesWindow::setKindFilter(KindFilter kind)
{
    m_view.kindFilter = kind;
    refresh();
}

void LearnedRatesWindow::setRateFilter(double rate)
{
    m_view.rateFilter = rate;
    refresh();
}

void LearnedRatesWindow::setSearch(const QString &text)
{
    m_view.search = text;
    refresh();
}

void LearnedRatesWindow::setSortOrder(const SortOrder &order)
{
    m_view.sortOrder = order;
    {
        const QSignalBlocker quiet(m_table->horizontalHeader());
        static_cast<LibraryTableView *>(m_table)->showSortOrder(order);
    }
    refresh();
}

QList<double> LearnedRatesWindow::pinRates() const
{
    // Always the attached output, never the one picked in the explainer.
    if (!m_model || !m_inputs.device || !m_inputs.device->uid)
        return {};
    return m_model->supportedStandardRates(*m_inputs.device->uid);
}

RowCommands LearnedRatesWindow::rowCommands() const
{
    QPointer<SwitcherModel> model = m_model;
    return {
        [model](const Row &row, double rate) {
            if (model)
                model->pinRate(row, rate);
        },
        [model](const SwitcherProtocol::PinLearnedRate &pin) {
            if (model)
                model->switcher().pinLearnedRate(pin);
        },
        [model](const QString &id, const QString &tier) {
            if (model)
                model->switcher().unpinLearnedRate(id, tier);
        },
        [model](const QString &id, const QString &tier) {
            if (model)
                model->switcher().forgetLearnedRate(id, tier);
        },
    };
}

MenuItems LearnedRatesWindow::pinMenuForTableRow(int row) const
{
    const Row *shown = m_tableModel->rowAt(row);
    const QList<double> rates = m_tableModel->pinRates();
    if (!shown || rates.isEmpty())
        return {};
    return rowPinMenu(*shown, rates, rowCommands());
}

MenuItems LearnedRatesWindow::selectionMenuFor(const QSet<QString> &ids) const
{
    if (!m_tableModel->library())
        return {};
    const QList<Row> rows = selectedRows(*m_tableModel->library(), m_tableModel->visible(), ids);
    return selectionMenu(rows, m_tableModel->pinRates(), rowCommands());
}

void LearnedRatesWindow::showPinMenu(const QModelIndex &index, const QPoint &globalPos)
{
    const MenuItems items = pinMenuForTableRow(index.row());
    if (items.isEmpty())
        return;
    QMenu *menu = makeMenu(items, this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(globalPos);
}

void LearnedRatesWindow::showContextMenu(const QPoint &pos)
{
    // A click on a selected row acts on the selection, on another row on that row alone.
    const QModelIndex index = m_table->indexAt(pos);
    QSet<QString> ids;
    if (index.isValid()) {
        const QString clicked = m_tableModel->keyedIdAt(index.row());
        ids = m_view.selection.contains(clicked) ? m_view.selection : QSet<QString>{clicked};
    }
    const MenuItems items = selectionMenuFor(ids);
    if (items.isEmpty())
        return;
    QMenu *menu = makeMenu(items, this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(m_table->viewport()->mapToGlobal(pos));
}

void LearnedRatesWindow::userSelectionChanged()
{
    if (m_restoringSelection)
        return;
    QSet<QString> ids;
    for (const QModelIndex &index : m_table->selectionModel()->selectedRows())
        ids.insert(m_tableModel->keyedIdAt(index.row()));
    m_view.selection = ids;
}

void LearnedRatesWindow::restoreSelection()
{
    const auto &library = m_tableModel->library();
    if (m_view.selection.isEmpty() || !library)
        return;
    std::vector<std::uint8_t> chosen(std::size_t(library->size()), 0);
    for (const QString &id : m_view.selection) {
        const int row = library->rowForKeyedId(id);
        if (row >= 0)
            chosen[std::size_t(row)] = 1;
    }
    QItemSelection selection;
    const std::vector<int> &visible = m_tableModel->visible();
    const int last = m_tableModel->columnCount() - 1;
    int start = -1;
    for (int p = 0; p <= int(visible.size()); ++p) {
        const bool on = p < int(visible.size()) && chosen[std::size_t(visible[std::size_t(p)])];
        if (on && start < 0)
            start = p;
        if (!on && start >= 0) {
            selection.select(m_tableModel->index(start, 0), m_tableModel->index(p - 1, last));
            start = -1;
        }
    }
    m_table->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

void LearnedRatesWindow::presentConfirmation(Confirmation kind)
{
    if (!m_model)
        return;
    bool LearnedRatesWindowView::*flag =
        kind == Confirmation::forgetAll ? &LearnedRatesWindowView::confirmForgetAll
        : kind == Confirmation::reset   ? &LearnedRatesWindowView::confirmReset
                                        : &LearnedRatesWindowView::confirmRemovePins;
    m_view.*flag = true;
    QPointer<SwitcherModel> model = m_model;
    auto send = [model, kind] {
        if (!model)
            return;
        switch (kind) {
        case Confirmation::forgetAll:
            model->switcher().forgetRates();
            break;
        case Confirmation::reset:
            model->switcher().resetStore();
            break;
        case Confirmation::removePins:
            model->switcher().removeAllPins();
            break;
        }
    };
    if (m_dialog)
        m_dialog->reject();
    QMessageBox *dialog = makeConfirmationDialog(kind, send, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::finished, this, [this, flag] { m_view.*flag = false; });
    m_dialog = dialog;
    dialog->open();
}

void LearnedRatesWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_subscribed) {
        m_subscribed = true;
        startSubscription();
    }
}

void LearnedRatesWindow::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    if (event->spontaneous()) // minimised, not closed
        return;
    if (m_subscribed) {
        m_subscribed = false;
        endSubscription();
    }
}

void LearnedRatesWindow::startSubscription()
{
    SwitcherModel &model = *m_model;
    // Clear first, so an old Rate Library is never shown before the companion's fresh answer.
    model.setLearnedRates(std::nullopt);
    model.learnedRatesWindowOpen = true;
    model.subscribedThisPairing = model.switcher().link().isPeer();
    model.switcher().requestLearnedRates(true);
    refresh();
}

void LearnedRatesWindow::endSubscription()
{
    SwitcherModel &model = *m_model;
    model.learnedRatesWindowOpen = false;
    model.subscribedThisPairing = false;
    model.setRateLibraryStatus(std::nullopt);
    model.switcher().requestLearnedRates(false);
}

QWidget *makeLearnedRatesWindow(SwitcherModel &model)
{
    return new LearnedRatesWindow(model);
}
