#include "RateLibraryFixtures.h"
#include "WindowTestSupport.h"

#include "RateLibrary/EmptyStateView.h"
#include "RateLibrary/FilterBar.h"
#include "RateLibrary/FooterBar.h"
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
using namespace RateLibraryFixtures;
using namespace RateLibraryWindowTest;

namespace {

// The titles of the popup menu that opened, after running `open`; its actions through `menu`.
QStringList popupTitles(QMenu *&menu)
{
    eventually([&] { return (menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) != nullptr; });
    QStringList out;
    for (const QAction *action : menu ? menu->actions() : QList<QAction *>())
        out.append(action->isSeparator() ? QStringLiteral("---") : action->text());
    return out;
}

const QString riverHiRes = QStringLiteral("1523255012|hires"); // pinned at 192 kHz over a learned 48 kHz

} // namespace

TEST(RateLibraryWindow, subscribesWhileOpenAndGoesFromNoCompanionToLoadingToTheTableAndItsEmptyStates)
{
    ModelHarness h;
    LearnedRatesWindow window(*h.model);
    window.show();
    EXPECT_EQ(window.shownRegion(), MiddleRegion::needsCompanion); // its picture is a screenshot test's

    // The companion pairs after the window opened: the model subscribes by itself.
    LoopbackPeer peer;
    ASSERT_TRUE(pair(h, peer));
    ASSERT_TRUE(peer.waitForType(QStringLiteral("learnedRatesRequest")));
    EXPECT_TRUE(lastSubscribe(peer));
    ASSERT_TRUE(eventually([&] { return window.shownRegion() == MiddleRegion::loading; }));
    EXPECT_EQ(window.emptyState()->title(), "Loading…");

    const SwitcherProtocol::LearnedRates library = fixtureLibrary();
    ASSERT_FALSE(library.rows.isEmpty());
    peer.send(QStringLiteral("learnedRates"), library.toJson());
    ASSERT_TRUE(eventually([&] { return window.shownRegion() == MiddleRegion::table; }));
    EXPECT_EQ(window.tableModel()->rowCount(), library.rows.size()); // Music.app's setting unknown: all

    // Closing unsubscribes and drops the status line; showing again waits for a fresh library and
    // subscribes exactly once.
    h.model->setRateLibraryStatus(QStringLiteral("Exported."));
    peer.clearReceived();
    window.hide();
    ASSERT_TRUE(peer.waitForType(QStringLiteral("learnedRatesRequest")));
    EXPECT_FALSE(lastSubscribe(peer));
    EXPECT_EQ(h.model->rateLibraryStatus(), std::nullopt);
    peer.clearReceived();
    window.show();
    EXPECT_EQ(window.shownRegion(), MiddleRegion::loading);
    h.model->sync();
    h.switcher().dismissRateLibraryNotice();
    ASSERT_TRUE(peer.waitForType(QStringLiteral("dismissRateLibraryNotice")));
    ASSERT_EQ(peer.receivedOfType(QStringLiteral("learnedRatesRequest")).size(), 1);
    EXPECT_TRUE(lastSubscribe(peer));
    peer.send(QStringLiteral("learnedRates"), library.toJson());
    ASSERT_TRUE(eventually([&] { return window.shownRegion() == MiddleRegion::table; }));

    peer.send(QStringLiteral("learnedRates"), SwitcherProtocol::LearnedRates{}.toJson());
    ASSERT_TRUE(eventually([&] { return window.shownRegion() == MiddleRegion::empty; }));
    EXPECT_EQ(window.emptyState()->title(), "The Rate Library is empty");
    peer.disconnectFromHost();
    EXPECT_TRUE(eventually([&] { return window.shownRegion() == MiddleRegion::needsCompanion; }));
}

