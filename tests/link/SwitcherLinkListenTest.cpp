#include "LinkTestSupport.h"
#include "LoopbackPeer.h"

#include <QFile>
#include <QTemporaryDir>

#include <memory>

TEST(SwitcherLinkListen, configuredPortIsHonouredAndPublishedUntilStop)
{
    QTemporaryDir dir;
    std::unique_ptr<SwitcherLink> link;
    QList<SwitcherLink::State> states;
    const quint16 port = startOnAFreePort([&](quint16 candidate) {
        link = std::make_unique<SwitcherLink>(candidate, dir.path());
        states.clear();
        link->onState = [&](const SwitcherLink::State &s) { states.append(s); };
        link->start();
        return listeningPort(*link) == candidate;
    });
    ASSERT_NE(port, 0) << "no port to listen on";

    EXPECT_EQ(readFile(dir.filePath("port")), QByteArray::number(port) + "\n");
    link->start(); // already listening: nothing changes
    LoopbackPeer peer;
    ASSERT_TRUE(peer.connectTo(port));
    EXPECT_EVENTUALLY(link->isPeer());
    link->stop();
    EXPECT_FALSE(QFile::exists(dir.filePath("port")));
    EXPECT_TRUE(peer.waitForDisconnected());
    EXPECT_EQ(states, (QList<SwitcherLink::State>{SwitcherLink::Listening{port}, SwitcherLink::Peer{},
                                                  SwitcherLink::Idle{}}));

    link->start();
    {
        // The newer listener owns the file now; the older one must not delete it on stop.
        std::unique_ptr<SwitcherLink> second;
        ASSERT_NE(startOnAFreePort([&](quint16 candidate) {
                      second = std::make_unique<SwitcherLink>(candidate, dir.path());
                      second->start();
                      return listeningPort(*second) == candidate;
                  }),
                  0);
        link->stop();
        EXPECT_EQ(readFile(dir.filePath("port")), QByteArray::number(*listeningPort(*second)) + "\n");
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("port")));
}

TEST(SwitcherLinkListen, aTakenConfiguredPortFailsInWordsUntilItIsFree)
{
    QTemporaryDir dir;
    QTcpServer occupant;
    ASSERT_TRUE(occupant.listen(QHostAddress::LocalHost, 0));
    const quint16 port = occupant.serverPort();
    SwitcherLink link(port, dir.path());
    link.start();
    EXPECT_EQ(link.state(), SwitcherLink::State(SwitcherLink::Failed{
                                QStringLiteral("Port %1 is in use by another app.").arg(port)}));
    EXPECT_FALSE(QFile::exists(link.portFilePath()));
    occupant.close();
    link.start();
    EXPECT_EQ(listeningPort(link), port);
}

TEST(SwitcherLinkListen, withoutAConfiguredPortTheNextFreeOfTheRangeIsTaken)
{
    QTemporaryDir dir;
    std::vector<std::unique_ptr<QTcpServer>> occupants;
    const auto occupy = [&](quint16 port) {
        auto server = std::make_unique<QTcpServer>();
        if (server->listen(QHostAddress::LocalHost, port))
            occupants.push_back(std::move(server));
    };
    occupy(SwitcherLink::firstPort); // already held by someone else: the fallback happens all the same
    SwitcherLink link(std::nullopt, dir.path());
    link.start();
    const auto port = listeningPort(link);
    if (!port)
        GTEST_SKIP() << "ports 40300 to 40310 are all busy on this machine";
    EXPECT_GT(*port, SwitcherLink::firstPort);
    EXPECT_LE(*port, SwitcherLink::lastPort);
    EXPECT_EQ(readFile(link.portFilePath()), QByteArray::number(*port) + "\n");

    link.stop();
    for (quint16 p = SwitcherLink::firstPort + 1; p <= SwitcherLink::lastPort; ++p)
        occupy(p);
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
    std::unique_ptr<SwitcherLink> link;
    const quint16 port = startOnAFreePort([&](quint16 candidate) {
        link = std::make_unique<SwitcherLink>(candidate, blocker.fileName());
        link->start();
        return listeningPort(*link) == candidate;
    });
    ASSERT_NE(port, 0) << "no port to listen on";
    EXPECT_EQ(listeningPort(*link), port);
    link->stop();
    EXPECT_TRUE(QFile::exists(blocker.fileName()));
}
