#include "PlaybackHistoryWindow.h"

#include "Common/ElidingLabel.h"
#include "Common/ShownText.h"
#include "Common/ShownTextDelegate.h"
#include "PlaybackHistoryDelegates.h"
#include "PlaybackHistoryStyle.h"
#include "PlaybackHistoryTableModel.h"
#include "SwitcherModel.h"
#include "WindowFactories.h"

#include <QButtonGroup>
#include <QCoreApplication>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStackedWidget>
#include <QStyle>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>

namespace {
struct Tr {
    Q_DECLARE_TR_FUNCTIONS(PlaybackHistoryWindow)
};

using Filter = PlaybackHistoryWindowView::Filter;
using Content = PlaybackHistoryWindowView::Content;

// Page order of the content stack.
constexpr int noPlaysPage = 0;
constexpr int nothingMatchesPage = 1;
constexpr int tablePage = 2;

QFrame *divider(QWidget *parent)
{
    auto *line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

void setTextColor(QWidget *widget, const QColor &color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    widget->setPalette(palette);
}
} // namespace

PlaybackHistoryWindow::PlaybackHistoryWindow(SwitcherModel &model, QWidget *parent)
    : QWidget(parent), m_model(model)
{
    //: Title of the Playback History window.
    setWindowTitle(Tr::tr("Playback History"));
    setMinimumSize(820, 360);
    resize(960, 520);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(makeToolbar());
    layout->addWidget(divider(this));
    layout->addWidget(makeContent(), 1);
    layout->addWidget(divider(this));
    layout->addWidget(makeFooter());

    connect(&m_model, &SwitcherModel::changed, this, &PlaybackHistoryWindow::modelChanged);
    m_shownHistory = m_model.history();
    refresh();
}

QWidget *PlaybackHistoryWindow::makeToolbar()
{
    auto *bar = new QWidget(this);
    auto *row = new QHBoxLayout(bar);
    row->setContentsMargins(12, 12, 12, 12);
    row->setSpacing(10);

    // A segmented control: one exclusive button per filter, drawn edge to edge.
    auto *picker = new QWidget(bar);
    //: Accessible label of the Playback History filter; not shown.
    picker->setAccessibleName(Tr::tr("Show"));
    //: Hover help of the Playback History filter.
    picker->setToolTip(
        Tr::tr("Differed: the play's settled rate (the Rate Library's verdict, not a lossy or 48 kHz "
               "opening step) was not the predicted one, or Mid-Track Correction relocked it. "
               "Estimates: predictions from step 5. Pins: plays of a pinned track."));
    auto *segments = new QHBoxLayout(picker);
    segments->setContentsMargins(0, 0, 0, 0);
    segments->setSpacing(0);
    m_filters = new QButtonGroup(picker);
    m_filters->setExclusive(true);
    for (int i = 0; i < PlaybackHistoryWindowView::allFilters.size(); ++i) {
        const Filter filter = PlaybackHistoryWindowView::allFilters.at(i);
        auto *segment = new QToolButton(picker);
        segment->setText(PlaybackHistoryWindowView::label(filter));
        segment->setCheckable(true);
        segment->setChecked(filter == m_view.filter);
        segment->setToolTip(picker->toolTip());
        segment->setObjectName(PlaybackHistoryWindowView::rawValue(filter));
        m_filters->addButton(segment, i);
        segments->addWidget(segment);
    }
    picker->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(m_filters, &QButtonGroup::idClicked, this,
            [this](int id) { setFilter(PlaybackHistoryWindowView::allFilters.at(id)); });
    row->addWidget(picker);
    row->addStretch(1);

    m_search = new QLineEdit(bar);
    //: Placeholder of the Playback History search field.
    m_search->setPlaceholderText(Tr::tr("Search track or artist"));
    m_search->setFixedWidth(220);
    connect(m_search, &QLineEdit::textChanged, this, &PlaybackHistoryWindow::setSearch);
    row->addWidget(m_search);
    return bar;
}

QWidget *PlaybackHistoryWindow::makeContent()
{
    m_pages = new QStackedWidget(this);

    auto *empty = new QWidget(m_pages);
    auto *emptyLayout = new QVBoxLayout(empty);
    emptyLayout->setSpacing(6);
    emptyLayout->addStretch(1);
    //: Playback History when no play has been recorded.
    auto *emptyTitle = new QLabel(Tr::tr("No plays yet"), empty);
    emptyTitle->setFont(PlaybackHistoryStyle::headlineFont());
    emptyTitle->setAlignment(Qt::AlignCenter);
    emptyLayout->addWidget(emptyTitle, 0, Qt::AlignHCenter);
    //: Playback History when no play has been recorded: how plays get here.
    auto *emptyText =
        new QLabel(Tr::tr("Play a track through Music.app with Corvane Mac Remote paired; each play "
                          "appears here with its prediction and its outcome."),
                   empty);
    emptyText->setFont(PlaybackHistoryStyle::calloutFont());
    setTextColor(emptyText, PlaybackHistoryStyle::toneColor(PlaybackHistoryTableModel::Tone::secondary));
    emptyText->setAlignment(Qt::AlignCenter);
    emptyText->setWordWrap(true);
    // Centred by stretches rather than by alignment, so that the layout asks the wrapped text
    // for its height at the width it really gets.
    emptyText->setMaximumWidth(420);
    auto *textRow = new QHBoxLayout;
    textRow->addStretch(1);
    textRow->addWidget(emptyText, 100);
    textRow->addStretch(1);
    emptyLayout->addLayout(textRow);
    emptyLayout->addStretch(1);
    m_pages->insertWidget(noPlaysPage, empty);

    //: Playback History when the filter and search hide every play.
    auto *nothing = new QLabel(Tr::tr("Nothing matches"), m_pages);
    nothing->setFont(PlaybackHistoryStyle::headlineFont());
    nothing->setAlignment(Qt::AlignCenter);
    m_pages->insertWidget(nothingMatchesPage, nothing);

    m_tableModel = new PlaybackHistoryTableModel(this);
    m_tableView = new QTableView(m_pages);
    m_tableView->setModel(m_tableModel);
    m_tableView->setFont(PlaybackHistoryStyle::bodyFont());
    m_tableView->setItemDelegate(new ShownTextDelegate(this));
    m_tableView->setItemDelegateForColumn(PlaybackHistoryTableModel::track,
                                          new PlaybackHistoryTrackDelegate(this));
    m_tableView->setItemDelegateForColumn(PlaybackHistoryTableModel::time,
                                          new PlaybackHistoryTimeDelegate(this));
    m_tableView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_tableView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_tableView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tableView->setSortingEnabled(false);
    m_tableView->setShowGrid(false);
    m_tableView->setAlternatingRowColors(true);
    m_tableView->setWordWrap(false);
    m_tableView->setFrameShape(QFrame::NoFrame);
    m_tableView->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_tableView->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    QHeaderView *rows = m_tableView->verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(PlaybackHistoryTrackDelegate::rowHeight());
    QHeaderView *header = m_tableView->horizontalHeader();
    header->setFont(PlaybackHistoryStyle::smallControlFont());
    header->setSectionsClickable(false);
    header->setSortIndicatorShown(false);
    header->setHighlightSections(false);
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setMinimumSectionSize(
        PlaybackHistoryTableModel::columns[PlaybackHistoryTableModel::setting].minimum);
    header->setStretchLastSection(false);
    connect(header, &QHeaderView::sectionResized, this,
            [this](int column, int, int width) { clampColumn(column, width); });
    m_tableView->viewport()->installEventFilter(this);
    connect(m_tableView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &PlaybackHistoryWindow::selectionChanged);
    m_pages->insertWidget(tablePage, m_tableView);
    fitColumns();
    return m_pages;
}

QWidget *PlaybackHistoryWindow::makeFooter()
{
    auto *bar = new QWidget(this);
    auto *row = new QHBoxLayout(bar);
    row->setContentsMargins(12, 8, 12, 8);
    row->setSpacing(10);

    auto *summary = new ElidingLabel(bar);
    summary->setFont(PlaybackHistoryStyle::captionFont());
    setTextColor(summary, PlaybackHistoryStyle::toneColor(PlaybackHistoryTableModel::Tone::secondary));
    summary->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_summary = summary;
    row->addWidget(summary, 1);

    //: Playback History button; asks before it empties the history.
    m_clear = new QPushButton(Tr::tr("Clear History…"), bar);
    //: Playback History button; writes every play to a CSV file.
    m_export = new QPushButton(Tr::tr("Export as CSV…"), bar);
    for (QPushButton *button : {m_clear, m_export}) {
        button->setFont(PlaybackHistoryStyle::smallControlFont());
        button->setAutoDefault(false);
        row->addWidget(button);
    }
    connect(m_clear, &QPushButton::clicked, this, &PlaybackHistoryWindow::requestClear);
    // The export covers the whole store, whatever the filter, the search or the selection.
    connect(m_export, &QPushButton::clicked, this, &PlaybackHistoryWindow::exportCsv);
    return bar;
}

PlaybackHistoryWindowView::Content PlaybackHistoryWindow::content() const
{
    return PlaybackHistoryWindowView::content(m_model.history(), m_tableModel->rowCount());
}

QAbstractButton *PlaybackHistoryWindow::filterButton(Filter filter) const
{
    return m_filters->button(int(PlaybackHistoryWindowView::allFilters.indexOf(filter)));
}

QString PlaybackHistoryWindow::summaryText() const
{
    return static_cast<ElidingLabel *>(m_summary)->fullText();
}

void PlaybackHistoryWindow::setFilter(Filter filter)
{
    if (QAbstractButton *button = filterButton(filter); button && !button->isChecked())
        button->setChecked(true);
    if (m_view.filter == filter)
        return;
    m_view.filter = filter;
    refresh();
}

void PlaybackHistoryWindow::setSearch(const QString &text)
{
    if (m_search->text() != text)
        m_search->setText(text); // comes back here through textChanged
    if (m_view.search == text)
        return;
    m_view.search = text;
    refresh();
}

void PlaybackHistoryWindow::modelChanged()
{
    // The model announces every published value; only a different history changes this window.
    if (m_model.history() == m_shownHistory)
        return;
    m_shownHistory = m_model.history();
    refresh();
}

void PlaybackHistoryWindow::refresh()
{
    const QList<PlaybackHistory::Entry> &history = m_model.history();
    const QUuid current = m_tableView->currentIndex().data(PlaybackHistoryTableModel::idRole).toUuid();
    m_searchText.keepOnly(history);
    m_tableModel->setEntries(m_view.visibleEntries(history, m_searchText));
    restoreSelection();
    restoreCurrent(current);

    switch (PlaybackHistoryWindowView::content(history, m_tableModel->rowCount())) {
    case Content::noPlays:
        m_pages->setCurrentIndex(noPlaysPage);
        break;
    case Content::nothingMatches:
        m_pages->setCurrentIndex(nothingMatchesPage);
        break;
    case Content::table:
        m_pages->setCurrentIndex(tablePage);
        break;
    }
    static_cast<ElidingLabel *>(m_summary)->setFullText(
        PlaybackHistoryWindowView::summaryText(history, m_tableModel->rowCount()));
    const bool enabled = PlaybackHistoryWindowView::buttonsEnabled(history);
    m_clear->setEnabled(enabled);
    m_export->setEnabled(enabled);
}

void PlaybackHistoryWindow::restoreSelection()
{
    if (m_view.selection.isEmpty())
        return;
    // Contiguous runs of selected rows become one range each.
    QItemSelection selection;
    const int last = PlaybackHistoryTableModel::columnTotal - 1;
    const QList<PlaybackHistory::Entry> &rows = m_tableModel->entries();
    for (int row = 0; row < rows.size(); ++row) {
        if (!m_view.selection.contains(rows.at(row).id))
            continue;
        int end = row;
        while (end + 1 < rows.size() && m_view.selection.contains(rows.at(end + 1).id))
            ++end;
        selection.select(m_tableModel->index(row, 0), m_tableModel->index(end, last));
        row = end;
    }
    m_restoringSelection = true;
    m_tableView->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    m_restoringSelection = false;
}

void PlaybackHistoryWindow::restoreCurrent(const QUuid &id)
{
    if (id.isNull())
        return;
    const QList<PlaybackHistory::Entry> &rows = m_tableModel->entries();
    for (int row = 0; row < rows.size(); ++row) {
        if (rows.at(row).id == id) {
            // Keyboard navigation goes on from the same play; the selection is already back.
            m_tableView->selectionModel()->setCurrentIndex(m_tableModel->index(row, 0),
                                                           QItemSelectionModel::NoUpdate);
            return;
        }
    }
}

void PlaybackHistoryWindow::selectionChanged(const QItemSelection &selected, const QItemSelection &deselected)
{
    if (m_restoringSelection)
        return;
    // Apply the change rather than re-reading the view, so that selected plays a filter hides
    // stay selected for when they show again.
    for (const QModelIndex &index : deselected.indexes()) {
        if (index.column() == 0)
            m_view.selection.remove(index.data(PlaybackHistoryTableModel::idRole).toUuid());
    }
    for (const QModelIndex &index : selected.indexes()) {
        if (index.column() == 0)
            m_view.selection.insert(index.data(PlaybackHistoryTableModel::idRole).toUuid());
    }
}

bool PlaybackHistoryWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_tableView->viewport() && event->type() == QEvent::Resize)
        fitColumns();
    return QWidget::eventFilter(watched, event);
}

