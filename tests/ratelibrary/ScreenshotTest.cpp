// Pictures of the window, saved into the build folder as screens/learned*.png for a person to
// look at, each with a check of something a person would see in it.

#include "WindowTestSupport.h"

#include "Platform/SystemColors.h"
#include "RateLibrary/FooterBar.h"
#include "RateLibrary/ImportPreviewSheet.h"

#include <QCoreApplication>
#include <QDir>
#include <QPixmap>
#include <QPushButton>
#include <QTableView>
#include <QTimeZone>

using namespace RateLibraryWindowTest;

namespace {

void save(QWidget &window, const char *name)
{
    QCoreApplication::processEvents();
    const QDir folder(QCoreApplication::applicationDirPath() + QStringLiteral("/../screens"));
    ASSERT_TRUE(QDir().mkpath(folder.path()));
    EXPECT_TRUE(window.grab().save(folder.filePath(QString::fromLatin1(name)))) << name;
}

} // namespace

TEST(RateLibraryScreenshot, NoCompanionAndTheFixtureLibrary)
{
    {
        ModelHarness h;
        LearnedRatesWindow w(*h.model);
        w.resize(1000, 640);
        w.show();
        save(w, "learned-no-companion.png");
    }
    OpenWindow o;
    ASSERT_TRUE(o.open());
    o.h.platform.musicApp.quality = SwitcherProtocol::MusicQuality{true, 2, true, {}};
    o.h.model->pollPlatform();
    LearnedRatesWindow &w = *o.window;
    w.setTierFilter(RateLibrary::TierFilter::all());
    w.setNow([] { return QDateTime(QDate(2026, 12, 6), QTime(21, 0), QTimeZone::utc()); });
    w.table()->selectRow(2);
    save(w, "learned.png");
    w.setSearch(QStringLiteral("harbour"));
    save(w, "learned-search.png");
    w.setSearch(QStringLiteral("nothing like it"));
    save(w, "learned-no-matches.png");
    w.resize(1000, 640);
    w.setSearch(QString());
    save(w, "learned-narrow.png");
}

namespace {

// Whether the picture holds a pixel of roughly this colour (what a person would notice).
bool shows(const QImage &image, const QColor &color)
{
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            if (std::abs(qRed(line[x]) - color.red()) < 24 &&
                std::abs(qGreen(line[x]) - color.green()) < 24 &&
                std::abs(qBlue(line[x]) - color.blue()) < 24)
                return true;
        }
    }
    return false;
}

} // namespace

TEST(RateLibraryScreenshot, FooterAndImportPreview)
{
    OpenWindow o;
    ASSERT_TRUE(o.open());
    LearnedRatesWindow &w = *o.window;
    w.setTierFilter(RateLibrary::TierFilter::all());
    FooterBar &footer = *w.footerBar();
    ASSERT_TRUE(footer.showsNotice()); // the fixture's notice
    save(w, "learned-notice.png");
    EXPECT_TRUE(shows(footer.grab().toImage(), SystemColors::orange()));

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
    w.resize(1200, 760);

    QTest::mouseClick(footer.noticeButton(), Qt::LeftButton);
    w.setSearch(QStringLiteral("harbour"));
    save(w, "learned-status.png");
    EXPECT_FALSE(shows(footer.grab().toImage(), SystemColors::orange()));
    EXPECT_TRUE(footer.statusText().contains(QStringLiteral(" of "))) << footer.statusText().toStdString();

    o.h.platform.musicApp.running = true;
    o.h.platform.musicApp.scanResult = QList<SwitcherProtocol::LocalFileRow>{{"A", "One", {}, {}, 96000}};
    o.h.model->pollPlatform();
    o.h.model->scanLocalFiles();
    o.peer.send(QStringLiteral("localFilesResult"),
                SwitcherProtocol::LocalFilesResult{250, 240, 10, 238}.toJson());
    ASSERT_TRUE(eventually([&] { return footer.statusText().startsWith(QStringLiteral("Scanned 250")); }));
    save(w, "learned-scan-result.png");

    for (const bool share : {false, true}) {
        SwitcherProtocol::RateLibraryImported answer;
        answer.mode = QStringLiteral("dryRun");
        answer.ok = true;
        answer.newCount = 40;
        answer.updated = 12;
        answer.known = 260;
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
        EXPECT_EQ(shows(sheet.grab().toImage(), SystemColors::orange()), share) << "the warning is orange";
        sheet.reject();
    }
}
