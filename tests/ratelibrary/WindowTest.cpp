#include "WindowTestSupport.h"

#include "RateLibrary/EmptyStateView.h"
#include "RateLibrary/FilterBar.h"
#include "RateLibrary/LearnedRatesTableModel.h"
#include "RateLibrary/RateLibraryCells/RateLibraryDelegates.h"
#include "RateLibrary/RateLibraryRowText.h"

#include <QAbstractButton>
#include <QAbstractItemModelTester>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QTableView>

using namespace RateLibrary;
using namespace RateLibraryWindowTest;

namespace {

int tableRowOf(const LearnedRatesWindow &window, const QString &keyedId)
{
    for (int r = 0; r < window.tableModel()->rowCount(); ++r) {
        if (window.tableModel()->keyedIdAt(r) == keyedId)
            return r;
    }
    return -1;
}

QStringList menuTitles(const MenuItems &items)
{
    QStringList out;
    for (const MenuItem &item : items)
        out.append(item.kind == MenuItem::Kind::separator ? QStringLiteral("---") : item.title);
    return out;
}

QMenu *openPopupMenu()
{
    QMenu *menu = nullptr;
    eventually([&] {
        menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        return menu != nullptr;
    });
    return menu;
}

QStringList actionTitles(const QMenu *menu)
{
    QStringList out;
    for (const QAction *action : menu->actions())
        out.append(action->isSeparator() ? QStringLiteral("---") : action->text());
    return out;
}

} // namespace

TEST(RateLibraryWindow, goesFromNoCompanionToLoadingToTheTableAndItsEmptyStates)
{
    ModelHarness h;
    LearnedRatesWindow window(*h.model);
    window.show();
    EXPECT_EQ(window.minimumSize(), QSize(1000, 640));
    EXPECT_EQ(window.shownRegion(), MiddleRegion::needsCompanion);
    EXPECT_EQ(window.emptyState()->title(), "Needs Corvane Mac Remote connected");
    EXPECT_TRUE(h.model->learnedRatesWindowOpen);
    EXPECT_FALSE(h.model->subscribedThisPairing);

    // The companion pairs after the window opened: the model subscribes by itself.
    LoopbackPeer peer;
    ASSERT_TRUE(pair(h, peer));
    ASSERT_TRUE(peer.waitForType(QStringLiteral("learnedRatesRequest")));
    EXPECT_TRUE(peer.receivedOfType(QStringLiteral("learnedRatesRequest"))
                    .last()
                    .payload.value("subscribe")
                    .toBool());
    ASSERT_TRUE(eventually([&] { return window.shownRegion() == MiddleRegion::loading; }));
    EXPECT_EQ(window.emptyState()->title(), "Loading…");
    EXPECT_EQ(window.emptyState()->message(), "Asking Corvane for its Rate Library.");

    const SwitcherProtocol::LearnedRates library = fixtureLibrary();
    ASSERT_FALSE(library.rows.isEmpty());
    peer.send(QStringLiteral("learnedRates"), library.toJson());
    ASSERT_TRUE(eventually([&] { return window.shownRegion() == MiddleRegion::table; }));
    EXPECT_EQ(window.tableModel()->rowCount(), library.rows.size()); // Music.app's setting unknown: all

    window.setSearch(QStringLiteral("no such track anywhere"));
    EXPECT_EQ(window.shownRegion(), MiddleRegion::noMatches);
    EXPECT_EQ(window.emptyState()->title(), "No matches");
    EXPECT_EQ(window.emptyState()->message(),
              "Nothing matches the filters. \"All settings\" shows every row.");

    window.setSearch(QString());
    peer.send(QStringLiteral("learnedRates"), SwitcherProtocol::LearnedRates{}.toJson());
    ASSERT_TRUE(eventually([&] { return window.shownRegion() == MiddleRegion::empty; }));
    EXPECT_EQ(window.emptyState()->title(), "The Rate Library is empty");

    // The companion leaves: back to asking for it.
    peer.disconnectFromHost();
    ASSERT_TRUE(eventually([&] { return window.shownRegion() == MiddleRegion::needsCompanion; }));
}