TEST(RateLibraryWindow, tableSortsOnHeaderClickKeepsTheSelectionAndFiltersOnEveryKeystroke)
{
    OpenWindow o;
    ASSERT_TRUE(o.open());
    LearnedRatesWindow &w = *o.window;
    const LearnedRatesTableModel &model = *w.tableModel();
    QAbstractItemModelTester tester(w.tableModel(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    for (int r = 0; r < model.rowCount(); ++r)
        EXPECT_EQ(model.index(r, 0).data(LearnedRatesTableModel::NowPlayingRole).toBool(),
                  model.rowAt(r)->id == *fixtureLibrary().nowPlayingID);

    QHeaderView *header = w.table()->horizontalHeader();
    auto clickHeader = [&](int section) {
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          {header->sectionViewportPosition(section) + header->sectionSize(section) / 2,
                           header->height() / 2});
    };
    clickHeader(0);
    ASSERT_EQ(w.view().sortOrder, (SortOrder{{SortKey::track, false}}));
    clickHeader(0);
    EXPECT_EQ(w.view().sortOrder, (SortOrder{{SortKey::track, true}}));
    clickHeader(3);
    EXPECT_EQ(w.view().sortOrder, (SortOrder{{SortKey::rate, false}}));
    for (int r = 1; r < model.rowCount(); ++r)
        EXPECT_LE(model.rowAt(r - 1)->rate, model.rowAt(r)->rate);

    // A new library from the companion keeps the selected row selected.
    const QString id = QStringLiteral("1493928042|lossless");
    w.table()->selectRow(o.tableRowOf(id));
    SwitcherProtocol::LearnedRates library = fixtureLibrary();
    library.rows.removeFirst();
    o.peer.send(QStringLiteral("learnedRates"), library.toJson());
    ASSERT_TRUE(eventually([&] { return model.rowCount() == library.rows.size(); }));
    const QModelIndexList selected = w.table()->selectionModel()->selectedRows();
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(model.keyedIdAt(selected.first().row()), id);

    // Every keystroke filters, without preparing the library again.
    FilterBar *bar = w.filterBar();
    const int all = model.rowCount();
    const RateLibraryIndex *prepared = w.inputs().library.get();
    QList<int> counts;
    bar->searchField()->setFocus();
    for (char c : {'r', 'i', 'v', 'e'}) {
        QTest::keyClick(bar->searchField(), c);
        counts.append(model.rowCount());
    }
    EXPECT_EQ(w.view().search, "rive");
    EXPECT_EQ(w.inputs().library.get(), prepared); // prepared once per Rate Library, not per keystroke
    EXPECT_TRUE(std::is_sorted(counts.rbegin(), counts.rend()));
    EXPECT_TRUE(counts.last() > 0 && counts.last() < all);
    bar->searchField()->clear();
    bar->kindSegment(KindFilter::pinned)->click();
    EXPECT_EQ(w.view().kindFilter, KindFilter::pinned);

    // "Show rates for": the first item follows Music.app's live setting.
    QComboBox *tiers = bar->tierMenu();
    EXPECT_EQ(tiers->itemText(0), "Music.app's setting (can't be read)");
    o.h.platform.musicApp.quality = SwitcherProtocol::MusicQuality{true, 1, false, {}};
    o.h.model->pollPlatform();
    EXPECT_EQ(tiers->itemText(0), "Music.app's setting (Lossless)");
    emit tiers->activated(tiers->count() - 1);
    EXPECT_EQ(w.view().tierFilter, TierFilter::all());
    emit bar->rateMenu()->activated(bar->rateMenu()->findText(QStringLiteral("96 kHz")));
    EXPECT_EQ(w.view().rateFilter, 96000);
}

// At a real loopback companion: what each menu sends, and that choosing the standing pin sends nothing.
TEST(RateLibraryWindow, rowMenusSendOneMessagePerRowActedOn)
{
    OpenWindow o;
    ASSERT_TRUE(o.open());
    LearnedRatesWindow &w = *o.window;
    const int row = o.tableRowOf(riverHiRes);
    ASSERT_GE(row, 0);
    const QModelIndex rate = w.tableModel()->index(row, 3);
    w.table()->scrollTo(rate);
    QStyleOptionViewItem option;
    option.rect = w.table()->visualRect(rate);
    QTest::mouseClick(w.table()->viewport(), Qt::LeftButton, {},
                      RateCellDelegate::pullDownRect(option, rate.data().toString()).center());
    QMenu *menu = nullptr;
    EXPECT_EQ(popupTitles(menu), QStringList({"Learned · 48 kHz", "---", "44.1 kHz", "48 kHz", "88.2 kHz",
                                              "96 kHz", "176.4 kHz", "192 kHz"}));
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->actions().last()->isChecked());
    menu->actions().last()->trigger(); // the pin that already stands
    menu->close();
    EXPECT_EQ(sentSinceLastLook(o.h, o.peer), QStringList());
    w.pinMenuForTableRow(row)[3].action(); // 48 kHz
    EXPECT_EQ(sentSinceLastLook(o.h, o.peer), QStringList({"pinLearnedRate"}));
    w.pinMenuForTableRow(row)[0].action();
    EXPECT_EQ(sentSinceLastLook(o.h, o.peer), QStringList({"unpinLearnedRate"}));

    // The context menu on three selected rows, one of them pinned.
    const int a = o.tableRowOf(QStringLiteral("1523255012|lossless"));
    const int b = o.tableRowOf(QStringLiteral("1523255012|aac"));
    ASSERT_TRUE(a >= 0 && b >= 0);
    ASSERT_FALSE(w.tableModel()->rowAt(a)->pinned || w.tableModel()->rowAt(b)->pinned);
    for (int r : {a, row, b})
        w.table()->selectionModel()->select(w.tableModel()->index(r, 0),
                                            QItemSelectionModel::Select | QItemSelectionModel::Rows);
    ASSERT_EQ(w.view().selection.size(), 3);

    emit w.table()->customContextMenuRequested(w.table()->visualRect(w.tableModel()->index(row, 1)).center());
    menu = nullptr;
    EXPECT_EQ(popupTitles(menu), QStringList({"Pin at", "Unpin", "Remove"}));
    ASSERT_NE(menu, nullptr);
    menu->actions().at(1)->trigger();
    menu->close();
    EXPECT_EQ(sentSinceLastLook(o.h, o.peer), QStringList({"unpinLearnedRate"}));
    w.selectionMenuFor(w.view().selection).at(2).action();
    EXPECT_EQ(sentSinceLastLook(o.h, o.peer), QStringList(3, "forgetLearnedRate"));
    // Nothing changed locally: the table waits for the companion.
    EXPECT_EQ(w.tableModel()->rowCount(), fixtureLibrary().rows.size());

    // Rows hidden by a filter are not acted on.
    w.setKindFilter(KindFilter::pinned);
    w.selectionMenuFor(w.view().selection).at(2).action();
    EXPECT_EQ(sentSinceLastLook(o.h, o.peer), QStringList({"forgetLearnedRate"}));

    // Without an output the rate is plain text, and there is nothing to pin at.
    o.h.platform.outputDevices.device.reset();
    o.h.model->pollPlatform();
    const int pinnedRow = o.tableRowOf(riverHiRes);
    EXPECT_EQ(w.tableModel()->index(pinnedRow, 3).data(Qt::ToolTipRole).toString(),
              "Connect an output to change pins");
    EXPECT_TRUE(w.pinMenuForTableRow(pinnedRow).isEmpty());
    EXPECT_EQ(titles(w.selectionMenuFor({riverHiRes})), QStringList({"Unpin", "Remove"}));
}

