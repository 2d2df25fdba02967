#include "LinkTestSupport.h"
#include "LoopbackPeer.h"
#include "WakeUpHold.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QThread>

#include <memory>

namespace {

QJsonObject row(const QString &id, double rate)
{
    return {{"id", id},           {"kind", "library"},
            {"tier", "lossless"}, {"rate", rate},
            {"pinned", false},    {"source", "learned"},
            {"confirmations", 1}, {"confirmedAt", "2026-11-02T10:00:00.000Z"}};
}

QJsonObject learnedRates(const QJsonArray &rows)
{
    return {{"rows", rows}, {"outputs", QJsonArray{}}};
}

QJsonObject localFiles(qint64 scanned)
{
    return {{"scanned", scanned}, {"matched", 1}, {"unmatched", 0}, {"updated", 1}};
}

QByteArray localFilesLine(int v, qint64 scanned)
{
    const QJsonObject message{{"v", v}, {"type", "localFilesResult"}, {"payload", localFiles(scanned)}};
    return QJsonDocument(message).toJson(QJsonDocument::Compact) + '\n';
}

// A listening link on a fresh port and one connected test companion.
class LinkWithPeer : public ::testing::Test {
protected:
    void SetUp() override
    {
        port = startOnAFreePort([this](quint16 candidate) {
            link = std::make_unique<SwitcherLink>(candidate, dir.path());
            link->onLocalFilesResult = [this](const SwitcherProtocol::LocalFilesResult &r) {
                scans.append(r.scanned);
            };
            link->start();
            return listeningPort(*link) == candidate;
        });
        ASSERT_NE(port, 0) << "no port to listen on";
        ASSERT_EQ(listeningPort(*link), port);
    }

    void pair(LoopbackPeer &companion)
    {
        ASSERT_TRUE(companion.connectTo(port));
        ASSERT_EVENTUALLY(link->isPeer());
    }

    // Waits until the link has let the companion go and listens again.
    bool relistens()
    {
        return QTest::qWaitFor([&] { return listeningPort(*link) == port; }, 5000);
    }

    QTemporaryDir dir;
    quint16 port = 0;
    std::unique_ptr<SwitcherLink> link;
    LoopbackPeer peer;
    QList<qint64> scans;
};

} // namespace

TEST_F(LinkWithPeer, aSecondCompanionIsRefusedWhileTheFirstKeepsWorking)
{
    pair(peer);
    LoopbackPeer second;
    ASSERT_TRUE(second.connectTo(port));
    EXPECT_TRUE(second.waitForDisconnected());
    EXPECT_TRUE(link->isPeer());

    link->sendResetStore();
    ASSERT_TRUE(peer.waitForType("resetStore"));
    peer.send("localFilesResult", localFiles(7));
    EXPECT_EVENTUALLY(scans == QList<qint64>{7});
    EXPECT_TRUE(second.received().isEmpty());
}

TEST_F(LinkWithPeer, anotherProtocolVersionClosesTheConnectionAfterWhatCameBefore)
{
    pair(peer);
    peer.sendRaw(localFilesLine(1, 1) + localFilesLine(2, 2) + localFilesLine(1, 3));
    EXPECT_TRUE(peer.waitForDisconnected());
    EXPECT_TRUE(relistens());
    EXPECT_EQ(scans, QList<qint64>{1});
}

TEST_F(LinkWithPeer, linesThatCannotBeReadAreSkippedAndTheConnectionStays)
{
    pair(peer);
    peer.sendRaw(
        "this is not json\n"
        "[1,2,3]\n"
        "{\"type\":\"localFilesResult\",\"payload\":{}}\n"            // no "v"
        "{\"v\":1,\"payload\":{}}\n"                                  // no "type"
        "{\"v\":1,\"type\":\"localFilesResult\"}\n"                   // no "payload"
        "{\"v\":1,\"type\":\"somethingNew\",\"payload\":{\"x\":1}}\n" // a type this side doesn't know
        "{\"v\":1,\"type\":\"localFilesResult\",\"payload\":{\"scanned\":\"many\"}}\n"
        "{\"v\":1,\"type\":\"learnedRates\",\"payload\":{\"rows\":[{\"id\":\"x\"}],\"outputs\":[]}}\n"
        "{\"v\":1,\"type\":\"localFilesResult\",\"payload\":{\"scanned\":4\n");
    peer.send("localFilesResult", localFiles(5));
    EXPECT_EVENTUALLY(scans == QList<qint64>{5});
    EXPECT_TRUE(peer.isConnected());
    EXPECT_TRUE(link->isPeer());
}

