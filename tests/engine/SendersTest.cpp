// The engine's senders and handlers, seen from a real companion socket on the loopback link.
#include "LoopbackPeer.h"
#include "RateSwitcher.h"
#include "TestSupport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QRandomGenerator>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QJsonObject json(const char *text)
{
    return QJsonDocument::fromJson(text).object();
}

QJsonObject envelope(const LoopbackPeer::Envelope &e)
{
    return {{"v", e.v}, {"type", e.type}, {"payload", e.payload}};
}

class EngineSenders : public ::testing::Test {
protected:
    void SetUp() override
    {
        port = startOnAFreePort([this](quint16 candidate) {
            engine.reset();
            settings.setValue("switcher.port", candidate);
            engine = std::make_unique<RateSwitcher>(&settings, dir.filePath("history.json"), dir.path());
            engine->start();
            return std::holds_alternative<SwitcherLink::Listening>(engine->link().state());
        });
        ASSERT_NE(port, 0) << "no port to listen on";
        ASSERT_EQ(engine->link().state(), SwitcherLink::State(SwitcherLink::Listening{port}));
    }

    void pair()
    {
        ASSERT_TRUE(peer.connectTo(port));
        ASSERT_TRUE(QTest::qWaitFor([&] { return engine->link().isPeer(); }, 5000));
    }

    // The payloads of the next `count` envelopes of `type`.
    QList<QJsonObject> payloads(const QString &type, int count)
    {
        EXPECT_TRUE(peer.waitForType(type, count));
        QList<QJsonObject> out;
        for (const auto &e : peer.receivedOfType(type))
            out.append(e.payload);
        peer.clearReceived();
        return out;
    }

    QTemporaryDir dir;
    QSettings settings{dir.filePath("settings.ini"), QSettings::IniFormat};
    quint16 port = 0; // of our own, so that test binaries running side by side never meet
    std::unique_ptr<RateSwitcher> engine;
    LoopbackPeer peer;
};

// Each sender with the line it must put on the wire.
std::vector<std::pair<std::function<void()>, const char *>> senders(RateSwitcher &engine)
{
    return {
        {[&] { engine.requestLearnedRates(true); },
         R"({"v":1,"type":"learnedRatesRequest","payload":{"subscribe":true}})"},
        {[&] {
             engine.pinLearnedRate({"t1", "hires", 96000, "Title", std::nullopt, "Album"});
         },
         R"({"v":1,"type":"pinLearnedRate","payload":{"id":"t1","tier":"hires","rate":96000,"title":"Title","album":"Album"}})"},
        {[&] { engine.unpinLearnedRate("t1", "lossless"); },
         R"({"v":1,"type":"unpinLearnedRate","payload":{"id":"t1","tier":"lossless"}})"},
        {[&] { engine.forgetLearnedRate("t2", "any"); },
         R"({"v":1,"type":"forgetLearnedRate","payload":{"id":"t2","tier":"any"}})"},
        {[&] { engine.forgetRates(); }, R"({"v":1,"type":"forgetRates","payload":{}})"},
        {[&] { engine.resetStore(); }, R"({"v":1,"type":"resetStore","payload":{}})"},
        {[&] { engine.removeAllPins(); }, R"({"v":1,"type":"removeAllPins","payload":{}})"},
        {[&] { engine.setDeviceAtmos("uid-1", false); },
         R"({"v":1,"type":"setDeviceAtmos","payload":{"deviceUID":"uid-1","atmosOutput":false}})"},
        {[&] { engine.setDeviceAtmos("uid-1", std::nullopt); },
         R"({"v":1,"type":"setDeviceAtmos","payload":{"deviceUID":"uid-1"}})"},
        {[&] { engine.resetOutput("uid-2"); },
         R"({"v":1,"type":"resetOutput","payload":{"deviceUID":"uid-2"}})"},
        {[&] { engine.importRateLibrary("abc", "dryRun"); },
         R"({"v":1,"type":"rateLibraryImport","payload":{"data":"YWJj","first":true,"last":true,"mode":"dryRun"}})"},
        {[&] { engine.dismissRateLibraryNotice(); },
         R"({"v":1,"type":"dismissRateLibraryNotice","payload":{}})"},
        {[&] {
             engine.sendLocalFiles({{"p1", "Song", {}, {}, 88200}});
         },
         R"({"v":1,"type":"localFiles","payload":{"rows":[{"id":"p1","title":"Song","rate":88200}],"done":true}})"},
        {[&] { engine.requestRateLibraryExport("share"); },
         R"({"v":1,"type":"rateLibraryExport","payload":{"flavour":"share"}})"},
    };
}

} // namespace

