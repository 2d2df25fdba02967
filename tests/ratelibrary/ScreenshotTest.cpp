// Pictures of the window, saved into the build folder as screens/learned*.png for a person to
// look at, and checked for what a person would see in them.

#include "ExplainerFixtures.h"
#include "PictureProbe.h"
#include "Platform/FontStyles.h"
#include "Platform/SystemColors.h"
#include "RateLibrary/EmptyStateView.h"
#include "RateLibrary/Explainer/ExplainerModel.h"
#include "RateLibrary/Explainer/MusicSettingCondition.h"
#include "RateLibrary/Explainer/OutputCondition.h"
#include "RateLibrary/Explainer/PredictionExplainer.h"
#include "RateLibrary/Explainer/PredictionOrder.h"
#include "RateLibrary/Explainer/RecentPlaysTable.h"
#include "RateLibrary/FooterBar.h"
#include "WindowTestSupport.h"

#include <QApplication>
#include <QCoreApplication>
#include <QHeaderView>
#include <QPushButton>
#include <QScrollArea>
#include <QTableView>
#include <QTimeZone>

using namespace RateLibraryWindowTest;

TEST(RateLibraryScreenshot, TheFixtureLibrary)
{
    OpenWindow o;
    ASSERT_TRUE(o.open());
    o.h.platform.musicApp.quality = SwitcherProtocol::MusicQuality{true, 2, true, {}};
    o.h.model->pollPlatform();
    LearnedRatesWindow &w = *o.window;
    w.setTierFilter(RateLibrary::TierFilter::all());
    w.setNow([] { return QDateTime(QDate(2026, 12, 6), QTime(21, 0), QTimeZone::utc()); });
    // Scrolled to the first pinned row, the row under it selected.
    int firstPinned = 0;
    while (firstPinned < w.tableModel()->rowCount() && !w.tableModel()->rowAt(firstPinned)->pinned)
        ++firstPinned;
    ASSERT_LT(firstPinned + 1, w.tableModel()->rowCount());
    w.table()->scrollTo(w.tableModel()->index(firstPinned, 0), QAbstractItemView::PositionAtTop);
    const int selectedRow = firstPinned + 1;
    w.table()->selectRow(selectedRow);
    const QImage library = saveScreenshot(w, "learned.png");

    // Pinned rows wear the accent badge, the others not; the selected row is highlighted.
    QTableView &table = *w.table();
    const auto cell = [&](int row, int column) {
        return PictureProbe::inWindow(*table.viewport(),
                                      table.visualRect(w.tableModel()->index(row, column)));
    };
    int pinned = 0;
    for (int row = 0; row < w.tableModel()->rowCount(); ++row) {
        if (row == selectedRow ||
            !table.viewport()->rect().contains(table.visualRect(w.tableModel()->index(row, 4))))
            continue;
        const bool isPinned = w.tableModel()->rowAt(row)->pinned;
        EXPECT_EQ(PictureProbe::pixelsNear(library, SystemColors::accent(), cell(row, 4)) > 0, isPinned)
            << "row " << row;
        pinned += isPinned ? 1 : 0;
    }
    EXPECT_GE(pinned, 1);
    const QRect selected = cell(selectedRow, 1);
    EXPECT_GT(PictureProbe::pixelsNear(library, table.palette().color(QPalette::Active, QPalette::Highlight),
                                       selected),
              selected.width() * selected.height() / 2);

    w.setSearch(QStringLiteral("nothing like it"));
    saveScreenshot(w, "learned-no-matches.png");
    EXPECT_EQ(w.emptyState()->title(), "No matches");
    EXPECT_TRUE(w.emptyState()->isVisible());
    EXPECT_FALSE(w.table()->isVisible());
}

