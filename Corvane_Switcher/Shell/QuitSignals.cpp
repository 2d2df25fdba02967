#include "QuitSignals.h"

#include "Logging.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

namespace {

constexpr int quitSignals[] = {SIGTERM, SIGINT, SIGHUP};

// The pipe's two ends, open for the life of the process.
int pipeEnds[2] = {-1, -1};
// The last signal caught, for a start that has no event loop yet.
volatile std::sig_atomic_t caught = 0;

extern "C" void writeToPipe(int signal)
{
    const int savedErrno = errno;
    caught = signal;
    const char byte = char(signal);
    [[maybe_unused]] const ssize_t written = ::write(pipeEnds[1], &byte, 1);
    errno = savedErrno;
}

const char *signalName(int signal)
{
    switch (signal) {
    case SIGTERM:
        return "SIGTERM";
    case SIGINT:
        return "SIGINT";
    case SIGHUP:
        return "SIGHUP";
    default:
        return "a signal";
    }
}

} // namespace

bool QuitSignals::catchFromStart()
{
    if (pipeEnds[0] >= 0)
        return true;
    if (::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0) {
        pipeEnds[0] = pipeEnds[1] = -1;
        return false;
    }
    struct sigaction action = {};
    action.sa_handler = writeToPipe;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigset_t caughtSet;
    sigemptyset(&caughtSet);
    for (const int signal : quitSignals) {
        sigaction(signal, &action, nullptr);
        sigaddset(&caughtSet, signal);
    }
    // A launcher may hand down a mask that blocks them; they must reach the app all the same (one
    // sent before this line, held back meanwhile, arrives now).
    pthread_sigmask(SIG_UNBLOCK, &caughtSet, nullptr);
    return true;
}

bool QuitSignals::arrivedAlready()
{
    const int signal = caught;
    if (signal == 0)
        return false;
    qCInfo(lcUi, "%s during start-up: quitting", signalName(signal));
    return true;
}

QuitSignals::QuitSignals(QObject *parent) : QObject(parent)
{
    if (!catchFromStart()) {
        qCWarning(lcUi, "cannot watch for quit signals: %s", strerror(errno));
        return;
    }
    m_notifier = std::make_unique<QSocketNotifier>(pipeEnds[0], QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &QuitSignals::arrived);
}

QuitSignals::~QuitSignals() = default;

void QuitSignals::arrived()
{
    char bytes[16];
    const ssize_t count = ::read(pipeEnds[0], bytes, sizeof bytes);
    if (count <= 0)
        return;
    qCInfo(lcUi, "%s: quitting", signalName(bytes[0]));
    // Not quit(): a window could refuse that, and a signal must end the app.
    QCoreApplication::exit(0);
}
