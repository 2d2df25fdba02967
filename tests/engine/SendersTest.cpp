// The engine's senders and handlers, seen from a real companion socket on the loopback link.
#include "RateSwitcher.h"

#include <QHostAddress>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QSettings>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

constexpr int waitMs = 10000;

// The companion's end of the link: connects and collects whole lines.
class CompanionSocket final {
public:
    bool connectTo(quint16 port)
    {
        m_socket.connectToHost(QHostAddress::LocalHost, port);
        return m_socket.waitForConnected(waitMs);
    }

    // Waits (bounded) until `count` lines have arrived and takes them.
    QList<QByteArray> take(int count)
    {
        QTest::qWaitFor([&] {
            read();
            return m_lines.size() >= count;
        }, waitMs);
        const QList<QByteArray> taken = m_lines.mid(0, count);
        m_lines.remove(0, taken.size());
        return taken;
    }

    QJsonObject takeObject()
    {
        const QList<QByteArray> lines = take(1);
        return lines.isEmpty() ? QJsonObject() : QJsonDocument::fromJson(lines.first()).object();
    }

    void send(const QByteArray &line)
    {
        m_socket.write(line);
        m_socket.flush();
    }

private:
    void read()
    {
        m_buffer += m_socket.readAll();
        for (qsizetype end = m_buffer.indexOf('\n'); end >= 0; end = m_buffer.indexOf('\n')) {
            m_lines.append(m_buffer.left(end));
            m_buffer.remove(0, end + 1);
        }
    }

    QTcpSocket m_socket;
    QByteArray m_buffer;
    QList<QByteArray> m_lines;
};

QJsonObject json(const char *text)
{
    return QJsonDocument::fromJson(text).object();
}

class EngineSenders : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_settings = std::make_unique<QSettings>(dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
        // A port of our own, so that test binaries running side by side never meet.
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
        m_settings->setValue("switcher.port", probe.serverPort());
        probe.close();
        engine = std::make_unique<RateSwitcher>(m_settings.get(), dir.filePath(QStringLiteral("history.json")), dir.path());
        engine->start();
        ASSERT_TRUE(QTest::qWaitFor([&] { return listeningPort() != 0; }, waitMs));
    }

    quint16 listeningPort() const
    {
        const auto *listening = std::get_if<SwitcherLink::Listening>(&engine->link().state());
        return listening ? listening->port : 0;
    }

    void pair()
    {
        ASSERT_TRUE(companion.connectTo(listeningPort()));
        ASSERT_TRUE(QTest::qWaitFor([&] { return engine->link().isPeer(); }, waitMs));
    }

    QTemporaryDir dir;
    std::unique_ptr<QSettings> m_settings;
    std::unique_ptr<RateSwitcher> engine;
    CompanionSocket companion;
};

void callEverySender(RateSwitcher &engine)
{
    engine.requestLearnedRates(true);
    engine.pinLearnedRate({QStringLiteral("t"), QStringLiteral("hires"), 96000, {}, {}, {}});
    engine.unpinLearnedRate(QStringLiteral("t"), QStringLiteral("hires"));
    engine.forgetLearnedRate(QStringLiteral("t"), QStringLiteral("hires"));
    engine.forgetRates();
    engine.resetStore();
    engine.removeAllPins();
    engine.setDeviceAtmos(QStringLiteral("uid"), true);
    engine.resetOutput(QStringLiteral("uid"));
    engine.importRateLibrary("data", QStringLiteral("apply"));
    engine.dismissRateLibraryNotice();
    engine.sendLocalFiles({});
    engine.requestRateLibraryExport(QStringLiteral("backup"));
}

} // namespace

TEST_F(EngineSenders, NothingIsSentWithoutACompanion)
{
    RateSwitcher idle(m_settings.get(), dir.filePath(QStringLiteral("other.json")), dir.filePath(QStringLiteral("idle")));
    callEverySender(idle); // never started: returns at once
    callEverySender(*engine); // listening, nobody connected

    pair();
    engine->resetOutput(QStringLiteral("marker"));
    engine->forgetRates();
    const QList<QByteArray> lines = companion.take(2);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(QJsonDocument::fromJson(lines.at(0)).object().value(u"type"), QStringLiteral("resetOutput"));
    EXPECT_EQ(QJsonDocument::fromJson(lines.at(1)).object().value(u"type"), QStringLiteral("forgetRates"));
}