void PlaybackHistoryWindow::fitColumns()
{
    // The short fixed-form columns get what their widest texts (a late date and time of this
    // locale, the longest rates) need in this platform's fonts, so that they are never cut, and
    // what their header needs while there is room.
    QHeaderView *header = m_tableView->horizontalHeader();
    const QFontMetrics headerMetrics(header->font());
    // As a cell draws its text: inside the style's margins, shortened when it does not fit.
    const int margin =
        m_tableView->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_tableView) + 1;
    const QFontMetricsF cellMetrics(m_tableView->font());
    for (int column = 0; column < PlaybackHistoryTableModel::columnTotal; ++column) {
        if (PlaybackHistoryTableModel::columns[column].maximum == 0)
            continue;
        const QString title = m_tableModel->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
        qreal widest = 0;
        for (const QString &text : PlaybackHistoryTableModel::widestTexts(column))
            widest = std::max(widest, cellMetrics.horizontalAdvance(text));
        m_measured[column].preferred = headerMetrics.horizontalAdvance(title) + 16;
        m_measured[column].needed = widest > 0 ? int(std::ceil(widest)) + 2 * margin : 0;
    }
    const auto widths = PlaybackHistoryTableModel::columnWidths(m_tableView->viewport()->width(), m_measured);
    for (int column = 0; column < PlaybackHistoryTableModel::columnTotal; ++column)
        header->resizeSection(column, widths[column]);
}

