// Pictures of the window, saved into the build folder as screens/learned*.png for a person to
// look at. They assert only that the pictures were written.

#include "ExplainerFixtures.h"
#include "WindowTestSupport.h"

#include "RateLibrary/Explainer/AtmosInfoPopover.h"
#include "RateLibrary/Explainer/PredictionExplainer.h"
#include "RateLibrary/Explainer/PredictionOrder.h"
#include "RateLibrary/Explainer/RecentPlaysTable.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QPainter>
#include <QPixmap>
#include <QTableView>
#include <QTimeZone>

using namespace RateLibraryWindowTest;

namespace {

void save(QWidget &window, const char *name)
{
    // Wrapped text settles its height over a few rounds of layout.
    for (int round = 0; round < 4; ++round)
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
    save(w, "learned-explainer.png");
    w.resize(1000, 640);
    save(w, "learned-explainer-least.png");

    PredictionExplainer &explainer = *w.explainer();
    explainer.toggleHistory();
    explainer.toggleAnimation().setCurrentTime(PredictionExplainer::toggleAnimationMs);
    w.resize(1080, 700);
    QCoreApplication::processEvents();
    const QRect row = explainer.recentPlays()->rows()->rowRect(2);
    QTest::mouseMove(explainer.recentPlays()->rows(), row.center());
    save(w, "learned-explainer-expanded.png");
    w.resize(1000, 640);
    save(w, "learned-explainer-expanded-least.png");
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
    explainer.setShowAtmosInfo(false);

    QApplication::setLayoutDirection(Qt::RightToLeft);
    QCoreApplication::processEvents();
    save(w, "learned-explainer-rtl.png");
    QApplication::setLayoutDirection(Qt::LeftToRight);
    ExplainerFixtures::setHistoryExpanded(false);
}
