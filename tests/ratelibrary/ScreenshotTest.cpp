// Pictures of the window, saved into the build folder as screens/learned*.png for a person to
// look at, and checked for what a person would see in them.

#include "CompanionAnswers.h"
#include "ExplainerFixtures.h"
#include "PictureProbe.h"
#include "Platform/FontStyles.h"
#include "Platform/SystemColors.h"
#include "RateLibrary/EmptyStateView.h"
#include "RateLibrary/Explainer/AtmosInfoPopover.h"
#include "RateLibrary/Explainer/ExplainerModel.h"
#include "RateLibrary/Explainer/MusicSettingCondition.h"
#include "RateLibrary/Explainer/OutputCondition.h"
#include "RateLibrary/Explainer/PredictionExplainer.h"
#include "RateLibrary/Explainer/PredictionOrder.h"
#include "RateLibrary/Explainer/RecentPlaysTable.h"
#include "RateLibrary/FooterBar.h"
#include "RateLibrary/ImportPreviewSheet.h"
#include "WindowTestSupport.h"

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScrollArea>
#include <QTableView>
#include <QTimeZone>

using namespace RateLibraryWindowTest;

namespace {

QImage save(QWidget &window, const char *name)
{
    // Wrapped text settles its height over a few rounds of layout.
    for (int round = 0; round < 4; ++round)
        QCoreApplication::processEvents();
    const QDir folder(QCoreApplication::applicationDirPath() + QStringLiteral("/../screens"));
    QDir().mkpath(folder.path());
    const QImage image = PictureProbe::picture(window);
    EXPECT_TRUE(image.save(folder.filePath(QString::fromLatin1(name)))) << name;
    return image;
}

// The empty state's title and message are drawn in the middle, and no table.
void expectEmptyState(const QImage &image, LearnedRatesWindow &w)
{
    EmptyStateView &empty = *w.emptyState();
    EXPECT_TRUE(empty.isVisible());
    EXPECT_FALSE(w.table()->isVisible());
    EXPECT_GT(PictureProbe::pixelsUnlikeTheFirst(image, PictureProbe::inWindow(empty, empty.rect())), 200);
}

} // namespace

TEST(RateLibraryScreenshot, NoCompanionAndTheFixtureLibrary)
{
    {
        ModelHarness h;
        LearnedRatesWindow w(*h.model);
        w.resize(1000, 640);
        w.show();
        const QImage image = save(w, "learned-no-companion.png");
        EXPECT_EQ(w.emptyState()->title(), "Needs Corvane Mac Remote connected");
        expectEmptyState(image, w);
    }
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
    const QImage library = save(w, "learned.png");

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

    // A search shows its few rows, and plain table below them.
    w.setSearch(QStringLiteral("orchard river"));
    const QImage search = save(w, "learned-search.png");
    const int shown = w.tableModel()->rowCount();
    ASSERT_TRUE(shown > 0 && shown < 10) << shown;
    for (int row = 0; row < shown; ++row)
        EXPECT_TRUE(w.tableModel()->index(row, 0).data().toString().contains("Orchard River")) << row;
    const QRect below = PictureProbe::inWindow(
        *table.viewport(),
        QRect(QPoint(0, table.visualRect(w.tableModel()->index(shown - 1, 0)).bottom() + 1),
              table.viewport()->rect().bottomRight()));
    EXPECT_EQ(PictureProbe::pixelsUnlikeTheFirst(search, below), 0);

    w.setSearch(QStringLiteral("nothing like it"));
    const QImage nothing = save(w, "learned-no-matches.png");
    EXPECT_EQ(w.emptyState()->title(), "No matches");
    expectEmptyState(nothing, w);

    // At the least width with a larger text size: the search field under the choosers.
    w.resize(LearnedRatesWindow::minimumWindowSize);
    w.setSearch(QString());
    enlargeTextPastTheWideFilterBar(w);
    const QImage narrow = save(w, "learned-narrow.png");
    EXPECT_EQ(narrow.width(), LearnedRatesWindow::minimumWindowSize.width());
    const QLineEdit &field = *w.filterBar()->searchField();
    const QRect fieldArea = PictureProbe::inWindow(field, field.rect());
    EXPECT_GT(fieldArea.top(),
              PictureProbe::inWindow(*w.filterBar()->tierMenu(), w.filterBar()->tierMenu()->rect()).bottom());
    EXPECT_GT(PictureProbe::pixelsUnlikeTheFirst(narrow, fieldArea), 100) << "the field is drawn there";
}

