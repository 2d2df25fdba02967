// Showing a file in the file manager, as "Show File in Finder" does on this platform: the
// freedesktop ShowItems call on the session bus, and the file's folder where nobody answers it.
// A private bus with a stand-in file manager keeps the user's desktop out of it.

#include "Platform/LinuxWorkspace.h"

#include <QDBusConnection>
#include <QDesktopServices>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

class FileManager final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")
public:
    QList<QStringList> shown;

public slots:
    void ShowItems(const QStringList &uris, const QString &startupId)
    {
        Q_UNUSED(startupId)
        shown.append(uris);
    }
};

// Where QDesktopServices would send a URL: recorded instead of starting a program.
class Opener final : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;

public slots:
    void open(const QUrl &url) { opened.append(url); }
};

TEST(RevealFile, ShowItemsOnTheSessionBusOrTheFolder)
{
    const QString daemon = QStandardPaths::findExecutable(u"dbus-daemon"_s);
    if (daemon.isEmpty())
        GTEST_SKIP() << "no dbus-daemon";
    QProcess bus;
    bus.start(daemon, {u"--session"_s, u"--nofork"_s, u"--nopidfile"_s, u"--print-address=1"_s});
    ASSERT_TRUE(bus.waitForStarted(5000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return bus.canReadLine(); }, 5000));
    const QByteArray address = bus.readLine().trimmed();
    // Before the first use of the session bus in this process, which then keeps it.
    qputenv("DBUS_SESSION_BUS_ADDRESS", address);

    QDBusConnection service = QDBusConnection::connectToBus(QString::fromUtf8(address), u"file-manager"_s);
    ASSERT_TRUE(service.isConnected());
    FileManager fileManager;
    ASSERT_TRUE(service.registerObject(u"/org/freedesktop/FileManager1"_s, &fileManager,
                                       QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(service.registerService(u"org.freedesktop.FileManager1"_s));
    Opener opener;
    QDesktopServices::setUrlHandler(u"file"_s, &opener, "open");

    QTemporaryDir dir;
    const QString path = dir.filePath(u"SwitcherLearned.json"_s);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();

    LinuxWorkspace workspace;
    workspace.revealFile(path);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !fileManager.shown.isEmpty(); }, 5000));
    EXPECT_EQ(fileManager.shown, QList<QStringList>{{QUrl::fromLocalFile(path).toString()}});
    EXPECT_TRUE(opener.opened.isEmpty());

    // No file manager on the bus: the folder opens instead.
    ASSERT_TRUE(service.unregisterService(u"org.freedesktop.FileManager1"_s));
    workspace.revealFile(path);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !opener.opened.isEmpty(); }, 5000));
    EXPECT_EQ(opener.opened, QList<QUrl>{QUrl::fromLocalFile(dir.path())});
    EXPECT_EQ(fileManager.shown.size(), 1);

    QDesktopServices::unsetUrlHandler(u"file"_s);
    QDBusConnection::disconnectFromBus(u"file-manager"_s);
    bus.kill();
    bus.waitForFinished(5000);
}

#include "RevealFileTest.moc"
