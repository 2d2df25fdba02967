#include "LinkTestSupport.h"
#include "LoopbackPeer.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QTemporaryDir>
#include <QThread>

#include <memory>

namespace {

QJsonObject row(const QString &id, double rate, const QString &tier = QStringLiteral("lossless"))
{
    return {{"id", id},           {"kind", "library"},
            {"tier", tier},       {"rate", rate},
            {"pinned", false},    {"source", "learned"},
            {"confirmations", 1}, {"confirmedAt", "2026-11-02T10:00:00.000Z"}};
}

QJsonObject learnedRates(const QJsonArray &rows)
{
    return {{"rows", rows}, {"outputs", QJsonArray{QJsonObject{{"deviceUID", "BuiltInSpeakerDevice"}}}}};
}

QJsonObject localFiles(qint64 scanned)
{
    return {{"scanned", scanned}, {"matched", 1}, {"unmatched", 0}, {"updated", 1}};
}

// A listening link on a fresh port and one connected test companion.
class LinkWithPeer : public ::testing::Test {
protected:
    void SetUp() override
    {
        port = freePort();
        ASSERT_NE(port, 0);
        link = std::make_unique<SwitcherLink>(port, dir.path());
        link->onLocalFilesResult = [this](const SwitcherProtocol::LocalFilesResult &r) {
            scans.append(r.scanned);
        };
        link->start();
        ASSERT_EQ(listeningPort(*link), port);
    }

