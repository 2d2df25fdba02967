#include "FakeRunningApp.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

FakeRunningApp::FakeRunningApp(const QString &path, Answer answer, qint64 limitBytes,
                               std::chrono::milliseconds trickleFor)
    : m_path(QFile::encodeName(path).toStdString())
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (m_path.size() >= sizeof address.sun_path)
        return;
    std::memcpy(address.sun_path, m_path.c_str(), m_path.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ::unlink(m_path.c_str());
    if (fd < 0 || ::bind(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0 ||
        ::listen(fd, 4) != 0) {
        if (fd >= 0)
            ::close(fd);
        return;
    }
    m_listenFd = fd;
    m_thread = std::thread([=, this] { serve(answer, limitBytes, trickleFor); });
}

FakeRunningApp::~FakeRunningApp()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
    if (m_listenFd >= 0) {
        ::close(m_listenFd);
        ::unlink(m_path.c_str());
    }
}

void FakeRunningApp::serve(Answer answer, qint64 limitBytes, std::chrono::milliseconds trickleFor)
{
    int fd = -1;
    while (fd < 0 && !m_stop) {
        pollfd waiting{m_listenFd, POLLIN, 0};
        if (::poll(&waiting, 1, 20) > 0)
            fd = ::accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    }
    if (fd < 0)
        return;
    // A small send buffer: what the launch has not read yet stays small, so the bytes sent show
    // what it read.
    const int sendBuffer = 16 * 1024;
    ::setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &sendBuffer, sizeof sendBuffer);

    using Clock = std::chrono::steady_clock;
    const Clock::time_point started = Clock::now();
    Clock::time_point nextTrickle = started;
    char line[16 * 1024];
    std::memset(line, 'x', sizeof line);
    while (!m_stop) {
        char request[4096];
        const ssize_t got = ::recv(fd, request, sizeof request, MSG_DONTWAIT);
        if (got == 0 || (got < 0 && errno != EAGAIN && errno != EWOULDBLOCK)) {
            m_left = true;
            break;
        }
        const Clock::time_point now = Clock::now();
        qint64 toSend = 0;
        if (answer == Answer::endlessLine)
            toSend = std::min<qint64>(sizeof line, limitBytes - m_sent);
        else if (answer == Answer::trickle && now - started < trickleFor && now >= nextTrickle)
            toSend = 1;
        if (toSend > 0) {
            const ssize_t put = ::send(fd, line, size_t(toSend), MSG_NOSIGNAL | MSG_DONTWAIT);
            if (put > 0) {
                m_sent += put;
                nextTrickle = now + std::chrono::milliseconds(50);
            } else if (errno == EPIPE || errno == ECONNRESET) {
                m_left = true;
                break;
            }
        }
        const bool sending = answer == Answer::endlessLine && m_sent < limitBytes;
        pollfd ready{fd, short(POLLIN | (sending ? POLLOUT : 0)), 0};
        ::poll(&ready, 1, 10);
    }
    ::close(fd);
}