TEST_F(LinkWithPeer, anOverlongLineClosesTheConnectionAndTheNextCompanionStartsClean)
{
    link->setMaximumLineBytes(4096);
    pair(peer);
    peer.send("localFilesResult", localFiles(1));
    peer.sendRaw("{\"v\":1,\"type\":\"learnedRates\",\"payload\":{\"notice\":\"" + QByteArray(8192, 'x'));
    EXPECT_TRUE(peer.waitForDisconnected());
    ASSERT_TRUE(relistens());
    EXPECT_EQ(scans, QList<qint64>{1});

    LoopbackPeer next;
    pair(next);
    next.send("localFilesResult", localFiles(2));
    EXPECT_EVENTUALLY(scans == (QList<qint64>{1, 2}));
}

TEST_F(LinkWithPeer, implausibleRowsNeverReachTheHandler)
{
    QStringList ids;
    link->onLearnedRates = [&](const SwitcherProtocol::LearnedRates &r) {
        for (const auto &row : r.rows)
            ids.append(row.id);
    };
    pair(peer);
    peer.send("learnedRates", learnedRates({row("a", 0), row("b", 7999), row("c", 1536001), row("d", -44100),
                                            row("e", 44100), row("f", 8000), row("g", 1536000)}));
    EXPECT_EVENTUALLY(ids == (QStringList{"e", "f", "g"}));
}

// The companion sends its whole library after every change; the link keeps one copy of the
// texts that did not change, not one per library.
TEST_F(LinkWithPeer, aLibrarySentAgainTakesItsUnchangedTextsFromTheOneBefore)
{
    QList<SwitcherProtocol::LearnedRates> delivered;
    link->onLearnedRates = [&](const SwitcherProtocol::LearnedRates &r) { delivered.append(r); };
    pair(peer);
    QJsonArray rows;
    for (int i = 0; i < 5000; ++i)
        rows.append(row(QStringLiteral("t%1").arg(i), 44100));
    peer.send("learnedRates", learnedRates(rows));
    rows[3] = row("new", 48000);
    peer.send("learnedRates", learnedRates(rows));
    ASSERT_EVENTUALLY(delivered.size() == 2);
    EXPECT_EQ(delivered[1].rows[3].id, "new");
    EXPECT_TRUE(delivered[1].rows[4].id.isSharedWith(delivered[0].rows[4].id));
}

// A large Rate Library is read as it arrives, its rows taken out of the line as they come. One
// that turns out at its end not to be what the fast reader reads is still read as the whole line
// would be: by the general decoders, with the rows read on the way.
TEST_F(LinkWithPeer, aLargeLibraryReadAsItArrivesIsReadAsTheWholeLineWhateverItsEnd)
{
    QList<SwitcherProtocol::LearnedRates> delivered;
    link->onLearnedRates = [&](const SwitcherProtocol::LearnedRates &r) { delivered.append(r); };
    pair(peer);
    QJsonArray rows;
    for (int i = 0; i < 20000; ++i)
        rows.append(row(QStringLiteral("t%1").arg(i), i % 1000 ? 44100 : 0)); // some implausible
    const auto line = [](const QJsonArray &rows, const QByteArray &around) {
        return R"({"payload":)" + QJsonDocument(learnedRates(rows)).toJson(QJsonDocument::Compact) + "," +
               around + "}\n";
    };
    // "v" twice, which the general decoders take (the last one counts) and the fast reader not.
    peer.sendRaw(line(rows, R"("type":"learnedRates","v":1,"v":1)"));
    // A wrong type in the last row: skipped, and the connection stays.
    QJsonObject last = rows.last().toObject();
    last["rate"] = "fast";
    rows[rows.size() - 1] = last;
    peer.sendRaw(line(rows, R"("type":"learnedRates","v":1)"));
    peer.send("localFilesResult", localFiles(7));
    ASSERT_EVENTUALLY(scans == QList<qint64>{7});
    ASSERT_EQ(delivered.size(), 1);
    EXPECT_EQ(delivered[0].rows.size(), 19980);
    EXPECT_EQ(delivered[0].rows.first().id, "t1");
    EXPECT_EQ(delivered[0].rows.last().id, "t19999");
    EXPECT_TRUE(peer.isConnected());
}

