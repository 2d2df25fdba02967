// The application as separate processes, each with a data folder, runtime folder and companion
// port of its own: quitting on signals, and one running app per data folder.

#include "FakeRunningApp.h"
#include "PortFile.h"
#include "Shell/SingleInstance.h"
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
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <pthread.h>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

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
    void takeAnotherPort()
    {
        port = freePort();
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

// An app started by launchListening: what it printed until it listened, and how long that took.
struct Listening {
    std::unique_ptr<QProcess> process;
    QByteArray output;
    qint64 startNs = 0;
};

// Launches the app and waits until it listens for the companion. The folder's port was free when
// it was chosen, but a test binary running beside this one may have taken it since: the app then
// starts again on another, after `beforeEachLaunch` has set the folder up anew (the launch that
// was killed may have changed it already).
Listening launchListening(AppFolder &app, const QList<std::pair<QString, QString>> &extra = {},
                          const std::function<void()> &beforeEachLaunch = {})
{
    for (int attempt = 1;; ++attempt) {
        if (beforeEachLaunch)
            beforeEachLaunch();
        QElapsedTimer elapsed;
        elapsed.start();
        Listening launched;
        launched.process = app.launch({}, extra);
        QProcess &process = *launched.process;
        QByteArray &output = launched.output;
        while (!QFileInfo::exists(app.portFile()) && !output.contains("Listener failed") &&
               process.state() == QProcess::Running && !elapsed.hasExpired(startMs)) {
            process.waitForReadyRead(10);
            output += process.readAll();
        }
        launched.startNs = elapsed.nsecsElapsed();
        if (QFileInfo::exists(app.portFile()) || !output.contains("is in use by another app") ||
            attempt == 5) {
            EXPECT_TRUE(QFileInfo::exists(app.portFile())) << output.toStdString();
            return launched;
        }
        process.kill();
        process.waitForFinished(startMs);
        app.takeAnotherPort();
    }
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

// How long one whole start takes here, to listening for the companion, with `extra` in the
// environment: measured on an app that is then ended with SIGTERM.
void timeOneStart(qint64 &startNs, const QList<std::pair<QString, QString>> &extra = {})
{
    AppFolder app;
    const Listening launched = launchListening(app, extra);
    QProcess *const process = launched.process.get();
    ASSERT_TRUE(QFileInfo::exists(app.portFile()));
    startNs = launched.startNs;
    ASSERT_TRUE(sendSignal(*process, SIGTERM)) << ending(*process);
    ASSERT_TRUE(process->waitForFinished(startMs));
}

// The app, sent a quit signal, ends with status 0 and leaves neither the port file nor the socket
// behind.
void expectEndsCleanly(QProcess &process, const AppFolder &app)
{
    ASSERT_TRUE(process.waitForFinished(startMs));
    EXPECT_EQ(ending(process), "exit 0") << process.readAll().toStdString();
    EXPECT_FALSE(QFileInfo::exists(app.portFile()));
    EXPECT_TRUE(QDir(app.runtime()).entryList(QDir::System).isEmpty());
}

QJsonArray playsIn(const QString &path)
{
    return QJsonDocument::fromJson(readFile(path)).object().value(u"entries").toArray();
}

// A file of /proc for the process, read whole at once; empty once the process is gone.
std::string procFile(qint64 pid, const char *name)
{
    const std::string path = "/proc/" + std::to_string(pid) + "/" + name;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {};
    std::string text;
    char buffer[64 * 1024];
    for (ssize_t got; (got = ::read(fd, buffer, sizeof buffer)) > 0;)
        text.append(buffer, size_t(got));
    ::close(fd);
    return text;
}

// A line of /proc/<pid>/status, without its name ("SigCgt" gives "0000000000004003").
std::string statusField(const std::string &status, const std::string &name)
{
    const std::string::size_type at = status.find("\n" + name + ":");
    if (at == std::string::npos)
        return {};
    const std::string::size_type start = status.find_first_not_of(" \t", at + name.size() + 2);
    return status.substr(start, status.find('\n', start) - start);
}

// Whether a signal mask of /proc/<pid>/status holds every quit signal.
bool holdsEveryQuitSignal(const std::string &hexMask)
{
    const unsigned long long mask = std::strtoull(hexMask.c_str(), nullptr, 16);
    for (const int signal : quitSignals) {
        if (!(mask & (1ULL << (signal - 1))))
            return false;
    }
    return true;
}

// As waitForOutput, but a process whose resident memory passes `limitKiB` is taken for one that
// reads without end: the wait ends there, before it takes the machine's memory.
bool waitForOutputWithin(QProcess &process, QByteArray &seen, const QByteArray &text, qint64 limitKiB,
                         bool *overLimit)
{
    *overLimit = false;
    QElapsedTimer elapsed;
    elapsed.start();
    while (!seen.contains(text)) {
        const std::string rss = statusField(procFile(process.processId(), "status"), "VmRSS");
        if (std::strtoll(rss.c_str(), nullptr, 10) > limitKiB) {
            *overLimit = true;
            return false;
        }
        if (elapsed.hasExpired(startMs) || process.state() == QProcess::NotRunning)
            return seen.contains(text);
        process.waitForReadyRead(10);
        seen += process.readAll();
    }
    return true;
}

} // namespace

// The history cleared a moment before the signal is saved, the port file goes, and the exit is
// an ordinary one.
TEST(ProcessLife, EachQuitSignalEndsTheAppAsItsQuitItemDoes)
{
    for (const int signal : quitSignals) {
        SCOPED_TRACE(strsignal(signal));
        AppFolder app;
        auto [process, output, startNs] =
            launchListening(app,
                            {{u"CORVANE_SWITCHER_OPEN"_s, u"history"_s},
                             {u"LD_PRELOAD"_s, QStringLiteral(CORVANE_CLEAR_HISTORY_DRIVER)}},
                            [&] {
                                ASSERT_TRUE(writeFile(app.historyFile(), onePlay));
                                ASSERT_EQ(playsIn(app.historyFile()).size(), 1);
                            });
        ASSERT_FALSE(HasFatalFailure());
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
    ASSERT_NO_FATAL_FAILURE(timeOneStart(startNs));
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
        ASSERT_NO_FATAL_FAILURE(expectEndsCleanly(*process, app));
    }
}

// With nothing blocked, from outside: the quit signals are caught before the start-up work begins.
// Qt's platform plugin, the first library QApplication loads, finds them caught when it appears
// in the process's maps, and a signal sent then, or at any later moment of the start, ends the
// app with status 0.
TEST(ProcessLife, TheQuitSignalsAreCaughtBeforeTheStartUpWorkBegins)
{
    sigset_t blockedHere;
    ASSERT_EQ(pthread_sigmask(SIG_BLOCK, nullptr, &blockedHere), 0);
    for (const int signal : quitSignals)
        ASSERT_FALSE(sigismember(&blockedHere, signal)) << strsignal(signal) << " is blocked in the test";

    const QList<std::pair<QString, QString>> offscreen = {{u"QT_QPA_PLATFORM"_s, u"offscreen"_s}};
    const std::string plugin = "/libqoffscreen.so";
    const std::string binary = QFileInfo(QStringLiteral(CORVANE_SWITCHER_BIN)).fileName().toStdString();
    qint64 startNs = 0;
    ASSERT_NO_FATAL_FAILURE(timeOneStart(startNs, offscreen));
    constexpr int runs = 30;
    for (int run = 0; run < runs; ++run) {
        const int signal = quitSignals[run % 3];
        // Every third run sends the signal the moment the handler shows, which may come before
        // the plugin; the others once the plugin has come, right then or later in the start.
        const bool atHandler = run % 3 == 2;
        const std::chrono::nanoseconds moment(atHandler ? 0 : startNs * run / runs);
        SCOPED_TRACE(std::string(strsignal(signal)) +
                     (atHandler ? " as the handler shows"
                                : " " + std::to_string(moment.count() / 1000) + " us after the plugin"));
        AppFolder app;
        const auto process = app.launch({}, offscreen);
        const qint64 pid = process->processId();
        ASSERT_GT(pid, 0);

        // The status is read after the maps: a handler installed before the plugin is loaded
        // shows in it for certain.
        bool handlerSeen = false;
        bool pluginSeen = false;
        bool sent = false;
        QElapsedTimer waited;
        waited.start();
        while (!pluginSeen) {
            ASSERT_FALSE(waited.hasExpired(startMs)) << "the platform plugin never showed in the maps";
            const std::string maps = procFile(pid, "maps");
            if (maps.find(binary) == std::string::npos) {
                // QProcess may call it started while the child is still a copy of the test, before
                // it runs the app; what it shows then is the test's.
                const std::string state = statusField(procFile(pid, "status"), "State");
                if (state.empty() || state[0] == 'Z' || state[0] == 'X')
                    break; // gone
                continue;
            }
            pluginSeen = maps.find(plugin) != std::string::npos;
            const std::string status = procFile(pid, "status");
            handlerSeen = handlerSeen || holdsEveryQuitSignal(statusField(status, "SigCgt"));
            if (pluginSeen) {
                EXPECT_TRUE(handlerSeen)
                    << "the platform plugin is loaded while SigCgt is " << statusField(status, "SigCgt");
            }
            if (atHandler && handlerSeen && !sent) {
                ASSERT_TRUE(sendSignal(*process, signal)) << ending(*process);
                sent = true;
            }
        }
        // Nothing but the signal ends it.
        EXPECT_TRUE(pluginSeen || sent) << "the app ended by itself";
        if (!sent) {
            std::this_thread::sleep_for(moment);
            ASSERT_TRUE(sendSignal(*process, signal)) << ending(*process);
        }
        ASSERT_NO_FATAL_FAILURE(expectEndsCleanly(*process, app));
    }
}

// A second launch in the same data folder hands over what it was launched with and leaves; the
// running app acts on it. A socket left by a crashed app does not stand in the way.
TEST(ProcessLife, ASecondLaunchHandsItsRequestToTheRunningApp)
{
    AppFolder app;
    auto [first, firstOutput, firstStartNs] = launchListening(app);
    ASSERT_TRUE(QFileInfo::exists(app.portFile()));

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
    auto [third, thirdOutput, thirdStartNs] = launchListening(app);
    ASSERT_TRUE(QFileInfo::exists(app.portFile())) << "a socket left by a crash blocked the start";
    const auto fourth = app.launch();
    ASSERT_TRUE(fourth->waitForFinished(startMs));
    EXPECT_EQ(ending(*fourth), "exit 0") << fourth->readAll().toStdString();
    EXPECT_TRUE(waitForOutput(*third, thirdOutput, "a later launch asks for")) << thirdOutput.toStdString();

    ASSERT_TRUE(sendSignal(*third, SIGTERM)) << ending(*third);
    ASSERT_TRUE(third->waitForFinished(startMs));
    EXPECT_EQ(ending(*third), "exit 0");
    EXPECT_TRUE(QDir(app.runtime()).entryList(QDir::System).filter(u"corvane-zuvaradi-"_s).isEmpty());
}

// A later launch that finds at the socket something other than our app, answering with a line
// that does not end, reads little of it: it says so and exits with status 1, and never starts as
// the app.
TEST(ProcessLife, ALaterLaunchGivesUpOnAnAnswerThatDoesNotEnd)
{
    AppFolder app;
    const QString socket =
        QDir(app.runtime()).filePath(QFileInfo(SingleInstance::serverName(app.data())).fileName());
    const FakeRunningApp running(socket, FakeRunningApp::Answer::endlessLine);
    ASSERT_TRUE(running.isListening());
    const auto launch = app.launch({}, {{u"CORVANE_SWITCHER_OPEN"_s, u"timing"_s}});
    ASSERT_TRUE(launch->waitForFinished(startMs)) << "the launch went on reading";
    const QByteArray output = launch->readAll();
    EXPECT_EQ(ending(*launch), "exit 1") << output.left(4096).toStdString();
    EXPECT_TRUE(output.contains("Corvane Zuvaradi is already running but did not take this launch's "
                                "request (an overlong answer)."))
        << output.left(4096).toStdString();
    EXPECT_LT(running.bytesSent(), 1024 * 1024) << "it read on";
    EXPECT_FALSE(QFileInfo::exists(app.portFile()));
}

// The application tells the user of a history file it set aside at start; without a tray icon
// (no desktop here) a message box says it.
TEST(ProcessLife, AHistoryFileSetAsideAtStartIsTold)
{
    AppFolder app;
    ASSERT_TRUE(writeFile(app.historyFile(), "{damaged"));
    const auto process = app.launch();
    QByteArray output;
    EXPECT_TRUE(waitForOutput(*process, output, "telling the user: The playback history could not be loaded"))
        << output.toStdString();
    EXPECT_TRUE(output.contains(QDir::toNativeSeparators(app.data(u"PlaybackHistory.damaged-"_s)).toUtf8()));
    ASSERT_TRUE(sendSignal(*process, SIGTERM)) << ending(*process);
    ASSERT_TRUE(process->waitForFinished(startMs));
    EXPECT_EQ(ending(*process), "exit 0");
}

// MusicApp.json and OutputDevice.json are read only as regular files of a bounded size. A FIFO in
// their place, a link to a device that never ends, a folder or an oversized file is named in the
// log with what stands in for it; the app goes on without it and quits on a signal as ever.
TEST(ProcessLife, AStandInFileThatCannotBeReadLeavesTheAppRunningWithoutIt)
{
    const std::pair<QString, QString> standIns[] = {
        {u"MusicApp.json"_s, u"Music.app counts as not running"_s},
        {u"OutputDevice.json"_s, u"the first sound card stands in for it"_s},
    };
    struct Kind {
        const char *name;
        std::function<bool(const QString &path)> make;
        QString why;
    };
    const QString notRegular = u"is not a regular file"_s;
    const Kind kinds[] = {
        {"a FIFO",
         [](const QString &path) { return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0; },
         notRegular},
        {"a link to /dev/zero", [](const QString &path) { return QFile::link(u"/dev/zero"_s, path); },
         notRegular},
        {"a folder", [](const QString &path) { return QDir().mkdir(path); }, notRegular},
        {"a file of 33 MB",
         [](const QString &path) {
             QFile file(path);
             return file.open(QIODevice::WriteOnly) && file.resize(33LL * 1024 * 1024);
         },
         u"is larger than 32 MB"_s},
    };
    // Far above what the app takes at start, also built with the sanitizers.
    constexpr qint64 memoryLimitKiB = 1024 * 1024;
    for (const auto &[name, fallback] : standIns) {
        for (const Kind &kind : kinds) {
            SCOPED_TRACE(name.toStdString() + " is " + kind.name);
            AppFolder app;
            const QString path = app.data(name);
            ASSERT_TRUE(kind.make(path));
            const auto process = app.launch();
            const QByteArray line =
                (QDir::toNativeSeparators(path) + u' ' + kind.why + u"; "_s + fallback).toUtf8();
            QByteArray output;
            bool overLimit = false;
            if (!waitForOutputWithin(*process, output, line, memoryLimitKiB, &overLimit)) {
                ADD_FAILURE() << (overLimit ? "its memory grows without end"
                                  : process->state() == QProcess::Running
                                      ? "still running, in " + procFile(process->processId(), "wchan")
                                      : ending(*process))
                              << ", without logging: " << line.toStdString() << "\n"
                              << output.toStdString();
                continue; // and is killed
            }
            ASSERT_TRUE(sendSignal(*process, SIGTERM)) << ending(*process);
            ASSERT_TRUE(process->waitForFinished(startMs)) << "SIGTERM did not end it";
            output += process->readAll();
            EXPECT_EQ(ending(*process), "exit 0") << output.toStdString();
            EXPECT_FALSE(QFileInfo::exists(app.portFile()));
        }
    }
}

// At quit the app reads the port file to see it is still its own before removing it: a FIFO put
// in its place is not, and does not hold up the quit.
TEST(ProcessLife, AFifoInThePortFilesPlaceDoesNotHoldUpTheQuit)
{
    AppFolder app;
    const auto process = std::move(launchListening(app).process);
    ASSERT_TRUE(QFileInfo::exists(app.portFile()));
    const QByteArray fifo = QFile::encodeName(app.data(u"port.fifo"_s));
    ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
    ASSERT_EQ(::rename(fifo.constData(), QFile::encodeName(app.portFile()).constData()), 0);
    ASSERT_TRUE(sendSignal(*process, SIGTERM)) << ending(*process);
    ASSERT_TRUE(process->waitForFinished(startMs)) << "the quit waits for a writer of the FIFO";
    EXPECT_EQ(ending(*process), "exit 0") << process->readAll().toStdString();
    const QFileInfo left(app.portFile());
    EXPECT_TRUE(left.exists() && !left.isFile()) << "the FIFO was not the app's to remove";
}
