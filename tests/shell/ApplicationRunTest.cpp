// The application as the demo runs it: a separate process with the stand-in companion, a
// private data folder, windows named at start, pictures taken offscreen, a clean exit.

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(ApplicationRun, OffscreenRunWritesEveryWindowAndExitsCleanly)
{
    const QString companion = QStringLiteral(CORVANE_COMPANION_BIN);
    const QString app =
        QFileInfo(companion).dir().absoluteFilePath(QStringLiteral("../Corvane_Switcher/corvane-switcher"));
    if (!QFileInfo::exists(app))
        GTEST_SKIP() << "the application is not built";

    QTemporaryDir data;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("CORVANE_SWITCHER_DATA_DIR"), data.filePath(QStringLiteral("data")));
    environment.insert(QStringLiteral("CORVANE_SWITCHER_OPEN"), QStringLiteral("history,timing"));
    environment.insert(QStringLiteral("CORVANE_SWITCHER_SCREENSHOTS"),
                       data.filePath(QStringLiteral("screens")));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));

    QProcess peer;
    peer.setProcessEnvironment(environment);
    peer.start(companion,
               {QStringLiteral("--library"), QStringLiteral(CORVANE_FIXTURES_DIR "/companion-library.json"),
                QStringLiteral("--exit-after-ms"), QStringLiteral("30000")});
    ASSERT_TRUE(peer.waitForStarted(5000));

    QProcess switcher;
    switcher.setProcessEnvironment(environment);
    switcher.start(app, {});
    ASSERT_TRUE(switcher.waitForFinished(30000)) << "the application did not quit";
    EXPECT_EQ(switcher.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(switcher.exitCode(), 0) << switcher.readAllStandardError().constData();
    for (const char *id : {"history", "timing"}) {
        const QImage image(data.filePath(QStringLiteral("screens/%1.png").arg(QLatin1String(id))));
        EXPECT_FALSE(image.isNull()) << id;
    }
    EXPECT_FALSE(QFileInfo::exists(data.filePath(QStringLiteral("screens/learned.png"))));
    // The companion leaves when the switcher does.
    EXPECT_TRUE(peer.waitForFinished(10000));
    if (peer.state() != QProcess::NotRunning)
        peer.kill();
}