void PlaybackHistoryWindow::clampColumn(int column, int width)
{
    const auto bounds = PlaybackHistoryTableModel::boundsFor(column, m_measured.at(column));
    const int clamped =
        std::max(bounds.minimum, bounds.maximum > 0 ? std::min(width, bounds.maximum) : width);
    if (clamped != width)
        m_tableView->horizontalHeader()->resizeSection(column, clamped);
}

QMessageBox *PlaybackHistoryWindow::makeClearConfirmation(QWidget *parent)
{
    auto *box = new QMessageBox(parent);
    //: Title and question of the Playback History clear confirmation.
    const QString question = Tr::tr("Clear the playback history?");
    box->setWindowTitle(question);
    box->setText(question);
    //: The Playback History clear confirmation's message.
    box->setInformativeText(Tr::tr("Every row goes. The Rate Library itself is not touched."));
    box->setIcon(QMessageBox::Warning);
    //: The Playback History clear confirmation's destructive button.
    QPushButton *clear = box->addButton(Tr::tr("Clear History"), QMessageBox::DestructiveRole);
    clear->setObjectName(QStringLiteral("clearHistory"));
    QPushButton *cancel = box->addButton(QMessageBox::Cancel);
    box->setDefaultButton(cancel);
    box->setEscapeButton(cancel);
    return box;
}