// Each raised from the gear menu's own item.
TEST(RateLibraryWindow, eachDialogSendsOnceAfterItsButtonAndCancellingSendsNothing)
{
    OpenWindow o;
    ASSERT_TRUE(o.open());
    LearnedRatesWindow &w = *o.window;
    const struct {
        const char *item, *type, *button;
    } cases[] = {{"Clear Rate Library…", "forgetRates", "Clear Rate Library"},
                 {"Delete Everything…", "resetStore", "Delete All"},
                 {"Remove All Pins…", "removeAllPins", "Remove All Pins"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.type);
        const MenuItems &items = w.footerBar()->menuItems();
        const auto item =
            std::find_if(items.begin(), items.end(), [&](auto &i) { return i.title == c.item; });
        ASSERT_NE(item, items.end());
        item->action();
        QMessageBox *dialog = w.shownConfirmation();
        ASSERT_TRUE(dialog && dialog->isVisible());
        EXPECT_EQ(destructiveButton(dialog)->text(), c.button);
        QTest::keyClick(dialog, Qt::Key_Escape);
        EXPECT_TRUE(eventually([&] { return !w.shownConfirmation(); }));
        EXPECT_EQ(sentSinceLastLook(o.h, o.peer), QStringList());

        item->action();
        destructiveButton(w.shownConfirmation())->click();
        EXPECT_TRUE(eventually([&] { return !w.shownConfirmation(); }));
        EXPECT_EQ(sentSinceLastLook(o.h, o.peer), QStringList({c.type}));
    }
}

