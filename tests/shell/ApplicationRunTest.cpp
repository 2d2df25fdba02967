// The application as a separate process: pictures only when asked for (as the run command
// asks), otherwise running on without a display until it is told to quit.

#include "PictureProbe.h"
#include "Platform/BrandColors.h"
#include "Platform/SystemColors.h"
#include "Shell/ScreenshotMode.h"
#include "SwitchTiming/RailFills.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QString applicationBinary()
{
    return QFileInfo(QStringLiteral(CORVANE_COMPANION_BIN))
        .dir()
        .absoluteFilePath(u"../Corvane_Switcher/corvane-switcher"_s);
}

// A private data folder holding two plays, one as predicted, one whose rate differed from the
// prediction (its Played and Outcome cells are orange), and the windows `open` at start.
QProcessEnvironment privateRun(const QTemporaryDir &dir, const QString &open)
{
    const QString data = dir.filePath(u"data"_s);
    QDir().mkpath(data);
    QFile history(QDir(data).filePath(u"PlaybackHistory.json"_s));
    if (history.open(QIODevice::WriteOnly)) {
        history.write(R"({"v": 1, "entries": [
            {"id": "0b5c6c36-3c1e-4a3a-9d1e-2f0c8a5f3b01", "at": "2026-03-01T12:00:00.000Z",
             "title": "So What", "artist": "Miles Davis", "tier": "lossless", "predictedRate": 44100,
             "source": "learned", "playedRate": 44100, "outcome": "learned", "corrected": false},
            {"id": "0b5c6c36-3c1e-4a3a-9d1e-2f0c8a5f3b02", "at": "2026-03-01T12:04:00.000Z",
             "title": "Teardrop", "artist": "Massive Attack", "tier": "hires", "predictedRate": 44100,
             "source": "tags-guess", "playedRate": 96000, "outcome": "rewritten", "outcomeRate": 96000,
             "corrected": false}]})");
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"CORVANE_SWITCHER_DATA_DIR"_s, data);
    environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    environment.insert(u"CORVANE_SWITCHER_OPEN"_s, open);
    environment.remove(u"CORVANE_SWITCHER_SCREENSHOTS"_s);
    return environment;
}

// The colour of a band of `fill` as the rails paint it in a light window.
QColor paintedColour(RailFill fill)
{
    QImage swatch(40, 20, QImage::Format_RGB32);
    swatch.fill(Qt::white);
    QPainter painter(&swatch);
    RailFills::paint(painter, QRectF(swatch.rect()), fill, SystemColors::Appearance::light);
    painter.end();
    return swatch.pixelColor(20, 10);
}

} // namespace

TEST(ApplicationRun, OffscreenRunWithoutTheVariableKeepsRunningUntilToldToQuit)
{
    const QString app = applicationBinary();
    if (!QFileInfo::exists(app))
        GTEST_SKIP() << "the application is not built";
    QTemporaryDir dir;
    QProcess switcher;
    switcher.setProcessEnvironment(privateRun(dir, u"history"_s));
    switcher.setWorkingDirectory(dir.path());
    switcher.start(app, {});
    ASSERT_TRUE(switcher.waitForStarted(5000));
    // Past the moment the pictures would have been taken.
    EXPECT_FALSE(switcher.waitForFinished(ScreenshotMode::maximumWaitMs + 1500))
        << "quit by itself: " << switcher.readAllStandardError().constData();
    EXPECT_EQ(QDir(dir.path()).entryList({u"*.png"_s}, QDir::Files), QStringList());
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(u"screens"_s)));
    switcher.terminate();
    if (!switcher.waitForFinished(5000)) {
        switcher.kill();
        switcher.waitForFinished(5000);
    }
}

TEST(ApplicationRun, TheVariableWritesThePicturesOfEveryWindowAndExitsCleanly)
{
    const QString companion = QStringLiteral(CORVANE_COMPANION_BIN);
    const QString app = applicationBinary();
    if (!QFileInfo::exists(app))
        GTEST_SKIP() << "the application is not built";

    QTemporaryDir dir;
    QProcessEnvironment environment = privateRun(dir, u"history,timing"_s);
    // A relative folder is the working folder's.
    environment.insert(u"CORVANE_SWITCHER_SCREENSHOTS"_s, u"screens"_s);

    QProcess peer;
    peer.setProcessEnvironment(environment);
    peer.start(companion, {u"--library"_s, QStringLiteral(CORVANE_FIXTURES_DIR "/companion-library.json"),
                           u"--exit-after-ms"_s, u"30000"_s});
    ASSERT_TRUE(peer.waitForStarted(5000));

    QProcess switcher;
    switcher.setProcessEnvironment(environment);
    switcher.setWorkingDirectory(dir.path());
    switcher.start(app, {});
    ASSERT_TRUE(switcher.waitForFinished(30000)) << "the application did not quit";
    EXPECT_EQ(switcher.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(switcher.exitCode(), 0) << switcher.readAllStandardError().constData();

    // Each window at its opening size; the differed play's cells in orange.
    const QImage history(dir.filePath(u"screens/history.png"_s));
    EXPECT_EQ(history.size(), QSize(960, 520));
    EXPECT_GT(PictureProbe::pixelsNear(history, SystemColors::orange()), 20) << "the differed play's cells";
    const QImage timing(dir.filePath(u"screens/timing.png"_s));
    EXPECT_EQ(timing.size(), QSize(860, 760));
    EXPECT_GT(PictureProbe::pixelsNear(timing, BrandColors::brandRedStart(), {}, 12), 300)
        << "the shown tab's capsule in the brand red";
    EXPECT_GT(PictureProbe::pixelsNear(timing, paintedColour(RailFill::next), {}, 6), 2000)
        << "the new-rate bands of a rail";
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(u"screens/learned.png"_s)));
    EXPECT_TRUE(peer.waitForFinished(10000)); // the companion leaves when the switcher does
    if (peer.state() != QProcess::NotRunning)
        peer.kill();
}