TEST(RateLibraryWindow, subscribesWhileOpenAndClearsTheOldLibraryOnReopening)
{
    OpenWindow o;
    ASSERT_TRUE(o.open());
    EXPECT_TRUE(o.h.model->subscribedThisPairing);
    o.h.model->setRateLibraryStatus(QStringLiteral("Exported."));

    o.window->hide();
    ASSERT_TRUE(o.peer.waitForType(QStringLiteral("learnedRatesRequest")));
    EXPECT_FALSE(o.peer.receivedOfType(QStringLiteral("learnedRatesRequest"))
                     .last()
                     .payload.value("subscribe")
                     .toBool(true));
    EXPECT_FALSE(o.h.model->learnedRatesWindowOpen);
    EXPECT_FALSE(o.h.model->subscribedThisPairing);
    EXPECT_EQ(o.h.model->rateLibraryStatus(), std::nullopt);
    EXPECT_TRUE(o.h.model->learnedRates().has_value()); // kept until the window shows again

    o.peer.clearReceived();
    o.window->show();
    EXPECT_EQ(o.window->shownRegion(), MiddleRegion::loading);
    EXPECT_FALSE(o.h.model->learnedRates().has_value());
    o.h.model->sync();
    // Exactly one subscription: the model knows this pairing's subscription was made.
    o.h.switcher().dismissRateLibraryNotice();
    ASSERT_TRUE(o.peer.waitForType(QStringLiteral("dismissRateLibraryNotice")));
    const auto requests = o.peer.receivedOfType(QStringLiteral("learnedRatesRequest"));
    ASSERT_EQ(requests.size(), 1);
    EXPECT_TRUE(requests.first().payload.value("subscribe").toBool());
}

TEST(RateLibraryWindow, headerClickReplacesTheSortOrder)
{
    OpenWindow o;
    ASSERT_TRUE(o.open());
    LearnedRatesWindow &w = *o.window;
    QAbstractItemModelTester tester(w.tableModel(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    QHeaderView *header = w.table()->horizontalHeader();
    EXPECT_EQ(header->sortIndicatorSection(), 5);
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::DescendingOrder);

    auto clickHeader = [&](int section) {
        const QPoint centre(header->sectionViewportPosition(section) + header->sectionSize(section) / 2,
                            header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, centre);
    };
    clickHeader(0);
    ASSERT_EQ(w.view().sortOrder, (SortOrder{{SortKey::track, false}}));
    QStringList keys;
    for (int r = 0; r < w.tableModel()->rowCount(); ++r)
        keys.append(trackSortKey(*w.tableModel()->rowAt(r)));
    EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end(), [](const QString &a, const QString &b) {
        return compareCodePoints(a, b) < 0;
    }));

    clickHeader(0);
    EXPECT_EQ(w.view().sortOrder, (SortOrder{{SortKey::track, true}}));
    clickHeader(3);
    EXPECT_EQ(w.view().sortOrder, (SortOrder{{SortKey::rate, false}}));
    for (int r = 1; r < w.tableModel()->rowCount(); ++r)
        EXPECT_LE(w.tableModel()->rowAt(r - 1)->rate, w.tableModel()->rowAt(r)->rate);
}

TEST(RateLibraryWindow, pinnedRowsRateMenuUnpinsAndChoosingTheStandingPinSendsNothing)
{
    OpenWindow o;
    ASSERT_TRUE(o.open());
    LearnedRatesWindow &w = *o.window;
    // "River" under Hi-Res: pinned at 192 kHz over a learned 48 kHz.
    const int row = tableRowOf(w, QStringLiteral("1523255012|hires"));
    ASSERT_GE(row, 0);
    const MenuItems items = w.pinMenuForTableRow(row);
    EXPECT_EQ(menuTitles(items), QStringList({"Learned · 48 kHz", "---", "44.1 kHz", "48 kHz", "88.2 kHz",
                                              "96 kHz", "176.4 kHz", "192 kHz"}));
    EXPECT_TRUE(items.last().checked);

    // A click on the cell's pull-down opens the same menu.
    QTableView *table = w.table();
    table->scrollTo(w.tableModel()->index(row, 3));
    QStyleOptionViewItem option;
    option.rect = table->visualRect(w.tableModel()->index(row, 3));
    const QRect pull =
        RateCellDelegate::pullDownRect(option, w.tableModel()->index(row, 3).data().toString());
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, pull.center());
    QMenu *menu = openPopupMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(actionTitles(menu), menuTitles(items));
    EXPECT_TRUE(menu->actions().last()->isChecked());
    menu->actions().last()->trigger(); // the pin that already stands
    menu->close();
    EXPECT_EQ(sentSinceLastLook(o.h, o.peer), QStringList());

    w.pinMenuForTableRow(row)[3].action(); // 48 kHz
    EXPECT_EQ(sentSinceLastLook(o.h, o.peer), QStringList({"pinLearnedRate"}));
    w.pinMenuForTableRow(row)[0].action();
    EXPECT_EQ(sentSinceLastLook(o.h, o.peer), QStringList({"unpinLearnedRate"}));
}

