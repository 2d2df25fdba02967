// Pictures of the window, saved into the build folder as screens/learned*.png for a person to
// look at. They assert only that the pictures were written.

#include "WindowTestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QPixmap>
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