// The explainer above the table: recent plays collapsed and expanded, the Dolby Atmos popover
// open, and the window in a right-to-left layout; each at the window's least size as well.
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
    const QImage collapsed = save(w, "learned-explainer.png");
    PredictionExplainer &explainer = *w.explainer();
    // Both condition cards are drawn side by side, the table still shows rows, and no recent plays.
    const QWidget &setting = *explainer.musicSetting();
    const QWidget &output = *explainer.outputCondition();
    EXPECT_LT(PictureProbe::inWindow(setting, setting.rect()).right(),
              PictureProbe::inWindow(output, output.rect()).left());
    EXPECT_GT(PictureProbe::pixelsUnlikeTheFirst(collapsed, PictureProbe::inWindow(setting, setting.rect())),
              200);
    EXPECT_FALSE(explainer.recentPlaysCard() && explainer.recentPlaysCard()->isVisible());
    EXPECT_GT(w.table()->viewport()->height(), 3 * w.table()->verticalHeader()->defaultSectionSize());
    w.resize(1000, 640);
    save(w, "learned-explainer-least.png");
    EXPECT_GT(w.table()->viewport()->height(), 0);

    explainer.toggleHistory();
    explainer.toggleAnimation().setCurrentTime(PredictionExplainer::toggleAnimationMs);
    w.resize(1080, 700);
    QCoreApplication::processEvents();
    const QRect row = explainer.recentPlays()->rows()->rowRect(2);
    QTest::mouseMove(explainer.recentPlays()->rows(), row.center());
    const QImage expanded = save(w, "learned-explainer-expanded.png");
    // The recent plays hang under the latest play, drawn, with the hovered play's step lit.
    ASSERT_TRUE(explainer.recentPlaysCard() && explainer.recentPlaysCard()->isVisible());
    const QWidget &card = *explainer.recentPlaysCard();
    EXPECT_GT(PictureProbe::pixelsUnlikeTheFirst(expanded, PictureProbe::inWindow(card, card.rect())), 500);
    EXPECT_TRUE(explainer.predictionOrder()->steps()->litStep().has_value());
    // At the least size every recent play can still be read: the explainer scrolls to each row,
    // which shows whole, its outcome uncut.
    w.resize(1000, 640);
    save(w, "learned-explainer-expanded-least.png");
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
        EXPECT_GT(w.table()->viewport()->height(), 0) << "and the table still shows";
    }
    w.resize(1080, 700);

    explainer.setShowAtmosInfo(true);
    QCoreApplication::processEvents();
    QPixmap picture = w.grab();
    {
        QPainter painter(&picture);
        AtmosInfoPopover *popover = explainer.atmosInfo();
        painter.drawPixmap(w.mapFromGlobal(popover->pos()), popover->grab());
    }
    const QDir folder(QCoreApplication::applicationDirPath() + QStringLiteral("/../screens"));
    EXPECT_TRUE(picture.save(folder.filePath(QStringLiteral("learned-explainer-popover.png"))));
    // The popover is drawn over the window, not an empty frame.
    {
        AtmosInfoPopover *popover = explainer.atmosInfo();
        const QImage shown = picture.toImage().convertToFormat(QImage::Format_RGB32);
        EXPECT_GT(PictureProbe::pixelsUnlikeTheFirst(shown,
                                                     QRect(w.mapFromGlobal(popover->pos()), popover->size())),
                  1000);
    }
    explainer.setShowAtmosInfo(false);

    QApplication::setLayoutDirection(Qt::RightToLeft);
    QCoreApplication::processEvents();
    save(w, "learned-explainer-rtl.png");
    // The conditions mirror; the prediction steps still run 1 to 5 from left to right.
    EXPECT_GT(PictureProbe::inWindow(setting, setting.rect()).left(),
              PictureProbe::inWindow(output, output.rect()).right());
    const StepsRow &steps = *explainer.predictionOrder()->steps();
    const auto columns = steps.columns(steps.width());
    EXPECT_LT(columns[0].disc.center().x(), columns[4].disc.center().x());
    QApplication::setLayoutDirection(Qt::LeftToRight);
    ExplainerFixtures::setHistoryExpanded(false);
}

