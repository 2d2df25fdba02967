// The running app's side of a later launch: what it accepts over its local socket and what it
// refuses.

#include "Shell/SingleInstance.h"
#include "FakeRunningApp.h"
#include "TestSupport.h"

#include <QElapsedTimer>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// Sends `bytes` and returns the answer, or what is left when the app hangs up.
QByteArray exchange(const QString &name, const QByteArray &bytes)
{
    QLocalSocket socket;
    socket.connectToServer(name);
    EXPECT_TRUE(socket.waitForConnected(2000));
    socket.write(bytes);
    QByteArray answer;
    const bool ended = QTest::qWaitFor(
        [&] {
            answer += socket.readAll();
            return answer.endsWith('\n') || socket.state() == QLocalSocket::UnconnectedState;
        },
        5000);
    EXPECT_TRUE(ended) << "no answer and no hang-up";
    return answer;
}

} // namespace

TEST(LaunchRequest, ReadsOnlyWhatALaunchCouldHaveWritten)
{
    const LaunchRequest full{{u"learned"_s, u"timing"_s}, u"/home/me/Rates.corvanerates"_s};
    EXPECT_EQ(LaunchRequest::decoded(full.encoded()), full);
    EXPECT_EQ(LaunchRequest::decoded(LaunchRequest{}.encoded()), LaunchRequest{});
    EXPECT_EQ(LaunchRequest::decoded(R"({"v":-0.5E+3,"open":["a\"b\\c\/\u00e9\t"]})"),
              (LaunchRequest{{u"a\"b\\c/\u00e9\t"_s}, std::nullopt}));
    EXPECT_TRUE(full.encoded().endsWith('\n'));
    for (const QByteArray &bad :
         {QByteArray("not json"), QByteArray("[]"), QByteArray(R"({"open":"learned"})"),
          QByteArray(R"({"open":[1]})"), QByteArray(R"({"document":5})"),
          QByteArray(R"({"document":"relative/path.json"})"),
          QByteArray(R"({"document":":/i18n/corvane_en.qm"})"),
          // JSON that QJsonDocument lets through but no encoder writes.
          QByteArray("{\"open\":[\"tim\x01ing\"]}"), QByteArray(R"({"open":["tim\ing"]})"),
          QByteArray(R"({"open":[],"v":1.})")})
        EXPECT_FALSE(LaunchRequest::decoded(bad)) << bad.toStdString();
}

// What QJsonDocument lets through but a launch never writes: a byte order mark, half a
// surrogate pair (a corrupted path), a NUL (a path the system would read as a shorter one).
TEST(LaunchRequest, RefusesTextsNoLaunchWrites)
{
    const LaunchRequest full{{u"learned"_s}, u"/home/me/Rates.corvanerates"_s};
    EXPECT_FALSE(LaunchRequest::decoded("\xEF\xBB\xBF" + full.encoded()));
    for (const QByteArray &bad :
         {QByteArray(R"({"document":"/home/me/\ud800.corvanerates"})"),
          QByteArray(R"({"document":"/home/me/\udc00\ud800.corvanerates"})"),
          QByteArray(R"({"document":"/home/me/\uD83D\u0041.corvanerates"})"),
          QByteArray(R"({"open":["learned\udfff"]})"), QByteArray(R"({"open":[],"\ud800":1})"),
          QByteArray(R"({"open":[],"other":"\\\ud800"})"),
          QByteArray(R"({"document":"/home/me/Rates.corvanerates\u0000.png"})"),
          QByteArray(R"({"open":["learned\u0000"]})"),
          // A text that starts with U+FEFF: QJsonDocument drops it here and keeps it there.
          QByteArray("{\"open\":[\"\xEF\xBB\xBFlearned\"]}"), QByteArray("{\"open\":[\"\xEF\xBB\xBF\\/\"]}"),
          QByteArray(R"({"open":["\uFEFFlearned"]})"), QByteArray("{\"open\":[],\"\xEF\xBB\xBFother\":1}")})
        EXPECT_FALSE(LaunchRequest::decoded(bad)) << bad.toStdString();

    // A whole pair is one character; an escaped backslash before a "u" escapes nothing; U+FEFF
    // past a text's start is one of its characters.
    EXPECT_EQ(LaunchRequest::decoded("{\"open\":[\"a\xEF\xBB\xBF\"]}"),
              (LaunchRequest{{u"a\uFEFF"_s}, std::nullopt}));
    EXPECT_EQ(LaunchRequest::decoded(R"({"document":"/home/me/\uD83D\uDE00\\ud800"})"),
              (LaunchRequest{{}, u"/home/me/\U0001F600\\ud800"_s}));
    // Nesting in a member no launch reads: as deep as QJsonDocument reads, and no deeper.
    const auto nested = [](int depth) {
        return R"({"open":[],"other":)" + QByteArray(depth - 1, '[') + QByteArray(depth - 1, ']') + "}";
    };
    EXPECT_TRUE(LaunchRequest::decoded(nested(1024)));
    EXPECT_FALSE(LaunchRequest::decoded(nested(1025)));
    EXPECT_FALSE(LaunchRequest::decoded(nested(2'000'000)));
}