TEST_F(EngineSenders, EachSenderSendsItsExactEnvelopeOnlyToACompanion)
{
    for (const auto &[send, expected] : senders(*engine))
        send(); // listening, nobody connected

    // Whatever had been held back would arrive first and shift every line below.
    pair();
    const auto cases = senders(*engine);
    for (int i = 0; i < int(cases.size()); ++i) {
        SCOPED_TRACE(cases[i].second);
        cases[i].first();
        ASSERT_TRUE(peer.waitForEnvelopes(i + 1));
        EXPECT_EQ(envelope(peer.received()[i]), json(cases[i].second));
    }
    EXPECT_TRUE(peer.malformedLines().isEmpty());
}

TEST_F(EngineSenders, ImportChunksReadAloneOrJoinedGiveTheOriginalBytes)
{
    pair();
    // Both readings a companion may make: each chunk decoded alone and the chunks appended, or
    // the texts joined and decoded once.
    const auto readings = [&](const QByteArray &data, const QString &mode, int count) {
        engine->importRateLibrary(data, mode);
        const QList<QJsonObject> chunks = payloads("rateLibraryImport", count);
        EXPECT_EQ(chunks.size(), count);
        QByteArray alone;
        QByteArray text;
        for (qsizetype i = 0; i < chunks.size(); ++i) {
            EXPECT_EQ(chunks[i].value("first").toBool(), i == 0);
            EXPECT_EQ(chunks[i].value("last").toBool(), i == chunks.size() - 1);
            EXPECT_EQ(chunks[i].value("mode").toString(), mode);
            const QByteArray chunk = chunks[i].value("data").toString().toLatin1();
            const auto decoded =
                QByteArray::fromBase64Encoding(chunk, QByteArray::AbortOnBase64DecodingErrors);
            EXPECT_TRUE(decoded) << "chunk " << i;
            alone += decoded.decoded;
            text += chunk;
        }
        const auto joined = QByteArray::fromBase64Encoding(text, QByteArray::AbortOnBase64DecodingErrors);
        EXPECT_TRUE(joined) << "the joined text is not one base64 text";
        EXPECT_EQ(text, data.toBase64());
        return std::pair(alone, joined.decoded);
    };

    QByteArray random(600'000, Qt::Uninitialized);
    QRandomGenerator generator(42);
    for (char &c : random)
        c = char(generator.bounded(256));
    EXPECT_EQ(readings(random, QStringLiteral("apply"), 4), std::pair(random, random));
    const QByteArray exact(2 * RateSwitcher::importChunkBytes, 'x'); // no empty trailing chunk
    EXPECT_EQ(readings(exact, QStringLiteral("dryRun"), 2), std::pair(exact, exact));
    EXPECT_EQ(readings(QByteArray(), QStringLiteral("dryRun"), 1), std::pair(QByteArray(), QByteArray()));
}

TEST_F(EngineSenders, LocalFilesGoInBatchesOf500TheLastMarkedDone)
{
    pair();
    QList<SwitcherProtocol::LocalFileRow> rows;
    QStringList sent;
    for (int i = 0; i < 1001; ++i) {
        sent.append(QStringLiteral("id%1").arg(i));
        rows.append({sent.last(), std::nullopt, std::nullopt, std::nullopt, 44100});
    }
    engine->sendLocalFiles(rows);
    QStringList ids;
    QList<std::pair<qsizetype, bool>> batches;
    for (const QJsonObject &payload : payloads("localFiles", 3)) {
        const QJsonArray batch = payload.value("rows").toArray();
        batches.append({batch.size(), payload.value("done").toBool()});
        for (const QJsonValue &row : batch)
            ids.append(row.toObject().value("id").toString());
    }
    EXPECT_EQ(batches, (QList<std::pair<qsizetype, bool>>{{500, false}, {500, false}, {1, true}}));
    EXPECT_EQ(ids, sent);

    engine->sendLocalFiles({});
    EXPECT_EQ(payloads("localFiles", 1), QList<QJsonObject>{json(R"({"rows":[],"done":true})")});
}