// The filter bar takes the wide arrangement exactly when it fits the width it is given, both ways,
// and the hidden arrangement never raises the window's minimum.
TEST(RateLibraryWindow, filterBarChoosesItsArrangementFromTheWidthBothWays)
{
    OpenWindow o;
    ASSERT_TRUE(o.open());
    LearnedRatesWindow &w = *o.window;
    FilterBar *bar = w.filterBar();
    QLineEdit *search = bar->searchField();
    const int least = LearnedRatesWindow::minimumWindowSize.width();
    enlargeTextPastTheWideFilterBar(w);
    ASSERT_GT(bar->wideWidth(), filterBarRoom(least));
    ASSERT_LE(bar->narrowWidth(), filterBarRoom(least));

    const auto showAt = [&](int width) {
        w.resize(width, 700);
        eventually([&] { return w.width() == width && bar->width() == filterBarRoom(width); });
        EXPECT_EQ(bar->width(), filterBarRoom(width)) << "the bar gets the header's width, no more";
        EXPECT_EQ(bar->isWide(), bar->wideWidth() <= bar->width()) << "at " << width;
        EXPECT_EQ(search->width(), bar->isWide() ? FilterBar::wideSearchWidth : FilterBar::narrowSearchWidth);
        const QRect field(search->mapTo(&w, QPoint(0, 0)), search->size());
        EXPECT_TRUE(w.rect().contains(field)) << "at " << width;
        // What the window needs fits its least size: nothing is clipped there.
        EXPECT_LE(w.minimumSizeHint().width(), least) << "at " << width;
        EXPECT_LE(w.minimumSizeHint().height(), LearnedRatesWindow::minimumWindowSize.height())
            << "at " << width;
    };
    showAt(1600);
    EXPECT_TRUE(bar->isWide());
    EXPECT_EQ(search->mapTo(bar, QPoint(search->width(), 0)).x(), bar->width()) << "at the trailing edge";
    showAt(least);
    EXPECT_FALSE(bar->isWide());
    EXPECT_GT(search->y(), bar->tierMenu()->parentWidget()->geometry().bottom()) << "under the choosers";
    EXPECT_EQ(search->x(), 0);
    for (int width = least; width <= 1600; width += 15)
        showAt(width);
    for (int width = 1600; width >= least; width -= 15)
        showAt(width);
    const int edge = bar->wideWidth() + (least - filterBarRoom(least)); // the window width where wide fits
    for (int width : {edge - 1, edge, edge - 1, edge + 1, edge})
        showAt(width);
}
