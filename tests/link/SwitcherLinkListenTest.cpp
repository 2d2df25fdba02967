#include "AppPaths.h"
#include "LinkTestSupport.h"
#include "LoopbackPeer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <memory>

namespace {

QByteArray fileContents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST(SwitcherLinkListen, configuredPortIsHonouredAndPublishedUntilStop)
{
    QTemporaryDir dir;
    const quint16 port = freePort();
    ASSERT_NE(port, 0);
    SwitcherLink link(port, dir.path());
    QList<SwitcherLink::State> states;
    link.onState = [&](const SwitcherLink::State &s) { states.append(s); };

    link.start();
    EXPECT_EQ(link.state(), SwitcherLink::State(SwitcherLink::Listening{port}));
    EXPECT_EQ(link.portFilePath(), dir.filePath("port"));
    EXPECT_EQ(fileContents(link.portFilePath()), QByteArray::number(port) + "\n");

    link.start(); // already listening: nothing changes
    LoopbackPeer peer;
    ASSERT_TRUE(peer.connectTo(port));
    EXPECT_EVENTUALLY(link.isPeer());

    link.stop();
    EXPECT_FALSE(QFile::exists(link.portFilePath()));
    EXPECT_TRUE(peer.waitForDisconnected());
    EXPECT_EQ(states, (QList<SwitcherLink::State>{SwitcherLink::Listening{port}, SwitcherLink::Peer{},
                                                  SwitcherLink::Idle{}}));

    // It can listen again, and the destructor takes the port file away too.
    link.start();
    EXPECT_EQ(listeningPort(link), port);
    {
        SwitcherLink second(freePort(), dir.path());
        second.start();
        // The newer listener owns the file now; the older one must not delete it on stop.
        ASSERT_TRUE(listeningPort(second));
        link.stop();
        EXPECT_EQ(fileContents(dir.filePath("port")), QByteArray::number(*listeningPort(second)) + "\n");
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("port")));
}

TEST(SwitcherLinkListen, aTakenConfiguredPortFailsInWords)
{
    QTemporaryDir dir;
    QTcpServer occupant;
    ASSERT_TRUE(occupant.listen(QHostAddress::LocalHost, 0));
    const quint16 port = occupant.serverPort();

    SwitcherLink link(port, dir.path());
    link.start();
    const auto *failed = std::get_if<SwitcherLink::Failed>(&link.state());
    ASSERT_NE(failed, nullptr);
    EXPECT_EQ(failed->text, QStringLiteral("Port %1 is in use by another app.").arg(port));
    EXPECT_FALSE(QFile::exists(link.portFilePath()));

    // Once the port is free, starting again works.
    occupant.close();
    link.start();
    EXPECT_EQ(listeningPort(link), port);
}

TEST(SwitcherLinkListen, withoutAConfiguredPortTheFirstFreeOfTheRangeIsTaken)
{
    QTemporaryDir dir;
    QTcpServer first;
    if (!first.listen(QHostAddress::LocalHost, SwitcherLink::firstPort)) {
        // Someone else holds 40300 already, which makes the fallback happen all the same.
        qInfo("port %d already taken on this machine", SwitcherLink::firstPort);
    }
    SwitcherLink link(std::nullopt, dir.path());
    link.start();
    const auto port = listeningPort(link);
    if (!port)
        GTEST_SKIP() << "ports 40300 to 40310 are all busy on this machine";
    EXPECT_GT(*port, SwitcherLink::firstPort);
    EXPECT_LE(*port, SwitcherLink::lastPort);
    EXPECT_EQ(fileContents(link.portFilePath()), QByteArray::number(*port) + "\n");
}

TEST(SwitcherLinkListen, aFullRangeFailsInWords)
{
    QTemporaryDir dir;
    std::vector<std::unique_ptr<QTcpServer>> occupants;
    for (quint16 port = SwitcherLink::firstPort; port <= SwitcherLink::lastPort; ++port) {
        auto server = std::make_unique<QTcpServer>();
        if (server->listen(QHostAddress::LocalHost, port))
            occupants.push_back(std::move(server));
    }
    SwitcherLink link(std::nullopt, dir.path());
    link.start();
    EXPECT_EQ(link.state(), SwitcherLink::State(SwitcherLink::Failed{QStringLiteral(
                                "No free port between 40300 and 40310 — another app is using them.")}));
}

TEST(SwitcherLinkListen, anUnwritablePortFileDoesNotStopTheLink)
{
    QTemporaryDir dir;
    QFile blocker(dir.filePath("not-a-folder"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    const quint16 port = freePort();
    SwitcherLink link(port, dir.filePath("not-a-folder"));
    link.start();
    EXPECT_EQ(listeningPort(link), port);

    LoopbackPeer peer;
    ASSERT_TRUE(peer.connectTo(port));
    EXPECT_EVENTUALLY(link.isPeer());
    link.stop();
    EXPECT_TRUE(QFile::exists(dir.filePath("not-a-folder")));
}

TEST(SwitcherLinkListen, theDataFolderHoldsThePortFileByDefault)
{
    const quint16 port = freePort();
    SwitcherLink link(port);
    link.start();
    ASSERT_EQ(listeningPort(link), port);
    const QString path = QDir(AppPaths::dataDirectory()).filePath("port");
    EXPECT_EQ(link.portFilePath(), path);
    EXPECT_EQ(fileContents(path), QByteArray::number(port) + "\n");
    link.stop();
    EXPECT_FALSE(QFile::exists(path));
}