QMessageBox *PlaybackHistoryWindow::clearConfirmation() const
{
    return m_confirmation;
}

void PlaybackHistoryWindow::requestClear()
{
    if (m_confirmation)
        return;
    m_view.confirmClear = true;
    QMessageBox *box = makeClearConfirmation(this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    m_confirmation = box;
    connect(box, &QMessageBox::finished, this, [this, box] {
        m_view.confirmClear = false;
        // The window never empties its own copy: the store's change reaches the model, and the
        // model's change reaches this window.
        if (box->clickedButton() && box->clickedButton()->objectName() == u"clearHistory")
            m_model.switcher().history().clear();
    });
    box->open();
}

QMessageBox *PlaybackHistoryWindow::exportFailure() const
{
    return m_exportFailure;
}

void PlaybackHistoryWindow::exportCsv()
{
    const std::optional<QString> failure = m_model.exportHistoryCSV();
    if (!failure)
        return;
    if (m_exportFailure)
        m_exportFailure->close();
    //: Title and headline of the message shown when the CSV export could not be written.
    const QString headline = Tr::tr("The playback history could not be exported");
    auto *box = new QMessageBox(QMessageBox::Warning, headline, headline, QMessageBox::Ok, this);
    // It names the chosen file: shown as written, never as markup or a link.
    box->setInformativeText(ShownText::literal(*failure));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    m_exportFailure = box;
    box->open();
}

QWidget *makePlaybackHistoryWindow(SwitcherModel &model)
{
    return new PlaybackHistoryWindow(model);
}