TEST_F(EngineSenders, EachSenderSendsItsExactEnvelope)
{
    pair();
    const std::vector<std::pair<std::function<void()>, const char *>> cases{
        {[&] { engine->requestLearnedRates(true); },
         R"({"v":1,"type":"learnedRatesRequest","payload":{"subscribe":true}})"},
        {[&] { engine->requestLearnedRates(false); },
         R"({"v":1,"type":"learnedRatesRequest","payload":{"subscribe":false}})"},
        {[&] {
             engine->pinLearnedRate({QStringLiteral("t1"), QStringLiteral("hires"), 96000, QStringLiteral("Title"),
                                     std::nullopt, QStringLiteral("Album")});
         },
         R"({"v":1,"type":"pinLearnedRate","payload":{"id":"t1","tier":"hires","rate":96000,"title":"Title","album":"Album"}})"},
        {[&] { engine->unpinLearnedRate(QStringLiteral("t1"), QStringLiteral("lossless")); },
         R"({"v":1,"type":"unpinLearnedRate","payload":{"id":"t1","tier":"lossless"}})"},
        {[&] { engine->forgetLearnedRate(QStringLiteral("t2"), QStringLiteral("any")); },
         R"({"v":1,"type":"forgetLearnedRate","payload":{"id":"t2","tier":"any"}})"},
        {[&] { engine->forgetRates(); }, R"({"v":1,"type":"forgetRates","payload":{}})"},
        {[&] { engine->resetStore(); }, R"({"v":1,"type":"resetStore","payload":{}})"},
        {[&] { engine->removeAllPins(); }, R"({"v":1,"type":"removeAllPins","payload":{}})"},
        {[&] { engine->setDeviceAtmos(QStringLiteral("uid-1"), false); },
         R"({"v":1,"type":"setDeviceAtmos","payload":{"deviceUID":"uid-1","atmosOutput":false}})"},
        {[&] { engine->setDeviceAtmos(QStringLiteral("uid-1"), std::nullopt); },
         R"({"v":1,"type":"setDeviceAtmos","payload":{"deviceUID":"uid-1"}})"},
        {[&] { engine->resetOutput(QStringLiteral("uid-2")); },
         R"({"v":1,"type":"resetOutput","payload":{"deviceUID":"uid-2"}})"},
        {[&] { engine->importRateLibrary("abc", QStringLiteral("dryRun")); },
         R"({"v":1,"type":"rateLibraryImport","payload":{"data":"YWJj","first":true,"last":true,"mode":"dryRun"}})"},
        {[&] { engine->dismissRateLibraryNotice(); }, R"({"v":1,"type":"dismissRateLibraryNotice","payload":{}})"},
        {[&] { engine->sendLocalFiles({{QStringLiteral("p1"), QStringLiteral("Song"), std::nullopt, std::nullopt, 88200}}); },
         R"({"v":1,"type":"localFiles","payload":{"rows":[{"id":"p1","title":"Song","rate":88200}],"done":true}})"},
        {[&] { engine->requestRateLibraryExport(QStringLiteral("share")); },
         R"({"v":1,"type":"rateLibraryExport","payload":{"flavour":"share"}})"},
    };
    for (const auto &[send, expected] : cases) {
        SCOPED_TRACE(expected);
        send();
        EXPECT_EQ(companion.takeObject(), json(expected));
    }
}