// The explainer above the table: recent plays collapsed, expanded at the window's least size, and
// the window in a right-to-left layout.
TEST(RateLibraryScreenshot, TheExplainer)
{
    ExplainerFixtures::setHistoryExpanded(false);
    OpenWindow o;
    ASSERT_TRUE(o.open());
    o.h.platform.musicApp.quality = SwitcherProtocol::MusicQuality{true, 2, true, QStringLiteral("auto")};
    o.h.model->pollPlatform();
    ExplainerFixtures::addPlays(o.h, ExplainerFixtures::evening());
    LearnedRatesWindow &w = *o.window;
    w.setNow([] { return HistoryFixtures::minutesAfterNoon(60); });
    w.resize(1080, 700);
    saveScreenshot(w, "learned-explainer.png");
    PredictionExplainer &explainer = *w.explainer();
    // Both condition cards side by side, and the table still shows rows.
    const QWidget &setting = *explainer.musicSetting();
    const QWidget &output = *explainer.outputCondition();
    EXPECT_LT(PictureProbe::inWindow(setting, setting.rect()).right(),
              PictureProbe::inWindow(output, output.rect()).left());
    EXPECT_GT(w.table()->viewport()->height(), 3 * w.table()->verticalHeader()->defaultSectionSize());
    // Expanded at the least size, every recent play can still be read: the explainer scrolls to
    // each row, which shows whole, its outcome uncut; and the table still shows.
    w.resize(1000, 640);
    explainer.toggleHistory();
    explainer.toggleAnimation().setCurrentTime(PredictionExplainer::toggleAnimationMs);
    saveScreenshot(w, "learned-explainer-expanded-least.png");
    {
        RecentPlaysRows &rows = *explainer.recentPlays()->rows();
        auto *area = qobject_cast<QScrollArea *>(explainer.parentWidget()->parentWidget());
        ASSERT_TRUE(area);
        ASSERT_EQ(rows.plays().size(), 8);
        const QList<int> widths =
            RateLibrary::recentPlayColumnWidths(rows.width() - 2 * RecentPlaysRows::padding);
        const QFontMetrics caption(FontStyles::caption());
        for (int row = 0; row < rows.plays().size(); ++row) {
            area->ensureVisible(0, rows.mapTo(&explainer, rows.rowRect(row).center()).y(), 0,
                                RecentPlaysRows::rowHeight);
            const QRect shown(rows.mapTo(area->viewport(), rows.rowRect(row).topLeft()),
                              rows.rowRect(row).size());
            EXPECT_TRUE(area->viewport()->rect().contains(shown)) << "row " << row;
            const QString outcome = PlayCells::text(PlayCells::Column::outcome, rows.plays()[row],
                                                    PlayCells::Writing::rateLibrary);
            EXPECT_LT(caption.horizontalAdvance(outcome), widths.last()) << outcome.toStdString();
        }
        EXPECT_GT(w.table()->viewport()->height(), 0);
    }
    w.resize(1080, 700);

    QApplication::setLayoutDirection(Qt::RightToLeft);
    QCoreApplication::processEvents();
    saveScreenshot(w, "learned-explainer-rtl.png");
    // The conditions mirror; the prediction steps still run 1 to 5 from left to right.
    EXPECT_GT(PictureProbe::inWindow(setting, setting.rect()).left(),
              PictureProbe::inWindow(output, output.rect()).right());
    const StepsRow &steps = *explainer.predictionOrder()->steps();
    const auto columns = steps.columns(steps.width());
    EXPECT_LT(columns[0].disc.center().x(), columns[4].disc.center().x());
    QApplication::setLayoutDirection(Qt::LeftToRight);
    ExplainerFixtures::setHistoryExpanded(false);
}