TEST(RateLibraryScreenshot, FooterAndImportPreview)
{
    OpenWindow o;
    ASSERT_TRUE(o.open());
    LearnedRatesWindow &w = *o.window;
    w.setTierFilter(RateLibrary::TierFilter::all());
    FooterBar &footer = *w.footerBar();
    ASSERT_TRUE(footer.showsNotice()); // the fixture's notice
    save(w, "learned-notice.png");
    EXPECT_TRUE(PictureProbe::pixelsNear(PictureProbe::picture(footer), SystemColors::orange()) > 0);

    // A long notice takes two lines at most, the rest elided; its hover help holds it whole.
    SwitcherProtocol::LearnedRates library = fixtureLibrary();
    library.notice =
        QStringLiteral("Corvane moved the Rate Library to its new format and kept a copy of the old "
                       "file beside it. Rates learned on the Mac mini in the studio were merged; 12 "
                       "rows that disagreed keep the newer confirmation. Nothing else changed, and "
                       "the copy can be imported again at any time from the gear menu.");
    o.peer.send(QStringLiteral("learnedRates"), library.toJson());
    ASSERT_TRUE(eventually([&] { return footer.noticeText() == *library.notice; }));
    w.resize(1000, 640);
    save(w, "learned-notice-long.png");
    const QStringList lines = footer.noticeLines();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(library.notice->startsWith(lines[0])) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].endsWith(QChar(0x2026))) << lines[1].toStdString();
    const QList<QWidget *> parts = footer.findChildren<QWidget *>();
    EXPECT_TRUE(
        std::any_of(parts.begin(), parts.end(), [&](QWidget *p) { return p->toolTip() == *library.notice; }));
    w.resize(1200, 760);

    QTest::mouseClick(footer.noticeButton(), Qt::LeftButton);
    w.setSearch(QStringLiteral("harbour"));
    save(w, "learned-status.png");
    EXPECT_FALSE(PictureProbe::pixelsNear(PictureProbe::picture(footer), SystemColors::orange()) > 0);
    EXPECT_TRUE(footer.statusText().contains(QStringLiteral(" of "))) << footer.statusText().toStdString();

    o.h.platform.musicApp.running = true;
    o.h.platform.musicApp.scanResult = QList<SwitcherProtocol::LocalFileRow>{{"A", "One", {}, {}, 96000}};
    o.h.model->pollPlatform();
    o.h.model->scanLocalFiles();
    o.peer.send(QStringLiteral("localFilesResult"),
                SwitcherProtocol::LocalFilesResult{250, 240, 10, 238}.toJson());
    const QString scanned =
        QStringLiteral("Scanned 250 local files: 240 matched Corvane's library, 238 rates stored, 10 not in "
                       "the library");
    ASSERT_TRUE(eventually([&] { return footer.statusText() == scanned; }));
    save(w, "learned-scan-result.png");
    EXPECT_EQ(footer.statusLines(), QStringList{scanned}) << "whole, on one line";

    for (const bool share : {false, true}) {
        SwitcherProtocol::RateLibraryImported answer = importAnswer(QStringLiteral("dryRun"));
        answer.fileTracks = 312;
        answer.storefront = QStringLiteral("au");
        answer.appVersion = QStringLiteral("2.4 (812)");
        answer.writtenAt = QDateTime(QDate(2026, 12, 6), QTime(21, 5), QTimeZone::utc());
        if (share) {
            answer.flavour = QStringLiteral("share");
            answer.note = QStringLiteral("Shared from Corvane 2.4; rates confirmed by plays only.");
            answer.warning = QStringLiteral("12 rows name a storefront other than yours.");
        }
        ASSERT_TRUE(o.previewImport(share ? QStringLiteral("From Sam.corvanerates")
                                          : QStringLiteral("Corvane Rate Library.corvanerates"),
                                    answer));
        ASSERT_TRUE(w.importPreviewSheet());
        ImportPreviewSheet &sheet = *w.importPreviewSheet();
        save(sheet, share ? "learned-import-shared.png" : "learned-import-backup.png");
        EXPECT_EQ(PictureProbe::pixelsNear(PictureProbe::picture(sheet), SystemColors::orange()) > 0, share)
            << "the warning is orange";
        sheet.reject();
    }
}

// After an export's "Exported…", a scan's own sentences show: its progress, then its failure.
TEST(RateLibraryScreenshot, AScanThatFailsAfterAnExport)
{
    OpenWindow o;
    ASSERT_TRUE(o.open());
    LearnedRatesWindow &w = *o.window;
    FooterBar &footer = *w.footerBar();
    QTest::mouseClick(footer.noticeButton(), Qt::LeftButton);
    o.h.platform.filePanels.exportChoice =
        FilePanels::ExportChoice{o.h.path(QStringLiteral("a.corvanerates")), false};
    o.h.model->exportRateLibrary();
    ASSERT_TRUE(o.peer.waitForType(QStringLiteral("rateLibraryExport")));
    const SwitcherProtocol::RateLibraryFile answer{
        QStringLiteral("backup"), true, std::nullopt,
        QString::fromLatin1(QByteArray(R"({"rows":[]})").toBase64())};
    o.peer.send(QStringLiteral("rateLibraryFile"), answer.toJson());
    ASSERT_TRUE(eventually([&] { return footer.statusText() == "Exported the backup to a.corvanerates."; }));

    o.h.platform.musicApp.running = true;
    o.h.platform.musicApp.scanResult = QList<SwitcherProtocol::LocalFileRow>{{"A", "One", {}, {}, 96000}};
    o.h.model->pollPlatform();
    QTest::mouseClick(footer.scanButton(), Qt::LeftButton);
    EXPECT_EQ(footer.statusText(), "Reading local files from Music…");
    ASSERT_TRUE(o.peer.waitForType(QStringLiteral("localFiles")));
    o.h.clock->advance(SwitcherModel::localScanAnswerTimeoutMs); // the companion keeps silent
    save(w, "learned-scan-failed-after-export.png");
    save(footer, "learned-footer-scan-failed-after-export.png");
    EXPECT_EQ(footer.statusLines(),
              QStringList{"Local file scan failed — Corvane Mac Remote did not answer"});
    EXPECT_EQ(footer.scanButton()->text(), "Scan Local Files");
    EXPECT_TRUE(footer.scanButton()->isEnabled());
}
