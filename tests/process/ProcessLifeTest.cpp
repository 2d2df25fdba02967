// The application as separate processes, each with a data folder, runtime folder and companion
// port of its own: quitting on signals, and one running app per data folder.

#include "PortFile.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <memory>
#include <thread>

using namespace Qt::StringLiterals;

namespace {

constexpr int startMs = 60000; // generous: the sanitizer build starts slowly on a busy machine
constexpr int quitSignals[] = {SIGTERM, SIGINT, SIGHUP};

const QByteArray onePlay =
    R"({"v":1,"entries":[{"id":"6f1c1f4e-1d2a-4c59-9d53-0c1d2e3f4a5b","at":"2026-03-01T12:00:00.000Z",)"
    R"("title":"Blue in Green","artist":"Miles Davis","corrected":false}]})";

// One data folder with its own settings (a free companion port) and runtime folder; every
// launch in it is the same user's app for the same data.
struct AppFolder {
    QTemporaryDir dir;
    quint16 port = freePort();
    // The new process starts with the quit signals blocked, as a launcher may hand them down: one
    // sent before the app's first line waits for it instead of meeting the default action while
    // the loader is still at work.
    bool signalsBlockedAtStart = false;

    AppFolder()
    {
        QDir(dir.path()).mkpath(u"data/settings/Corvane"_s);
        QDir(dir.path()).mkpath(u"runtime"_s);
        QFile::setPermissions(runtime(),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QSettings settings(data(u"settings/Corvane/Corvane Zuvaradi.conf"_s), QSettings::IniFormat);
        settings.setValue(u"switcher.port"_s, port);
    }
    QString data(const QString &name = {}) const { return QDir(dir.filePath(u"data"_s)).filePath(name); }
    QString runtime() const { return dir.filePath(u"runtime"_s); }
    QString portFile() const { return data(u"port"_s); }
    QString historyFile() const { return data(u"PlaybackHistory.json"_s); }

    std::unique_ptr<QProcess> launch(const QStringList &arguments = {},
                                     const QList<std::pair<QString, QString>> &extra = {}) const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const QString &name :
             {u"CORVANE_SWITCHER_OPEN"_s, u"CORVANE_SWITCHER_SCREENSHOTS"_s, u"LD_PRELOAD"_s})
            environment.remove(name);
        environment.insert(u"CORVANE_SWITCHER_DATA_DIR"_s, data());
        environment.insert(u"XDG_RUNTIME_DIR"_s, runtime());
        environment.insert(u"XDG_CONFIG_HOME"_s, dir.filePath(u"config"_s));
        // A real event loop and widgets, no display and no pictures taken.
        environment.insert(u"QT_QPA_PLATFORM"_s, u"minimal"_s);
        environment.insert(u"QT_LOGGING_RULES"_s, u"dulvarin.*.info=true"_s);
        for (const auto &[name, value] : extra)
            environment.insert(name, value);
        auto process = std::make_unique<QProcess>();
        if (signalsBlockedAtStart) {
            process->setChildProcessModifier([] {
                sigset_t blocked;
                sigemptyset(&blocked);
                for (const int signal : quitSignals)
                    sigaddset(&blocked, signal);
                sigprocmask(SIG_BLOCK, &blocked, nullptr);
            });
        }
        process->setProcessEnvironment(environment);
        process->setProcessChannelMode(QProcess::MergedChannels);
        process->start(QStringLiteral(CORVANE_SWITCHER_BIN), arguments);
        EXPECT_TRUE(process->waitForStarted(startMs));
        return process;
    }
};

// Waits until the process has printed `text`; everything it printed is kept in `seen`.
bool waitForOutput(QProcess &process, QByteArray &seen, const QByteArray &text, int ms = startMs)
{
    QElapsedTimer elapsed;
    elapsed.start();
    while (!seen.contains(text)) {
        if (elapsed.hasExpired(ms) || process.state() == QProcess::NotRunning)
            return seen.contains(text);
        process.waitForReadyRead(100);
        seen += process.readAll();
    }
    return true;
}

bool waitForFile(const QString &path, int ms = startMs)
{
    return QTest::qWaitFor([&] { return QFileInfo::exists(path); }, ms);
}

// Sends `signal` to the process alone: kill() with 0, the id of a process that has already
// ended, would send it to the whole process group, the test runner with it.
bool sendSignal(QProcess &process, int signal)
{
    const auto pid = pid_t(process.processId());
    return pid > 0 && ::kill(pid, signal) == 0;
}

// How the process ended: "exit 0", "exit 1", or "killed by a signal".
std::string ending(QProcess &process)
{
    if (process.exitStatus() == QProcess::CrashExit)
        return "killed by a signal";
    return "exit " + std::to_string(process.exitCode());
}

QJsonArray playsIn(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object().value(u"entries").toArray();
}

} // namespace

// The history cleared a moment before the signal is saved, the port file goes, and the exit is
// an ordinary one.
TEST(ProcessLife, EachQuitSignalEndsTheAppAsItsQuitItemDoes)
{
    for (const int signal : quitSignals) {
        SCOPED_TRACE(strsignal(signal));
        AppFolder app;
        QFile history(app.historyFile());
        ASSERT_TRUE(history.open(QIODevice::WriteOnly) && history.write(onePlay) == onePlay.size());
        history.close();
        ASSERT_EQ(playsIn(app.historyFile()).size(), 1);

        const auto process =
            app.launch({}, {{u"CORVANE_SWITCHER_OPEN"_s, u"history"_s},
                            {u"LD_PRELOAD"_s, QStringLiteral(CORVANE_CLEAR_HISTORY_DRIVER)}});
        QByteArray output;
        ASSERT_TRUE(waitForOutput(*process, output, "history cleared")) << output.toStdString();
        ASSERT_EQ(PortFile::read(app.portFile()), app.port);
        ASSERT_TRUE(sendSignal(*process, signal)) << ending(*process);

        ASSERT_TRUE(process->waitForFinished(startMs));
        output += process->readAll();
        EXPECT_EQ(ending(*process), "exit 0") << output.toStdString();
        EXPECT_FALSE(QFileInfo::exists(app.portFile()));
        EXPECT_TRUE(playsIn(app.historyFile()).isEmpty()) << "the cleared history was not saved";
        EXPECT_TRUE(QFileInfo::exists(app.historyFile()));
    }
}

