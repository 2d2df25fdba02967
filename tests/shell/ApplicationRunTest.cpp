// The application as the demo runs it: a separate process with the stand-in companion, a
// private data folder, windows named at start, pictures taken offscreen, a clean exit.

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(ApplicationRun, OffscreenRunWritesEveryWindowAndExitsCleanly)
{
    const QString companion = QStringLiteral(CORVANE_COMPANION_BIN);
    const QString app =
        QFileInfo(companion).dir().absoluteFilePath(u"../Corvane_Switcher/corvane-switcher"_s);
    if (!QFileInfo::exists(app))
        GTEST_SKIP() << "the application is not built";

    QTemporaryDir data;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"CORVANE_SWITCHER_DATA_DIR"_s, data.filePath(u"data"_s));
    environment.insert(u"CORVANE_SWITCHER_OPEN"_s, u"history,timing"_s);
    environment.insert(u"CORVANE_SWITCHER_SCREENSHOTS"_s, data.filePath(u"screens"_s));
    environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);

    QProcess peer;
    peer.setProcessEnvironment(environment);
    peer.start(companion, {u"--library"_s, QStringLiteral(CORVANE_FIXTURES_DIR "/companion-library.json"),
                           u"--exit-after-ms"_s, u"30000"_s});
    ASSERT_TRUE(peer.waitForStarted(5000));

    QProcess switcher;
    switcher.setProcessEnvironment(environment);
    switcher.start(app, {});
    ASSERT_TRUE(switcher.waitForFinished(30000)) << "the application did not quit";
    EXPECT_EQ(switcher.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(switcher.exitCode(), 0) << switcher.readAllStandardError().constData();
    EXPECT_FALSE(QImage(data.filePath(u"screens/history.png"_s)).isNull());
    EXPECT_FALSE(QImage(data.filePath(u"screens/timing.png"_s)).isNull());
    EXPECT_FALSE(QFileInfo::exists(data.filePath(u"screens/learned.png"_s)));
    EXPECT_TRUE(peer.waitForFinished(10000)); // the companion leaves when the switcher does
    if (peer.state() != QProcess::NotRunning)
        peer.kill();
}
