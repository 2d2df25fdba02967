// A picture of the window with the stand-in companion's library, saved into the build folder as
// screens/learned.png for a person to look at. It asserts only that the picture was written.

#include "WindowTestSupport.h"

#include "RateLibrary/LearnedRatesTableModel.h"

#include <QCoreApplication>
#include <QDir>
#include <QPixmap>
#include <QTableView>
#include <QTimeZone>

using namespace RateLibraryWindowTest;

TEST(RateLibraryScreenshot, FixtureLibrary)
{
    OpenWindow o;
    ASSERT_TRUE(o.open());
    o.h.platform.musicApp.quality = SwitcherProtocol::MusicQuality{true, 2, true, {}};
    o.h.model->pollPlatform();
    LearnedRatesWindow &w = *o.window;
    w.setTierFilter(RateLibrary::TierFilter::all());
    w.setNow([] { return QDateTime(QDate(2026, 12, 6), QTime(21, 0), QTimeZone::utc()); });
    w.table()->selectRow(2);
    QCoreApplication::processEvents();

    const QString folder =
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../screens"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QPixmap picture = w.grab();
    EXPECT_EQ(picture.size(), QSize(1200, 760));
    EXPECT_TRUE(picture.save(QDir(folder).filePath(QStringLiteral("learned.png"))));

    w.setSearch(QStringLiteral("harbour"));
    QCoreApplication::processEvents();
    EXPECT_TRUE(w.grab().save(QDir(folder).filePath(QStringLiteral("learned-search.png"))));

    w.setSearch(QStringLiteral("nothing like it"));
    QCoreApplication::processEvents();
    EXPECT_TRUE(w.grab().save(QDir(folder).filePath(QStringLiteral("learned-no-matches.png"))));
    w.resize(1000, 640);
    w.setSearch(QString());
    QCoreApplication::processEvents();
    EXPECT_TRUE(w.grab().save(QDir(folder).filePath(QStringLiteral("learned-narrow.png"))));
}

TEST(RateLibraryScreenshot, NoCompanion)
{
    ModelHarness h;
    LearnedRatesWindow w(*h.model);
    w.resize(1000, 640);
    w.show();
    QCoreApplication::processEvents();
    const QString folder =
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../screens"));
    ASSERT_TRUE(QDir().mkpath(folder));
    EXPECT_TRUE(w.grab().save(QDir(folder).filePath(QStringLiteral("learned-no-companion.png"))));
}