// From the app's first line on, a quit signal ends it with status 0 whenever it comes during the
// start, and leaves neither the port file nor the socket behind.
TEST(ProcessLife, AQuitSignalAtAnyMomentOfTheStartEndsTheAppCleanly)
{
    // The moments are spread over one whole start (to listening for the companion) as it goes here.
    qint64 startNs = 0;
    {
        AppFolder app;
        QElapsedTimer elapsed;
        elapsed.start();
        const auto process = app.launch();
        ASSERT_TRUE(waitForFile(app.portFile()));
        startNs = elapsed.nsecsElapsed();
        ASSERT_TRUE(sendSignal(*process, SIGTERM)) << ending(*process);
        ASSERT_TRUE(process->waitForFinished(startMs));
    }
    constexpr int runs = 30;
    for (int run = 0; run < runs; ++run) {
        const int signal = quitSignals[run % 3];
        const std::chrono::nanoseconds moment(startNs * run / runs);
        SCOPED_TRACE(std::string(strsignal(signal)) + " after " + std::to_string(moment.count() / 1000) +
                     " us");
        AppFolder app;
        app.signalsBlockedAtStart = true;
        const auto process = app.launch();
        std::this_thread::sleep_for(moment);
        ASSERT_TRUE(sendSignal(*process, signal)) << ending(*process);
        ASSERT_TRUE(process->waitForFinished(startMs));
        EXPECT_EQ(ending(*process), "exit 0") << process->readAll().toStdString();
        EXPECT_FALSE(QFileInfo::exists(app.portFile()));
        EXPECT_TRUE(QDir(app.runtime()).entryList(QDir::System).isEmpty());
    }
}

// A second launch in the same data folder hands over what it was launched with and leaves; the
// running app acts on it. A socket left by a crashed app does not stand in the way.
TEST(ProcessLife, ASecondLaunchHandsItsRequestToTheRunningApp)
{
    AppFolder app;
    const auto first = app.launch();
    QByteArray firstOutput;
    ASSERT_TRUE(waitForFile(app.portFile())) << first->readAll().toStdString();

    const QString document = app.dir.filePath(u"Shared Rates.corvanerates"_s);
    const auto second = app.launch({document}, {{u"CORVANE_SWITCHER_OPEN"_s, u"timing"_s}});
    ASSERT_TRUE(second->waitForFinished(startMs)) << "the second launch went on running";
    EXPECT_EQ(ending(*second), "exit 0") << second->readAll().toStdString();
    EXPECT_TRUE(waitForOutput(*first, firstOutput, R"(window "timing" opened)")) << firstOutput.toStdString();
    EXPECT_TRUE(waitForOutput(*first, firstOutput, R"(window "learned" opened)"))
        << firstOutput.toStdString();
    EXPECT_TRUE(firstOutput.contains(document.toUtf8()));
    EXPECT_EQ(first->state(), QProcess::Running);
    EXPECT_EQ(PortFile::read(app.portFile()), app.port);

    // The crash leaves the socket and the port file behind.
    first->kill();
    ASSERT_TRUE(first->waitForFinished(startMs));
    EXPECT_EQ(QDir(app.runtime()).entryList(QDir::System).filter(u"corvane-zuvaradi-"_s).size(), 1);
    ASSERT_TRUE(QFile::remove(app.portFile()));
    const auto third = app.launch();
    QByteArray thirdOutput;
    ASSERT_TRUE(waitForFile(app.portFile())) << "a socket left by a crash blocked the start";
    const auto fourth = app.launch();
    ASSERT_TRUE(fourth->waitForFinished(startMs));
    EXPECT_EQ(ending(*fourth), "exit 0") << fourth->readAll().toStdString();
    EXPECT_TRUE(waitForOutput(*third, thirdOutput, "a later launch asks for")) << thirdOutput.toStdString();

    ASSERT_TRUE(sendSignal(*third, SIGTERM)) << ending(*third);
    ASSERT_TRUE(third->waitForFinished(startMs));
    EXPECT_EQ(ending(*third), "exit 0");
    EXPECT_TRUE(QDir(app.runtime()).entryList(QDir::System).filter(u"corvane-zuvaradi-"_s).isEmpty());
}

// The application tells the user of a history file it set aside at start; without a tray icon
// (no desktop here) a message box says it.
TEST(ProcessLife, AHistoryFileSetAsideAtStartIsTold)
{
    AppFolder app;
    QFile history(app.historyFile());
    ASSERT_TRUE(history.open(QIODevice::WriteOnly) && history.write("{damaged") == 8);
    history.close();
    const auto process = app.launch();
    QByteArray output;
    EXPECT_TRUE(waitForOutput(*process, output, "telling the user: The playback history could not be loaded"))
        << output.toStdString();
    EXPECT_TRUE(output.contains(QDir::toNativeSeparators(app.data(u"PlaybackHistory.damaged-"_s)).toUtf8()));
    ASSERT_TRUE(sendSignal(*process, SIGTERM)) << ending(*process);
    ASSERT_TRUE(process->waitForFinished(startMs));
    EXPECT_EQ(ending(*process), "exit 0");
}