TEST(RateLibraryWindow, withoutAnOutputTheRateIsPlainTextAndTheContextMenuHasNoPinAt)
{
    OpenWindow o;
    ASSERT_TRUE(o.open());
    o.h.platform.outputDevices.device.reset();
    o.h.model->pollPlatform();
    LearnedRatesWindow &w = *o.window;
    EXPECT_TRUE(w.pinRates().isEmpty());
    const QModelIndex rate = w.tableModel()->index(0, 3);
    EXPECT_FALSE(rate.data(LearnedRatesTableModel::PinMenuRole).toBool());
    EXPECT_EQ(rate.data(Qt::ToolTipRole).toString(), "Connect an output to change pins");
    EXPECT_TRUE(w.pinMenuForTableRow(0).isEmpty());
    EXPECT_EQ(menuTitles(w.selectionMenuFor({w.tableModel()->keyedIdAt(0)})), QStringList({"Remove"}));
}

TEST(RateLibraryWindow, contextMenuOnThreeRowsWithOnePinnedSendsOneUnpinAndThreeRemoves)
{
    OpenWindow o;
    ASSERT_TRUE(o.open());
    LearnedRatesWindow &w = *o.window;
    const int pinnedRow = tableRowOf(w, QStringLiteral("1523255012|hires"));
    const int a = tableRowOf(w, QStringLiteral("1523255012|lossless"));
    const int b = tableRowOf(w, QStringLiteral("1523255012|aac"));
    ASSERT_TRUE(pinnedRow >= 0 && a >= 0 && b >= 0);
    ASSERT_FALSE(w.tableModel()->rowAt(a)->pinned);
    ASSERT_FALSE(w.tableModel()->rowAt(b)->pinned);

    QItemSelectionModel *selection = w.table()->selectionModel();
    selection->clearSelection();
    for (int r : {a, pinnedRow, b})
        selection->select(w.tableModel()->index(r, 0),
                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
    ASSERT_EQ(w.view().selection.size(), 3);

    // Right-click on one of the selected rows.
    const QRect cell = w.table()->visualRect(w.tableModel()->index(pinnedRow, 1));
    emit w.table()->customContextMenuRequested(cell.center());
    QMenu *menu = openPopupMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(actionTitles(menu), QStringList({"Pin at", "Unpin", "Remove"}));
    menu->actions().at(1)->trigger();
    menu->close();
    EXPECT_EQ(sentSinceLastLook(o.h, o.peer), QStringList({"unpinLearnedRate"}));

    const MenuItems items = w.selectionMenuFor(w.view().selection);
    items.at(2).action();
    EXPECT_EQ(sentSinceLastLook(o.h, o.peer),
              QStringList({"forgetLearnedRate", "forgetLearnedRate", "forgetLearnedRate"}));
    items.at(0).children.at(1).action();
    EXPECT_EQ(sentSinceLastLook(o.h, o.peer),
              QStringList({"pinLearnedRate", "pinLearnedRate", "pinLearnedRate"}));
    // Nothing changed locally: the table waits for the companion.
    EXPECT_EQ(w.tableModel()->rowCount(), fixtureLibrary().rows.size());

    // Rows hidden by a filter are not acted on.
    w.setKindFilter(KindFilter::pinned);
    EXPECT_EQ(menuTitles(w.selectionMenuFor(w.view().selection)), QStringList({"Pin at", "Unpin", "Remove"}));
    w.selectionMenuFor(w.view().selection).at(2).action();
    EXPECT_EQ(sentSinceLastLook(o.h, o.peer), QStringList({"forgetLearnedRate"}));
}

TEST(RateLibraryWindow, selectionSurvivesANewLibraryFromTheCompanion)
{
    OpenWindow o;
    ASSERT_TRUE(o.open());
    LearnedRatesWindow &w = *o.window;
    const int row = tableRowOf(w, QStringLiteral("1493928042|lossless"));
    ASSERT_GE(row, 0);
    w.table()->selectRow(row);
    ASSERT_EQ(w.view().selection, QSet<QString>({"1493928042|lossless"}));

    SwitcherProtocol::LearnedRates library = fixtureLibrary();
    library.rows.removeFirst();
    o.peer.send(QStringLiteral("learnedRates"), library.toJson());
    ASSERT_TRUE(eventually([&] { return w.tableModel()->rowCount() == library.rows.size(); }));
    const QModelIndexList selected = w.table()->selectionModel()->selectedRows();
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(w.tableModel()->keyedIdAt(selected.first().row()), "1493928042|lossless");
}

TEST(RateLibraryWindow, eachDialogSendsOnceAfterItsButtonAndCancellingSendsNothing)
{
    OpenWindow o;
    ASSERT_TRUE(o.open());
    LearnedRatesWindow &w = *o.window;
    const struct {
        Confirmation kind;
        const char *type;
        const char *button;
    } cases[] = {{Confirmation::forgetAll, "forgetRates", "Clear Rate Library"},
                 {Confirmation::reset, "resetStore", "Delete All"},
                 {Confirmation::removePins, "removeAllPins", "Remove All Pins"}};
    for (const auto &c : cases) {
        w.presentConfirmation(c.kind);
        QMessageBox *dialog = w.shownConfirmation();
        ASSERT_NE(dialog, nullptr);
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(dialog->buttons().size(), 2);
        EXPECT_EQ(dialog->buttonRole(destructiveButton(dialog)), QMessageBox::DestructiveRole);
        EXPECT_EQ(destructiveButton(dialog)->text(), c.button);
        EXPECT_EQ(sentSinceLastLook(o.h, o.peer), QStringList()); // showing sends nothing
        QTest::keyClick(dialog, Qt::Key_Escape);
        EXPECT_TRUE(eventually([&] { return !w.shownConfirmation(); }));
        EXPECT_EQ(sentSinceLastLook(o.h, o.peer), QStringList());

        w.presentConfirmation(c.kind);
        EXPECT_TRUE(c.kind != Confirmation::forgetAll || w.view().confirmForgetAll);
        destructiveButton(w.shownConfirmation())->click();
        EXPECT_TRUE(eventually([&] { return !w.shownConfirmation(); }));
        EXPECT_EQ(sentSinceLastLook(o.h, o.peer), QStringList({c.type}));
        EXPECT_FALSE(w.view().confirmForgetAll || w.view().confirmReset || w.view().confirmRemovePins);
    }
    EXPECT_EQ(confirmationText(Confirmation::reset).message.count(QStringLiteral("—")), 1);
    EXPECT_TRUE(confirmationText(Confirmation::reset).message.contains(QStringLiteral("Import…")));
}

TEST(RateLibraryWindow, filterBarWritesTheViewStateAtOnceAndEveryKeystrokeFilters)
{
    OpenWindow o;
    ASSERT_TRUE(o.open());
    LearnedRatesWindow &w = *o.window;
    FilterBar *bar = w.filterBar();
    const int all = w.tableModel()->rowCount();

    const RateLibraryIndex *prepared = w.inputs().library.get();
    QList<int> counts;
    bar->searchField()->setFocus();
    for (QChar c : QStringLiteral("rive")) {
        QTest::keyClick(bar->searchField(), c.toLatin1());
        counts.append(w.tableModel()->rowCount());
    }
    EXPECT_EQ(w.view().search, "rive");
    EXPECT_EQ(w.inputs().library.get(), prepared); // prepared once per Rate Library, not per keystroke
    EXPECT_TRUE(std::is_sorted(counts.rbegin(), counts.rend()));
    EXPECT_LT(counts.last(), all);
    EXPECT_GT(counts.last(), 0);
    bar->searchField()->clear();
    EXPECT_EQ(w.tableModel()->rowCount(), all);

    bar->kindSegment(KindFilter::pinned)->click();
    EXPECT_EQ(w.view().kindFilter, KindFilter::pinned);
    for (int r = 0; r < w.tableModel()->rowCount(); ++r)
        EXPECT_TRUE(w.tableModel()->rowAt(r)->pinned);
    bar->kindSegment(KindFilter::all)->click();

    // "Show rates for": the first item follows Music.app's live setting.
    QComboBox *tiers = bar->tierMenu();
    EXPECT_EQ(tiers->itemText(0), "Music.app's setting (can't be read)");
    o.h.platform.musicApp.quality = SwitcherProtocol::MusicQuality{true, 1, false, {}};
    o.h.model->pollPlatform();
    EXPECT_EQ(tiers->itemText(0), "Music.app's setting (Lossless)");
    for (int r = 0; r < w.tableModel()->rowCount(); ++r) {
        const QString tier = w.tableModel()->rowAt(r)->tier;
        EXPECT_TRUE(tier == "lossless" || tier == "any" || tier == "file") << tier.toStdString();
    }
    o.h.platform.musicApp.quality = SwitcherProtocol::MusicQuality{true, 2, true, {}};
    o.h.model->pollPlatform();
    EXPECT_EQ(tiers->itemText(0), "Music.app's setting (Hi-Res Lossless)");
    tiers->setCurrentIndex(tiers->count() - 1);
    emit tiers->activated(tiers->count() - 1);
    EXPECT_EQ(w.view().tierFilter, TierFilter::all());
    EXPECT_EQ(w.tableModel()->rowCount(), all);

    // The rate menu offers the rates of the rows the tier filter shows.
    QComboBox *rates = bar->rateMenu();
    EXPECT_EQ(rates->itemText(0), "Any rate");
    const int item = rates->findText(QStringLiteral("96 kHz"));
    ASSERT_GT(item, 0);
    emit rates->activated(item);
    EXPECT_EQ(w.view().rateFilter, 96000);
    for (int r = 0; r < w.tableModel()->rowCount(); ++r)
        EXPECT_EQ(std::round(w.tableModel()->rowAt(r)->rate), 96000);
}

TEST(RateLibraryFilterBar, putsTheSearchFieldBesideTheChoosersWhenTheyFitElseUnderThem)
{
    FilterBar bar;
    LearnedRatesWindowView view;
    bar.showState(view, tierMenuItems(std::nullopt), {{QStringLiteral("Any rate"), 0}});
    bar.show();
    const int needed = bar.wideWidth();
    bar.resize(needed - 1, 80);
    QCoreApplication::processEvents();
    EXPECT_FALSE(bar.isWide());
    EXPECT_EQ(bar.searchField()->width(), FilterBar::narrowSearchWidth);
    EXPECT_GT(bar.searchField()->y(), bar.tierMenu()->y());
    bar.resize(needed + 300, 80);
    QCoreApplication::processEvents();
    EXPECT_TRUE(bar.isWide());
    EXPECT_EQ(bar.searchField()->width(), FilterBar::wideSearchWidth);
    EXPECT_EQ(bar.searchField()->geometry().right(), bar.contentsRect().right());
    EXPECT_EQ(bar.searchField()->placeholderText(), "Search track, artist or album");
}

TEST(RateLibraryWindow, cellsShowNowPlayingBadgesAndRelativeDates)
{
    OpenWindow o;
    ASSERT_TRUE(o.open());
    LearnedRatesWindow &w = *o.window;
    const QString nowPlaying = *fixtureLibrary().nowPlayingID;
    int marked = 0;
    for (int r = 0; r < w.tableModel()->rowCount(); ++r) {
        const bool playing =
            w.tableModel()->index(r, 0).data(LearnedRatesTableModel::NowPlayingRole).toBool();
        EXPECT_EQ(playing, w.tableModel()->rowAt(r)->id == nowPlaying);
        marked += playing;
    }
    EXPECT_GE(marked, 1);

    const int pinnedRow = tableRowOf(w, QStringLiteral("1523255012|hires"));
    EXPECT_EQ(w.tableModel()->index(pinnedRow, 4).data().toString(), "Pinned");
    EXPECT_EQ(w.tableModel()->index(pinnedRow, 4).data(LearnedRatesTableModel::BadgeTintRole).toInt(),
              int(SourceBadge::Tint::accent));
    EXPECT_EQ(w.tableModel()->index(pinnedRow, 2).data(Qt::ToolTipRole).toString(),
              "Heard with Music.app set to Hi-Res Lossless");

    const QDateTime confirmed = w.tableModel()->rowAt(pinnedRow)->confirmedAt;
    w.setNow([confirmed] { return confirmed.addDays(1); });
    EXPECT_EQ(w.tableModel()->index(pinnedRow, 5).data().toString(), "yesterday");
    w.setNow([confirmed] { return confirmed.addDays(3); });
    EXPECT_EQ(w.tableModel()->index(pinnedRow, 5).data().toString(), "3 days ago");
}
