// The footer: the status line's rules, the scan button, the gear menu, and the notice row. Each
// count text in both its forms, and the scan's sentences, are the translations tests'.

#include "RateLibraryFixtures.h"
#include "WindowTestSupport.h"

#include "RateLibrary/FooterBar.h"
#include "RateLibrary/FooterTexts.h"

#include <QMenu>
#include <QPushButton>
#include <QToolButton>

using namespace RateLibrary;
using namespace RateLibraryFixtures;
using namespace RateLibraryWindowTest;

namespace {

using Scan = SwitcherModel::LocalScanState;

Scan done(qint64 scanned, qint64 matched, qint64 unmatched, qint64 updated)
{
    return SwitcherModel::LocalScanDone{{scanned, matched, unmatched, updated}};
}

QString countsLine(const LibraryInputs &in, const LearnedRatesWindowView &view = {})
{
    return statusLine(std::nullopt, SwitcherModel::LocalScanIdle{},
                      libraryCounts(in, visibleRows(in, view).size()));
}

} // namespace

TEST(RateLibraryFooter, StatusLineCountsRowsTracksAndPinsOverTheWholeLibrary)
{
    // 120 rows of 95 tracks (25 heard under two settings), 3 pinned, 40 titled "Blue".
    QList<Row> rows;
    for (int i = 0; i < 120; ++i) {
        Row r = row(QStringLiteral("t%1").arg(i % 95), i < 95 ? "lossless" : "hires", 44100,
                    i < 40 ? QStringLiteral("Blue %1").arg(i) : QStringLiteral("Song"));
        rows.append(i % 50 == 0 ? pinned(r) : r);
    }
    const LibraryInputs all = inputs(rows);
    LearnedRatesWindowView view;
    view.tierFilter = TierFilter::all();
    view.search = QStringLiteral("blue");
    EXPECT_EQ(countsLine(all, view), "40 of 120 rows · 95 tracks · 3 pinned");
    view.search.clear();
    EXPECT_EQ(countsLine(all, view), "120 rows · 95 tracks · 3 pinned");
    EXPECT_EQ(countsLine(LibraryInputs{}), "0 rows"); // none received yet
}

TEST(RateLibraryFooter, StatusLineTakesTheFirstRuleThatApplies)
{
    const LibraryCounts counts{3, 3, 3, 0};
    const std::optional<QString> none;
    EXPECT_EQ(
        statusLine(QStringLiteral("Exported the backup to a.corvanerates."), done(250, 240, 10, 238), counts),
        "Exported the backup to a.corvanerates.");
    EXPECT_EQ(
        statusLine(none, SwitcherModel::LocalScanFailed{QStringLiteral("Music.app isn't running")}, counts),
        "Local file scan failed — Music.app isn't running");
    EXPECT_EQ(statusLine(none, done(0, 5, 6, 7), counts),
              "No local files in Music.app — every track streams, so there was nothing to scan");
    EXPECT_EQ(statusLine(none, SwitcherModel::LocalScanScanning{}, counts),
              "Reading local files from Music…");
    EXPECT_EQ(statusLine(none, SwitcherModel::LocalScanIdle{}, counts), "3 rows");
}

TEST(RateLibraryFooter, ScanButtonNeedsTheCompanionAndMusicAndNoScanRunning)
{
    const Scan idle = SwitcherModel::LocalScanIdle{};
    const Scan scanning = SwitcherModel::LocalScanScanning{};
    EXPECT_EQ(scanButton(true, idle, true), (ScanButton{"Scan Local Files", true}));
    EXPECT_EQ(scanButton(true, idle, false), (ScanButton{"Scan Local Files", false}));
    EXPECT_EQ(scanButton(false, idle, true), (ScanButton{"Scan Local Files", false}));
    EXPECT_EQ(scanButton(true, scanning, true), (ScanButton{"Scanning…", false}));
    EXPECT_EQ(scanButton(true, done(1, 1, 0, 1), true), (ScanButton{"Scan Local Files", true}));
    EXPECT_EQ(scanButton(true, SwitcherModel::LocalScanFailed{"x"}, true),
              (ScanButton{"Scan Local Files", true}));
}

TEST(RateLibraryFooter, GearMenuItemsOnlyRaiseTheConfirmations)
{
    QStringList calls;
    const auto note = [&calls](const char *what) { return [&calls, what] { calls << what; }; };
    const MenuItems items =
        libraryMenuItems({note("reveal"), note("export"), note("import"), [&calls](Confirmation kind) {
                              calls << QStringLiteral("confirm %1").arg(int(kind));
                          }});
    EXPECT_EQ(titles(items),
              QStringList({"Show File in Finder", "---", "Export Backup…", "Import…", "---",
                           "Remove All Pins…", "Clear Rate Library…", "---", "Delete Everything…"}));
    for (const MenuItem &item : items) {
        if (item.action)
            item.action();
    }
    EXPECT_EQ(calls, QStringList({"reveal", "export", "import",
                                  QStringLiteral("confirm %1").arg(int(Confirmation::removePins)),
                                  QStringLiteral("confirm %1").arg(int(Confirmation::forgetAll)),
                                  QStringLiteral("confirm %1").arg(int(Confirmation::reset))}));
}

TEST(RateLibraryFooter, ScanButtonAndGearMenuFollowTheLinkAndMusic)
{
    ModelHarness h;
    LearnedRatesWindow window(*h.model);
    window.show();
    FooterBar &footer = *window.footerBar();
    h.platform.musicApp.running = true;
    h.model->pollPlatform();
    EXPECT_FALSE(footer.scanButton()->isEnabled()); // no companion
    EXPECT_FALSE(footer.gearButton()->isEnabled());

    LoopbackPeer peer;
    ASSERT_TRUE(pair(h, peer));
    EXPECT_TRUE(eventually([&] { return footer.gearButton()->isEnabled(); }));
    EXPECT_TRUE(footer.scanButton()->isEnabled());
    h.platform.musicApp.running = false;
    h.model->pollPlatform();
    EXPECT_FALSE(footer.scanButton()->isEnabled()) << "Music.app not running";
    EXPECT_TRUE(footer.gearButton()->isEnabled());

    // The gear's menu is the items, in order.
    QStringList shown;
    for (const QAction *action : footer.gearButton()->menu()->actions())
        shown << (action->isSeparator() ? QStringLiteral("---") : action->text());
    EXPECT_EQ(shown, titles(footer.menuItems()));
}

TEST(RateLibraryFooter, TheNoticeStandsInForTheStatusLineUntilOK)
{
    OpenWindow o;
    ASSERT_TRUE(o.open());
    FooterBar &footer = *o.window->footerBar();
    SwitcherProtocol::LearnedRates library = fixtureLibrary();
    ASSERT_TRUE(library.notice); // the fixture comes with one
    ASSERT_TRUE(footer.showsNotice());
    EXPECT_EQ(footer.noticeText(), *library.notice);
    EXPECT_TRUE(footer.noticeButton()->isVisible());
    o.h.model->setRateLibraryStatus(QStringLiteral("Exported the backup to a.corvanerates."));
    EXPECT_TRUE(footer.showsNotice()) << "a notice hides the whole status line";

    QTest::mouseClick(footer.noticeButton(), Qt::LeftButton);
    EXPECT_FALSE(footer.showsNotice());
    EXPECT_EQ(footer.statusText(), "Exported the backup to a.corvanerates.");
    EXPECT_TRUE(o.peer.waitForType(QStringLiteral("dismissRateLibraryNotice")));
}