// The footer: the fixture's notice in orange, and a long one on two lines; until OK it stands in
// for the whole status line. Then an export's sentence, which a scan's own sentences replace: its
// progress, its result whole on one line, and its failure when the companion keeps silent; last,
// the failure of a scan started while an export waited, after the export's sentence. The import
// sheet's picture is the sheet's test's.
TEST(RateLibraryScreenshot, Footer)
{
    OpenWindow o;
    ASSERT_TRUE(o.open());
    LearnedRatesWindow &w = *o.window;
    w.setTierFilter(RateLibrary::TierFilter::all());
    FooterBar &footer = *w.footerBar();
    ASSERT_TRUE(footer.showsNotice()); // the fixture's notice
    saveScreenshot(w, "learned-notice.png");
    EXPECT_GT(PictureProbe::pixelsNear(PictureProbe::picture(footer), SystemColors::orange()), 0);

    SwitcherProtocol::LearnedRates library = fixtureLibrary();
    library.notice =
        QStringLiteral("Corvane moved the Rate Library to its new format and kept a copy of the old "
                       "file beside it. Rates learned on the Mac mini in the studio were merged; 12 "
                       "rows that disagreed keep the newer confirmation. Nothing else changed, and "
                       "the copy can be imported again at any time from the gear menu.");
    o.peer.send(QStringLiteral("learnedRates"), library.toJson());
    ASSERT_TRUE(eventually([&] { return footer.noticeText() == *library.notice; }));
    w.resize(1000, 640);
    saveScreenshot(w, "learned-notice-long.png");
    const QStringList lines = footer.noticeLines();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(library.notice->startsWith(lines[0])) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].endsWith(QChar(0x2026))) << lines[1].toStdString();
    const QList<QWidget *> parts = footer.findChildren<QWidget *>();
    EXPECT_TRUE(
        std::any_of(parts.begin(), parts.end(), [&](QWidget *p) { return p->toolTip() == *library.notice; }));
    w.resize(1200, 760);

    o.h.platform.filePanels.exportChoice =
        FilePanels::ExportChoice{o.h.path(QStringLiteral("a.corvanerates")), false};
    o.h.model->exportRateLibrary();
    ASSERT_TRUE(o.peer.waitForType(QStringLiteral("rateLibraryExport")));
    const SwitcherProtocol::RateLibraryFile file{
        QStringLiteral("backup"), true, std::nullopt,
        QString::fromLatin1(QByteArray(R"({"rows":[]})").toBase64())};
    o.peer.send(QStringLiteral("rateLibraryFile"), file.toJson());
    ASSERT_TRUE(eventually([&] { return !o.h.model->exportPending(); }));
    EXPECT_TRUE(footer.showsNotice());
    QTest::mouseClick(footer.noticeButton(), Qt::LeftButton);
    EXPECT_FALSE(footer.showsNotice());
    EXPECT_EQ(footer.statusText(), "Exported the backup to a.corvanerates.");
    EXPECT_TRUE(o.peer.waitForType(QStringLiteral("dismissRateLibraryNotice")));

    o.h.platform.musicApp.running = true;
    o.h.platform.musicApp.scanResult = QList<SwitcherProtocol::LocalFileRow>{{"A", "One", {}, {}, 96000}};
    o.h.model->pollPlatform();
    QTest::mouseClick(footer.scanButton(), Qt::LeftButton);
    EXPECT_EQ(footer.statusText(), "Reading local files from Music…");
    o.peer.send(QStringLiteral("localFilesResult"),
                SwitcherProtocol::LocalFilesResult{250, 240, 10, 238}.toJson());
    const QString scanned =
        QStringLiteral("Scanned 250 local files: 240 matched Corvane's library, 238 rates stored, 10 not in "
                       "the library");
    ASSERT_TRUE(eventually([&] { return footer.statusText() == scanned; }));
    saveScreenshot(w, "learned-scan-result.png");
    EXPECT_EQ(footer.statusLines(), QStringList{scanned}) << "whole, on one line";
    QTest::mouseClick(footer.scanButton(), Qt::LeftButton);
    ASSERT_TRUE(o.peer.waitForType(QStringLiteral("localFiles"), 2));
    o.h.clock->advance(SwitcherModel::localScanAnswerTimeoutMs); // the companion keeps silent
    saveScreenshot(w, "learned-scan-failed.png");
    EXPECT_EQ(footer.statusLines(),
              QStringList{"Local file scan failed — Corvane Mac Remote did not answer"});
    EXPECT_EQ(footer.scanButton()->text(), "Scan Local Files");
    EXPECT_TRUE(footer.scanButton()->isEnabled());

    // A scan started while an export waits fails after the export's sentence: the failure shows.
    o.h.platform.musicApp.holdScans = true;
    o.h.platform.musicApp.scanResult = QStringLiteral("Music.app got an error.");
    o.h.model->exportRateLibrary();
    ASSERT_TRUE(o.peer.waitForType(QStringLiteral("rateLibraryExport"), 2));
    QTest::mouseClick(footer.scanButton(), Qt::LeftButton);
    EXPECT_EQ(footer.statusText(), "Preparing the backup…");
    o.peer.send(QStringLiteral("rateLibraryFile"), file.toJson());
    ASSERT_TRUE(eventually([&] { return footer.statusText() == "Exported the backup to a.corvanerates."; }));
    o.h.platform.musicApp.finishScans();
    saveScreenshot(w, "learned-scan-failed-after-export.png");
    EXPECT_EQ(footer.statusLines(), QStringList{"Local file scan failed — Music.app got an error."});
    EXPECT_TRUE(footer.scanButton()->isEnabled());
}