// A socket left by a crashed app is the process tests'.
TEST(SingleInstance, TheRunningAppAnswersRequestsAndRefusesTheRest)
{
    QTemporaryDir dir;
    const QString name = dir.filePath(u"instance"_s);
    SingleInstance instance(name);
    QList<LaunchRequest> requests;
    instance.onRequest = [&](const LaunchRequest &request) { requests.append(request); };
    EXPECT_EQ(instance.start({}), SingleInstance::Start::running);
    ASSERT_TRUE(instance.isListening());

    EXPECT_EQ(exchange(name, "{broken\n"), "refused\n");
    EXPECT_EQ(exchange(name, QByteArray(SingleInstance::maximumRequestBytes + 10, 'x')), "");
    EXPECT_TRUE(requests.isEmpty());

    const LaunchRequest request{{u"history"_s}, std::nullopt};
    EXPECT_EQ(exchange(name, request.encoded()), "ok\n");
    EXPECT_EQ(requests, QList<LaunchRequest>{request});
}

// What connects to the running app costs it a bounded share: past a few later launches at once,
// one more is closed at once; a launch that sends no request, or part of one, is let go after the
// wait; a launch that comes once they are gone is served.
TEST(SingleInstance, TheRunningAppServesAFewLaterLaunchesAtOnceEachForOneWait)
{
    const LaunchRequest request{{u"history"_s}, std::nullopt};
    {
        QTemporaryDir dir;
        const QString name = dir.filePath(u"instance"_s);
        SingleInstance instance(name);
        instance.setWaitMs(60'000);
        QList<LaunchRequest> requests;
        instance.onRequest = [&](const LaunchRequest &r) { requests.append(r); };
        ASSERT_EQ(instance.start({}), SingleInstance::Start::running);

        std::vector<std::unique_ptr<QLocalSocket>> quiet;
        for (int i = 0; i < SingleInstance::maximumLaterLaunches + 3; ++i) {
            quiet.push_back(std::make_unique<QLocalSocket>());
            quiet.back()->connectToServer(name);
            ASSERT_TRUE(quiet.back()->waitForConnected(2000));
            QTest::qWait(1); // served in the order they came
        }
        const auto closed = [&] {
            QList<int> indexes;
            for (int i = 0; i < int(quiet.size()); ++i) {
                if (quiet[i]->state() == QLocalSocket::UnconnectedState)
                    indexes.append(i);
            }
            return indexes;
        };
        const QList<int> extra = {SingleInstance::maximumLaterLaunches,
                                  SingleInstance::maximumLaterLaunches + 1,
                                  SingleInstance::maximumLaterLaunches + 2};
        EXPECT_TRUE(eventually([&] { return closed() == extra; })) << closed().size() << " closed";
        EXPECT_EQ(exchange(name, request.encoded()), "") << "served past the bound";

        quiet.clear();
        EXPECT_TRUE(eventually([&] { return exchange(name, request.encoded()) == "ok\n"; }));
        EXPECT_EQ(requests, QList<LaunchRequest>{request});
    }

    QTemporaryDir dir;
    const QString name = dir.filePath(u"instance"_s);
    SingleInstance instance(name);
    instance.setWaitMs(200);
    ASSERT_EQ(instance.start({}), SingleInstance::Start::running);
    QLocalSocket silent;
    QLocalSocket partial;
    for (QLocalSocket *socket : {&silent, &partial}) {
        socket->connectToServer(name);
        ASSERT_TRUE(socket->waitForConnected(2000));
    }
    const QByteArray encoded = request.encoded();
    partial.write(encoded.left(encoded.size() / 2));
    EXPECT_TRUE(eventually([&] {
        return silent.state() == QLocalSocket::UnconnectedState &&
               partial.state() == QLocalSocket::UnconnectedState;
    })) << "a later launch that sends no whole request is held";
    EXPECT_EQ(exchange(name, encoded), "ok\n");
}

// Whatever stands where the running app listens, a later launch reads one short line at most
// and waits once for it: it then gives up with the reason, having read little.
TEST(SingleInstance, ALaterLaunchGivesUpOnAnAnswerTooLongOrTooLate)
{
    constexpr int waitMs = 1000;
    const std::pair<FakeRunningApp::Answer, QString> answers[] = {
        {FakeRunningApp::Answer::endlessLine, u"an overlong answer"_s},
        {FakeRunningApp::Answer::silence, u"no answer in time"_s},
        {FakeRunningApp::Answer::trickle, u"no answer in time"_s},
    };
    for (const auto &[answer, reason] : answers) {
        SCOPED_TRACE(reason.toStdString() + ", answer " + std::to_string(int(answer)));
        QTemporaryDir dir;
        const QString name = dir.filePath(u"instance"_s);
        // It trickles for far longer than the launch waits.
        FakeRunningApp app(name, answer, 64LL * 1024 * 1024, std::chrono::seconds(20));
        ASSERT_TRUE(app.isListening());
        SingleInstance launch(name);
        launch.setWaitMs(waitMs);
        QString error;
        QElapsedTimer elapsed;
        elapsed.start();
        EXPECT_EQ(launch.start({{u"learned"_s}, std::nullopt}, &error), SingleInstance::Start::failed);
        EXPECT_LT(elapsed.elapsed(), 15'000) << "it waited while the answer trickled in";
        EXPECT_FALSE(launch.isListening());
        EXPECT_EQ(error.toStdString(),
                  "Corvane Zuvaradi is already running but did not take this launch's request (" +
                      reason.toStdString() + ").");
        EXPECT_TRUE(eventually([&] { return app.launchLeft(); }));
        EXPECT_LT(app.bytesSent(), 1024 * 1024) << "it read on";
    }
}