TEST_F(EngineSenders, ImportChunksReassembleToTheOriginalBytes)
{
    pair();
    const auto chunksOf = [&](const QByteArray &data, const QString &mode) {
        engine->importRateLibrary(data, mode);
        const qsizetype expected = std::max<qsizetype>(1, (data.size() + RateSwitcher::importChunkBytes - 1)
                                                              / RateSwitcher::importChunkBytes);
        const QList<QByteArray> lines = companion.take(int(expected));
        EXPECT_EQ(lines.size(), expected);
        QByteArray joined;
        for (qsizetype i = 0; i < lines.size(); ++i) {
            EXPECT_LT(lines.at(i).size(), SwitcherLink::maximumLineBytes / 100);
            const QJsonObject envelope = QJsonDocument::fromJson(lines.at(i)).object();
            EXPECT_EQ(envelope.value(u"type"), QStringLiteral("rateLibraryImport"));
            const QJsonObject payload = envelope.value(u"payload").toObject();
            EXPECT_EQ(payload.value(u"first").toBool(), i == 0);
            EXPECT_EQ(payload.value(u"last").toBool(), i == lines.size() - 1);
            EXPECT_EQ(payload.value(u"mode").toString(), mode);
            joined += QByteArray::fromBase64(payload.value(u"data").toString().toLatin1(),
                                             QByteArray::AbortOnBase64DecodingErrors);
        }
        return joined;
    };

    QByteArray random(600'000, Qt::Uninitialized);
    QRandomGenerator generator(42);
    for (char &c : random)
        c = char(generator.bounded(256));
    EXPECT_EQ(chunksOf(random, QStringLiteral("apply")), random);

    const QByteArray exact(2 * RateSwitcher::importChunkBytes, 'x'); // no empty trailing piece
    EXPECT_EQ(chunksOf(exact, QStringLiteral("dryRun")), exact);
    EXPECT_EQ(chunksOf(QByteArray(), QStringLiteral("dryRun")), QByteArray());
}

TEST_F(EngineSenders, LocalFilesGoInBatchesOf500)
{
    pair();
    QList<SwitcherProtocol::LocalFileRow> rows;
    for (int i = 0; i < 1001; ++i)
        rows.append({QStringLiteral("id%1").arg(i), std::nullopt, std::nullopt, std::nullopt, 44100});
    engine->sendLocalFiles(rows);
    const QList<QByteArray> lines = companion.take(3);
    ASSERT_EQ(lines.size(), 3);
    QStringList ids;
    const std::vector<std::pair<int, bool>> expected{{500, false}, {500, false}, {1, true}};
    for (int i = 0; i < 3; ++i) {
        const QJsonObject payload = QJsonDocument::fromJson(lines.at(i)).object().value(u"payload").toObject();
        const QJsonArray batch = payload.value(u"rows").toArray();
        EXPECT_EQ(batch.size(), expected[i].first);
        EXPECT_EQ(payload.value(u"done").toBool(), expected[i].second);
        for (const QJsonValue &row : batch)
            ids.append(row.toObject().value(u"id").toString());
    }
    EXPECT_EQ(ids.size(), 1001);
    EXPECT_EQ(ids.first(), QStringLiteral("id0"));
    EXPECT_EQ(ids.last(), QStringLiteral("id1000"));

    engine->sendLocalFiles({});
    EXPECT_EQ(companion.takeObject().value(u"payload").toObject(), json(R"({"rows":[],"done":true})"));
}

TEST_F(EngineSenders, CompanionAnswersReachTheEngineCallbacks)
{
    std::optional<SwitcherProtocol::LocalFilesResult> scanned;
    std::optional<SwitcherProtocol::RateLibraryFile> file;
    std::optional<SwitcherProtocol::RateLibraryImported> imported;
    std::optional<SwitcherProtocol::LearnedRates> library;
    engine->onLocalFilesResult = [&](const auto &value) { scanned = value; };
    engine->onRateLibraryFile = [&](const auto &value) { file = value; };
    engine->onRateLibraryImported = [&](const auto &value) { imported = value; };
    engine->onLearnedRates = [&](const auto &value) { library = value; };
    pair();

    const SwitcherProtocol::LocalFilesResult result{12, 10, 2, 9};
    SwitcherProtocol::RateLibraryFile answer;
    answer.flavour = QStringLiteral("share");
    answer.ok = false;
    answer.refusal = QStringLiteral("The library is empty.");
    SwitcherProtocol::RateLibraryImported report;
    report.mode = QStringLiteral("dryRun");
    report.ok = true;
    report.newCount = 3;
    SwitcherProtocol::LearnedRates rates;
    rates.notice = QStringLiteral("Hello");

    companion.send(SwitcherProtocol::encodeEnvelope(QStringLiteral("localFilesResult"), result.toJson()));
    companion.send(SwitcherProtocol::encodeEnvelope(QStringLiteral("rateLibraryFile"), answer.toJson()));
    companion.send(SwitcherProtocol::encodeEnvelope(QStringLiteral("rateLibraryImported"), report.toJson()));
    companion.send(SwitcherProtocol::encodeEnvelope(QStringLiteral("learnedRates"), rates.toJson()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return scanned && file && imported && library; }, waitMs));
    EXPECT_EQ(*scanned, result);
    EXPECT_EQ(*file, answer);
    EXPECT_EQ(*imported, report);
    EXPECT_EQ(*library, rates);
}