TEST_F(LinkWithPeer, handlersRunOnTheMainThreadInArrivalOrder)
{
    QStringList calls;
    const auto note = [&](const QString &what) {
        const bool onMain = QThread::currentThread() == QCoreApplication::instance()->thread();
        calls.append(onMain ? what : what + " (off the main thread)");
    };
    link->onLearnedRates = [&](const auto &r) { note("rates " + r.rows.first().id); };
    link->onLocalFilesResult = [&](const auto &r) { note("files " + QString::number(r.scanned)); };
    pair(peer);

    QStringList expected;
    QJsonArray big;
    for (int i = 0; i < 5000; ++i)
        big.append(row(QStringLiteral("big%1").arg(i), 96000));
    for (int i = 0; i < 6; ++i) {
        // A large library between small messages must not be overtaken by them.
        const QString id = i == 2 ? "big0" : QStringLiteral("r%1").arg(i);
        peer.send("learnedRates", learnedRates(i == 2 ? big : QJsonArray{row(id, 44100)}));
        peer.send("localFilesResult", localFiles(i));
        expected << "rates " + id << QStringLiteral("files %1").arg(i);
    }
    EXPECT_EVENTUALLY(calls.size() >= expected.size());
    EXPECT_EQ(calls, expected);
}

TEST_F(LinkWithPeer, sendersStaySilentWithoutACompanion)
{
    link->sendForgetRates(); // listening, nobody connected
    pair(peer);
    link->sendResetStore();
    ASSERT_TRUE(peer.waitForType("resetStore"));

    // Gone again: nothing reaches the next companion either.
    peer.disconnectFromHost();
    ASSERT_TRUE(relistens());
    link->sendRemoveAllPins();
    LoopbackPeer next;
    pair(next);
    link->sendDismissRateLibraryNotice();
    ASSERT_TRUE(next.waitForType("dismissRateLibraryNotice"));
    EXPECT_EQ(peer.receivedTypes(), QStringList{"resetStore"});
    EXPECT_EQ(next.receivedTypes(), QStringList{"dismissRateLibraryNotice"});
}

TEST_F(LinkWithPeer, stoppingOrDestroyingMidStreamIsClean)
{
    int delivered = 0;
    link->onLearnedRates = [&](const SwitcherProtocol::LearnedRates &) { ++delivered; };
    pair(peer);
    QJsonArray rows;
    for (int i = 0; i < 20000; ++i)
        rows.append(row(QStringLiteral("t%1").arg(i), 44100));
    for (int i = 0; i < 3; ++i)
        peer.send("learnedRates", learnedRates(rows));
    peer.socket().flush();
    // Stop while the worker is reading or decoding; nothing from that connection arrives after.
    link->stop();
    const int atStop = delivered;
    EXPECT_TRUE(peer.waitForDisconnected());
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(delivered, atStop);

    link->start();
    LoopbackPeer other;
    pair(other);
    other.send("learnedRates", learnedRates(rows));
    link.reset();
    EXPECT_TRUE(other.waitForDisconnected());
}

// The main thread's last call to a connection's thread must never be what ends that thread: Qt's
// post wakes the thread after queuing the call, and a thread that ended itself on it would be woken
// after its loop was freed (a crash on stop or quit while the companion streams). The hold keeps the
// main thread in that wake-up so that such an end always falls inside it, not once in thousands.
TEST_F(LinkWithPeer, aConnectionsThreadNeverEndsUnderTheMainThreadsLastCallToIt)
{
    QByteArray burst;
    for (int i = 0; i < 2000; ++i)
        burst += localFilesLine(1, i);
    int held = 0;
    int endedInside = 0;
    for (int i = 0; i < 40 && held < 8; ++i) {
        LoopbackPeer companion;
        pair(companion);
        companion.send("localFilesResult", localFiles(1));
        ASSERT_EVENTUALLY(!scans.isEmpty()); // the connection's thread runs its loop
        companion.sendRaw(burst);
        companion.socket().flush();
        {
            // Stopped or destroyed while the connection's thread reads the burst.
            const WakeUpHold hold;
            if (i % 2 == 0)
                link->stop();
            else
                link.reset();
            held += hold.held();
            endedInside += hold.endedInside();
        }
        if (!link) {
            link = std::make_unique<SwitcherLink>(port, dir.path());
            link->onLocalFilesResult = [this](const SwitcherProtocol::LocalFilesResult &r) {
                scans.append(r.scanned);
            };
        }
        QCoreApplication::sendPostedEvents();
        scans.clear();
        link->start();
        ASSERT_EQ(listeningPort(*link), port);
    }
    if (held == 0)
        GTEST_SKIP() << "this event loop is not GLib's; nothing was held";
    EXPECT_EQ(endedInside, 0) << "of " << held << " wake-ups of a connection's thread from the main thread";
}