    void connectPeer()
    {
        ASSERT_TRUE(peer.connectTo(port));
        ASSERT_EVENTUALLY(link->isPeer());
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
    connectPeer();
    LoopbackPeer second;
    ASSERT_TRUE(second.connectTo(port));
    EXPECT_TRUE(second.waitForDisconnected());
    EXPECT_TRUE(link->isPeer());

    // Both directions still work through the first one.
    link->sendLearnedRatesRequest({true});
    ASSERT_TRUE(peer.waitForType("learnedRatesRequest"));
    EXPECT_EQ(peer.received().first().payload, QJsonObject({{"subscribe", true}}));
    peer.send("localFilesResult", localFiles(7));
    EXPECT_EVENTUALLY(scans == QList<qint64>{7});
    EXPECT_TRUE(second.received().isEmpty());

    // When it leaves the link listens again and takes the next companion.
    peer.disconnectFromHost();
    EXPECT_EVENTUALLY(listeningPort(*link) == port);
    LoopbackPeer third;
    ASSERT_TRUE(third.connectTo(port));
    EXPECT_EVENTUALLY(link->isPeer());
    third.send("localFilesResult", localFiles(9));
    EXPECT_EVENTUALLY(scans == (QList<qint64>{7, 9}));
}

TEST_F(LinkWithPeer, anotherProtocolVersionClosesTheConnectionAfterWhatCameBefore)
{
    connectPeer();
    peer.sendRaw("{\"v\":1,\"type\":\"localFilesResult\",\"payload\":{\"scanned\":1,\"matched\":0,"
                 "\"unmatched\":1,\"updated\":0}}\n"
                 "{\"v\":2,\"type\":\"localFilesResult\",\"payload\":{\"scanned\":2,\"matched\":0,"
                 "\"unmatched\":2,\"updated\":0}}\n"
                 "{\"v\":1,\"type\":\"localFilesResult\",\"payload\":{\"scanned\":3,\"matched\":0,"
                 "\"unmatched\":3,\"updated\":0}}\n");
    EXPECT_TRUE(peer.waitForDisconnected());
    EXPECT_EVENTUALLY(listeningPort(*link) == port);
    EXPECT_EQ(scans, QList<qint64>{1});
}

TEST_F(LinkWithPeer, linesThatCannotBeReadAreSkippedAndTheConnectionStays)
{
    connectPeer();
    peer.sendRaw(
        "this is not json\n"
        "[1,2,3]\n"
        "{\"type\":\"localFilesResult\",\"payload\":{}}\n"            // no "v"
        "{\"v\":1,\"payload\":{}}\n"                                  // no "type"
        "{\"v\":1,\"type\":\"localFilesResult\"}\n"                   // no "payload"
        "{\"v\":1,\"type\":\"somethingNew\",\"payload\":{\"x\":1}}\n" // a type this side doesn't know
        "{\"v\":1,\"type\":\"localFilesResult\",\"payload\":{\"scanned\":\"many\"}}\n"
        "{\"v\":1,\"type\":\"learnedRates\",\"payload\":{\"rows\":[{\"id\":\"x\"}],\"outputs\":[]}}\n"
        "{\"v\":1,\"type\":\"localFilesResult\",\"payload\":{\"scanned\":4,\"matched\":0,\"unmatched\":4,"
        "\"updated\":0\n");
    peer.send("localFilesResult", localFiles(5));
    EXPECT_EVENTUALLY(scans == QList<qint64>{5});
    EXPECT_TRUE(peer.isConnected());
    EXPECT_TRUE(link->isPeer());
}

TEST_F(LinkWithPeer, anOverlongLineClosesTheConnection)
{
    link->setMaximumLineBytes(4096);
    connectPeer();
    peer.send("localFilesResult", localFiles(1));
    peer.sendRaw("{\"v\":1,\"type\":\"learnedRates\",\"payload\":{\"notice\":\"" + QByteArray(8192, 'x'));
    EXPECT_TRUE(peer.waitForDisconnected());
    EXPECT_EVENTUALLY(listeningPort(*link) == port);
    EXPECT_EQ(scans, QList<qint64>{1});

    // The cap holds per connection: the next companion starts clean.
    LoopbackPeer next;
    ASSERT_TRUE(next.connectTo(port));
    EXPECT_EVENTUALLY(link->isPeer());
    next.send("localFilesResult", localFiles(2));
    EXPECT_EVENTUALLY(scans == (QList<qint64>{1, 2}));
}

TEST_F(LinkWithPeer, implausibleRowsNeverReachTheHandler)
{
    QList<SwitcherProtocol::LearnedRates> libraries;
    link->onLearnedRates = [&](const SwitcherProtocol::LearnedRates &r) { libraries.append(r); };
    connectPeer();
    peer.send("learnedRates", learnedRates({row("a", 0), row("b", 7999), row("c", 1536001), row("d", -44100),
                                            row("e", 44100), row("f", 8000), row("g", 1536000, "hires")}));
    ASSERT_EVENTUALLY(libraries.size() == 1);
    QStringList ids;
    for (const auto &r : libraries.first().rows)
        ids.append(r.id);
    EXPECT_EQ(ids, (QStringList{"e", "f", "g"}));
    EXPECT_EQ(libraries.first().rows.last().tier, "hires");
    EXPECT_EQ(libraries.first().outputs.size(), 1);
}

TEST_F(LinkWithPeer, handlersRunOnTheMainThreadInArrivalOrder)
{
    QStringList calls;
    const QThread *main = QCoreApplication::instance()->thread();
    auto note = [&](const QString &what) {
        calls.append(QThread::currentThread() == main ? what : what + " (off the main thread)");
    };
    link->onLearnedRates = [&](const SwitcherProtocol::LearnedRates &r) {
        note("rates " + r.rows.first().id);
    };
    link->onLocalFilesResult = [&](const SwitcherProtocol::LocalFilesResult &r) {
        note("files " + QString::number(r.scanned));
    };
    link->onRateLibraryImported = [&](const SwitcherProtocol::RateLibraryImported &r) {
        note("imported " + r.mode);
    };
    link->onRateLibraryFile = [&](const SwitcherProtocol::RateLibraryFile &r) { note("file " + r.flavour); };
    connectPeer();

    QStringList expected;
    QJsonArray big;
    for (int i = 0; i < 5000; ++i)
        big.append(row(QStringLiteral("big%1").arg(i), 96000, "hires"));
    for (int i = 0; i < 6; ++i) {
        // A large library between small messages must not be overtaken by them.
        peer.send("learnedRates",
                  learnedRates(i == 2 ? big : QJsonArray{row(QStringLiteral("r%1").arg(i), 44100)}));
        expected.append(i == 2 ? "rates big0" : QStringLiteral("rates r%1").arg(i));
        peer.send("localFilesResult", localFiles(i));
        expected.append(QStringLiteral("files %1").arg(i));
        peer.send("rateLibraryImported", {{"mode", i % 2 ? "apply" : "dryRun"},
                                          {"ok", true},
                                          {"new", 0},
                                          {"updated", 0},
                                          {"known", 0},
                                          {"skipped", 0},
                                          {"outputsNew", 0},
                                          {"outputsUpdated", 0}});
        expected.append(i % 2 ? "imported apply" : "imported dryRun");
        peer.send("rateLibraryFile",
                  {{"flavour", i % 2 ? "share" : "backup"}, {"ok", true}, {"data", "e30="}});
        expected.append(i % 2 ? "file share" : "file backup");
    }
    EXPECT_EVENTUALLY(calls.size() >= expected.size());
    EXPECT_EQ(calls, expected);
}

TEST_F(LinkWithPeer, everySenderWrapsItsPayloadInTheEnvelope)
{
    connectPeer();
    link->sendLearnedRatesRequest({false});
    link->sendPinLearnedRate(
        {"1440833098", "hires", 96000, QStringLiteral("Blue"), std::nullopt, std::nullopt});
    link->sendUnpinLearnedRate({"1440833098", "hires"});
    link->sendForgetLearnedRate({"A1B2C3D4E5F60718", "file"});
    link->sendForgetRates();
    link->sendResetStore();
    link->sendRemoveAllPins();
    link->sendSetDeviceAtmos({"BuiltInSpeakerDevice", std::nullopt});
    link->sendSetDeviceAtmos({"BuiltInSpeakerDevice", true});
    link->sendResetOutput({"BuiltInSpeakerDevice"});
    link->sendRateLibraryImport({"e30=", true, true, "dryRun"});
    link->sendDismissRateLibraryNotice();
    link->sendLocalFiles({{SwitcherProtocol::LocalFileRow{"A1B2C3D4E5F60718", std::nullopt, std::nullopt,
                                                          std::nullopt, 44100}},
                          true});
    link->sendRateLibraryExport({"share"});

    ASSERT_TRUE(peer.waitForEnvelopes(14));
    EXPECT_EQ(peer.receivedTypes(),
              (QStringList{"learnedRatesRequest", "pinLearnedRate", "unpinLearnedRate", "forgetLearnedRate",
                           "forgetRates", "resetStore", "removeAllPins", "setDeviceAtmos", "setDeviceAtmos",
                           "resetOutput", "rateLibraryImport", "dismissRateLibraryNotice", "localFiles",
                           "rateLibraryExport"}));
    EXPECT_TRUE(peer.malformedLines().isEmpty());
    const auto &got = peer.received();
    for (const auto &e : got)
        EXPECT_EQ(e.v, 1) << e.type.toStdString();
    EXPECT_EQ(got[0].payload, QJsonObject({{"subscribe", false}}));
    EXPECT_EQ(got[1].payload,
              QJsonObject({{"id", "1440833098"}, {"tier", "hires"}, {"rate", 96000}, {"title", "Blue"}}));
    EXPECT_EQ(got[3].payload, QJsonObject({{"id", "A1B2C3D4E5F60718"}, {"tier", "file"}}));
    EXPECT_EQ(got[4].payload, QJsonObject());
    EXPECT_EQ(got[7].payload, QJsonObject({{"deviceUID", "BuiltInSpeakerDevice"}}));
    EXPECT_EQ(got[8].payload, QJsonObject({{"deviceUID", "BuiltInSpeakerDevice"}, {"atmosOutput", true}}));
    EXPECT_EQ(got[10].payload,
              QJsonObject({{"data", "e30="}, {"first", true}, {"last", true}, {"mode", "dryRun"}}));
    EXPECT_EQ(got[13].payload, QJsonObject({{"flavour", "share"}}));
}

TEST_F(LinkWithPeer, sendersStaySilentWithoutACompanion)
{
    // Listening, nobody connected: all of this is dropped.
    link->sendLearnedRatesRequest({true});
    link->sendForgetRates();
    link->sendPinLearnedRate({"x", "aac", 44100, {}, {}, {}});
    connectPeer();
    link->sendResetStore();
    ASSERT_TRUE(peer.waitForType("resetStore"));

    // Gone again: nothing reaches the next companion either.
    peer.disconnectFromHost();
    ASSERT_EVENTUALLY(listeningPort(*link) == port);
    link->sendRemoveAllPins();
    LoopbackPeer next;
    ASSERT_TRUE(next.connectTo(port));
    ASSERT_EVENTUALLY(link->isPeer());
    link->sendDismissRateLibraryNotice();
    ASSERT_TRUE(next.waitForType("dismissRateLibraryNotice"));
    EXPECT_EQ(peer.receivedTypes(), QStringList{"resetStore"});
    EXPECT_EQ(next.receivedTypes(), QStringList{"dismissRateLibraryNotice"});
}

TEST_F(LinkWithPeer, stoppingOrDestroyingMidStreamIsClean)
{
    int delivered = 0;
    link->onLearnedRates = [&](const SwitcherProtocol::LearnedRates &) { ++delivered; };
    connectPeer();
    QJsonArray rows;
    for (int i = 0; i < 20000; ++i)
        rows.append(row(QStringLiteral("t%1").arg(i), 44100));
    for (int i = 0; i < 3; ++i)
        peer.send("learnedRates", learnedRates(rows));
    peer.socket().flush();
    // Stop while the worker is reading or decoding; nothing from that connection arrives after.
    link->stop();
    const int atStop = delivered;
    EXPECT_EQ(link->state(), SwitcherLink::State(SwitcherLink::Idle{}));
    EXPECT_TRUE(peer.waitForDisconnected());
    // The peer thread is gone, so whatever it posted is already queued here.
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(delivered, atStop);

    // And once more, destroying the link with a connection open.
    link->start();
    LoopbackPeer other;
    ASSERT_TRUE(other.connectTo(port));
    ASSERT_EVENTUALLY(link->isPeer());
    other.send("learnedRates", learnedRates(rows));
    link.reset();
    EXPECT_TRUE(other.waitForDisconnected());
}
